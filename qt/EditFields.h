#pragma once

#include <QLineEdit>
#include <QObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <vector>

#include "platform/EditField.h"

namespace qtgui {

// What the style bits make of typed or pasted text: digits only (line ends
// kept), or the text put into upper or lower case.
QString styledInput(const QString& typed, std::uint32_t style);

// An edit field over a QLineEdit or a QPlainTextEdit. User edits pass
// through the style bits; text set by the program does not.
class EditField : public QObject, public platform::IEditField {
    Q_OBJECT
public:
    explicit EditField(QLineEdit* edit);
    explicit EditField(QPlainTextEdit* edit);

    std::string text() const override;
    void setText(const std::string& text) override;
    int selStart() const override;
    int selLength() const override;
    void setSelection(int start, int length) override;
    bool multiLine() const override { return m_multi != nullptr; }
    std::uint32_t style() const override { return m_style; }
    void setStyle(std::uint32_t style) override { m_style = style; }
    bool canUndo() const override;
    void undo() override;
    void cut() override;
    void copy() override;
    void paste() override;
    void clearSelection() override;
    int lineCount() const override;
    int getLine(int index, int bufferSize, std::string* line) const override;
    void subscribe(platform::IEditFieldEvents* listener) override { m_listeners.push_back(listener); }
    void unsubscribe(platform::IEditFieldEvents* listener) override { std::erase(m_listeners, listener); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void lineEdited(const QString& now);
    void documentChanged(int position, int removed, int added);
    // Positions in the widget count a line end once; ours count CR and LF.
    int toCrLf(int position) const;
    int fromCrLf(int position) const;
    QString plain() const;

    QPointer<QLineEdit> m_single;
    QPointer<QPlainTextEdit> m_multi;
    std::uint32_t m_style = 0;
    QString m_lineBefore, m_lineNow;  // the one-line text before and after its latest change
    bool m_applying = false;
    std::vector<platform::IEditFieldEvents*> m_listeners;
};

}  // namespace qtgui
