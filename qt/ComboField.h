#pragma once

#include <QComboBox>
#include <QObject>
#include <QPointer>
#include <string>
#include <vector>

#include "platform/ComboBox.h"

namespace qtgui {

// The drop-down edit field. Its notifications reach its listeners (the
// history, then the window's presenter) as every box tells them.
class ComboField : public QObject, public platform::IComboBox {
    Q_OBJECT
public:
    explicit ComboField(QComboBox* combo);

    std::string text() const override;
    void setText(const std::string& text) override;
    int listCount() const override;
    std::string list(int index) const override;
    void addItem(const std::string& text) override;
    void removeItem(int index) override;
    void clear() override;
    void setSelStart(int start) override;
    void setSelLength(int length) override;
    void setFocus() override;
    int findString(const std::string& text) const override;
    int findStringExact(const std::string& text) const override;
    void subscribe(platform::IComboBoxEvents* listener) override;
    void unsubscribe(platform::IComboBoxEvents* listener) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<std::string> items() const;
    void notifyChanged();

    QPointer<QComboBox> m_combo;
    platform::ComboBoxListeners m_listeners;
    int m_selStart = 0;
};

}  // namespace qtgui
