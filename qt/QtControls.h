#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QCheckBox>
#include <QPointer>
#include <QTimer>
#include <string>

#include "qt/FreeSpinBox.h"
#include "platform/Controls.h"

namespace qtgui {

// The window's plain controls: edit fields, buttons, images and timers, each
// an adapter of a platform control to its Qt widget. The console, the address
// box and the pointer have headers of their own.

// The virtual-key code and shift state (1 Shift, 2 Ctrl, 4 Alt) of a Qt key event.
std::int16_t virtualKeyCode(int qtKey);
std::int16_t shiftState(Qt::KeyboardModifiers modifiers);

class LineField : public platform::ITextField {
public:
    explicit LineField(QLineEdit* edit) : m_edit(edit) {}
    std::string text() const override;
    void setText(const std::string& text) override;
    void setFocus() override {
        if (m_edit) m_edit->setFocus(Qt::OtherFocusReason);
    }

private:
    QPointer<QLineEdit> m_edit;
};

class MultiLineField : public platform::ITextField {
public:
    explicit MultiLineField(QPlainTextEdit* edit) : m_edit(edit) {}
    std::string text() const override;
    void setText(const std::string& text) override;
    void setFocus() override {
        if (m_edit) m_edit->setFocus(Qt::OtherFocusReason);
    }

private:
    QPointer<QPlainTextEdit> m_edit;
};

// A check box as a field of the form: "1" checked, anything else not.
class CheckField : public platform::ITextField {
public:
    explicit CheckField(QCheckBox* box) : m_box(box) {}
    std::string text() const override;
    void setText(const std::string& text) override;
    void setFocus() override {
        if (m_box) m_box->setFocus(Qt::OtherFocusReason);
    }

private:
    QPointer<QCheckBox> m_box;
};

class SpinField : public platform::ITextField {
public:
    explicit SpinField(FreeSpinBox* spin) : m_spin(spin) {}
    std::string text() const override;
    void setText(const std::string& text) override;
    void setFocus() override {
        if (m_spin) m_spin->setFocus(Qt::OtherFocusReason);
    }

private:
    QPointer<FreeSpinBox> m_spin;
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

// A label beside the indicator; a warning shows in red. The whole text is
// its tooltip too, for a line longer than the room it has.
class Notice : public platform::INotice {
public:
    explicit Notice(QLabel* label) : m_label(label) {}
    std::string text() const override { return m_text; }
    bool warning() const override { return m_warning; }
    void show(const std::string& text, bool warning) override;

private:
    QPointer<QLabel> m_label;
    std::string m_text;
    bool m_warning = false;
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

}  // namespace qtgui
