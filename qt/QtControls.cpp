#include "qt/QtControls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QFile>
#include <QSaveFile>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>
#include <algorithm>

#include "platform/ListSearch.h"
#include "qt/FreeSpinBox.h"
#include "qt/Latin1.h"

namespace qtgui {

using namespace platform;

std::int16_t virtualKeyCode(int key) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<std::int16_t>(key);
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<std::int16_t>(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return static_cast<std::int16_t>(112 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Period: return 190;
    case Qt::Key_Minus: return 189;
    default: return 0;
    }
}

std::int16_t shiftState(Qt::KeyboardModifiers m) {
    std::int16_t s = 0;
    if (m & Qt::ShiftModifier) s |= 1;
    if (m & Qt::ControlModifier) s |= 2;
    if (m & Qt::AltModifier) s |= 4;
    return s;
}

std::string LineField::text() const { return m_edit ? toLatin1(m_edit->text()) : std::string(); }
void LineField::setText(const std::string& text) {
    if (m_edit) m_edit->setText(fromLatin1(text));
}

std::string MultiLineField::text() const { return m_edit ? toLatin1(lfToCrlf(m_edit->toPlainText())) : std::string(); }
void MultiLineField::setText(const std::string& text) {
    if (m_edit) m_edit->setPlainText(crlfToLf(fromLatin1(text)));
}

std::string CheckField::text() const { return m_box && m_box->isChecked() ? "1" : "0"; }
void CheckField::setText(const std::string& text) {
    if (m_box) m_box->setChecked(text == "1");
}

std::string SpinField::text() const { return m_spin ? toLatin1(m_spin->text()) : std::string(); }
void SpinField::setText(const std::string& text) {
    if (m_spin) m_spin->setText(fromLatin1(text));
}

bool Button::enabled() const { return m_button && m_button->isEnabled(); }
void Button::setEnabled(bool enabled) {
    if (m_button) m_button->setEnabled(enabled);
}

bool Image::visible() const { return m_label && !m_label->isHidden(); }
void Image::setVisible(bool visible) {
    if (m_label) m_label->setVisible(visible);
}

bool Timer::enabled() const { return m_timer && m_timer->isActive(); }
void Timer::setEnabled(bool enabled) {
    if (!m_timer) return;
    if (enabled && !m_timer->isActive())
        m_timer->start();
    else if (!enabled)
        m_timer->stop();
}
std::int32_t Timer::interval() const { return m_timer ? m_timer->interval() : 0; }
void Timer::setInterval(std::int32_t milliseconds) {
    if (m_timer) m_timer->setInterval(milliseconds);
}

void Notice::show(const std::string& text, bool warning) {
    m_text = text;
    m_warning = warning;
    if (!m_label) return;
    m_label->setText(fromLatin1(text));
    m_label->setToolTip(fromLatin1(text));
    m_label->setStyleSheet(warning ? "QLabel { color: #c0392b; font-weight: bold; }" : "");
}

}  // namespace qtgui
