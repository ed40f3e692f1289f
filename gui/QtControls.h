#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <string>
#include <vector>

#include "platform/ComboBox.h"
#include "platform/Controls.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QElapsedTimer>
#include <QTimer>

#include "gui/FreeSpinBox.h"

namespace gui {

// The virtual-key code and shift state (1 Shift, 2 Ctrl, 4 Alt) of a Qt key event.
std::int16_t virtualKeyCode(int qtKey);
std::int16_t shiftState(Qt::KeyboardModifiers modifiers);

class LineField : public platform::ITextField {
public:
    explicit LineField(QLineEdit* edit) : m_edit(edit) {}
    std::string text() const override;
    void setText(const std::string& text) override;

private:
    QPointer<QLineEdit> m_edit;
};

class MultiLineField : public platform::ITextField {
public:
    explicit MultiLineField(QPlainTextEdit* edit) : m_edit(edit) {}
    std::string text() const override;
    void setText(const std::string& text) override;

private:
    QPointer<QPlainTextEdit> m_edit;
};

class SpinField : public platform::ITextField {
public:
    explicit SpinField(FreeSpinBox* spin) : m_spin(spin) {}
    std::string text() const override;
    void setText(const std::string& text) override;

private:
    QPointer<FreeSpinBox> m_spin;
};

// The console: keeps its text exactly (CR LF, every byte) and shows it with
// plain line feeds; nothing in it is read as markup.
//
// Appends reach the view in one insertion after the pass of the event loop
// that made them, and during a flood at most every kFlushMs, so that a burst
// of replies is laid out once, not once a reply.
class ConsoleView : public platform::IRichText {
public:
    explicit ConsoleView(QPlainTextEdit* view);
    static constexpr int kFlushMs = 25;
    std::string text() const override { return m_text; }
    void setText(const std::string& text) override;
    std::int64_t length() const override { return static_cast<std::int64_t>(m_text.size()); }
    void appendText(const std::string& text) override;
    std::int64_t selStart() const override { return m_selStart; }
    void setSelStart(std::int64_t position) override;
    void saveFile(const std::string& path) override;

    // Brings the view up to the text now rather than on the next pass.
    void flush();

private:
    void showCaret();

    QPointer<QPlainTextEdit> m_view;
    std::string m_text;
    std::int64_t m_carriageReturns = 0;  // in m_text; the view shows none of them
    std::int64_t m_selStart = 0;
    QString m_unshown;  // the end of m_text that the view does not show yet, as shown
    bool m_caretUnshown = false;
    QTimer m_flushTimer;
    QElapsedTimer m_sinceFlush;
};

class Button : public platform::IButton {
public:
    explicit Button(QAbstractButton* button) : m_button(button) {}
    bool enabled() const override;
    void setEnabled(bool enabled) override;

private:
    QPointer<QAbstractButton> m_button;
};

class Image : public platform::IImage {
public:
    explicit Image(QLabel* label) : m_label(label) {}
    bool visible() const override;
    void setVisible(bool visible) override;

private:
    QPointer<QLabel> m_label;
};

class Timer : public platform::ITimer {
public:
    explicit Timer(QTimer* timer) : m_timer(timer) {}
    bool enabled() const override;
    void setEnabled(bool enabled) override;
    std::int32_t interval() const override;
    void setInterval(std::int32_t milliseconds) override;

private:
    QPointer<QTimer> m_timer;
};

// The application-wide pointer as Qt's override cursor.
class AppCursor : public platform::ICursor {
public:
    std::int32_t current() const override { return m_code; }
    bool set(std::int16_t code) override;

private:
    std::int32_t m_code = 0;
};

// The drop-down edit field. Its key-down notification reaches the
// subscribers first, then keyDown (the window's own handler).
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

signals:
    // The window's own key-down handler, after the subscribers; it may change the key.
    void keyDown(std::int16_t& keyCode, std::int16_t shift);
    // A failure of a notification handler, reported without letting it out into Qt.
    void failed(const std::exception& error);

public:
protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<std::string> items() const;
    void notifyChanged();

    QPointer<QComboBox> m_combo;
    std::vector<platform::IComboBoxEvents*> m_listeners;
    int m_selStart = 0;
};

}  // namespace gui
