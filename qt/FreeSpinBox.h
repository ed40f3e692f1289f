#pragma once

#include <QAbstractSpinBox>
#include <functional>
#include <string>

namespace qtgui {

// A spin field whose arrows step a whole number within a range, but whose
// text is free: a stored "2.5", "0" or "" is shown and read back as it is.
class FreeSpinBox : public QAbstractSpinBox {
    Q_OBJECT
public:
    FreeSpinBox(int minimum, int maximum, QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    void setMaxLength(int characters);
    // What the field takes, as typed or pasted (anything when unset).
    void setAccepts(std::function<bool(const std::string&)> accepts) { m_accepts = std::move(accepts); }
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

protected:
    StepEnabled stepEnabled() const override;

private:
    int m_min;
    int m_max;
    std::function<bool(const std::string&)> m_accepts;
};

}  // namespace qtgui
