#include "gui/QtControls.h"

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
#include "gui/FreeSpinBox.h"
#include "gui/Latin1.h"

namespace gui {

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

std::string SpinField::text() const { return m_spin ? toLatin1(m_spin->text()) : std::string(); }
void SpinField::setText(const std::string& text) {
    if (m_spin) m_spin->setText(fromLatin1(text));
}

namespace {
// What the console shows of its text: line feeds end the lines, so carriage
// returns are left out, and a NUL (which would end the text in the widget)
// is shown as the control picture of NUL. Done piece by piece, it gives the
// same view for a text however it was cut into appends.
QString consoleDisplay(const std::string& text) {
    QString shown = fromLatin1(text);
    shown.remove(QLatin1Char('\r'));
    shown.replace(QChar(u'\0'), QChar(0x2400));
    return shown;
}

// One reply is one block of the view: its line ends before the last are
// shown as line separators, so the view keeps a block per reply instead of
// one per line, which is what a burst of replies costs to insert and lay out.
// The last line end still ends the block, so that no block grows past a
// reply (and what followed it) however the server cuts its replies. Copying
// and the view's plain text turn the separators back into line feeds.
QString replyDisplay(const std::string& reply) {
    QString shown = consoleDisplay(reply);
    const qsizetype last = shown.lastIndexOf(QLatin1Char('\n'));
    for (qsizetype i = 0; i < last; ++i)
        if (shown[i] == QLatin1Char('\n')) shown[i] = QChar::LineSeparator;
    return shown;
}

std::int64_t countCarriageReturns(std::string_view text, std::size_t end) {
    return static_cast<std::int64_t>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(end), '\r'));
}
}  // namespace

ConsoleView::ConsoleView(QPlainTextEdit* view) : m_view(view) {
    m_flushTimer.setSingleShot(true);
    QObject::connect(&m_flushTimer, &QTimer::timeout, [this] { flush(); });
    m_sinceFlush.start();
}

void ConsoleView::setText(const std::string& text) {
    std::string(text).swap(m_text);  // a cleared console gives its memory back
    QString().swap(m_unshown);
    m_carriageReturns = countCarriageReturns(m_text, m_text.size());
    m_selStart = 0;
    m_caretUnshown = false;
    if (m_view) m_view->setPlainText(consoleDisplay(m_text));
}

void ConsoleView::appendText(const std::string& text) {
    m_text += text;
    m_carriageReturns += countCarriageReturns(text, text.size());
    if (!m_view || text.empty()) return;
    if (!m_flushTimer.isActive())
        m_flushTimer.start(static_cast<int>(std::max<qint64>(0, kFlushMs - m_sinceFlush.elapsed())));
    m_unshown += replyDisplay(text);
}

void ConsoleView::flush() {
    m_flushTimer.stop();
    m_sinceFlush.restart();
    if (!m_view) return;
    if (!m_unshown.isEmpty()) {
        QTextCursor end(m_view->document());
        end.movePosition(QTextCursor::End);
        end.insertText(m_unshown);
        QString().swap(m_unshown);
    }
    if (m_caretUnshown) showCaret();
}

void ConsoleView::setSelStart(std::int64_t position) {
    m_selStart = std::clamp<std::int64_t>(position, 0, length());
    m_caretUnshown = true;
    if (m_unshown.isEmpty()) showCaret();
}

void ConsoleView::showCaret() {
    m_caretUnshown = false;
    if (!m_view) return;
    const std::int64_t hidden =
        m_selStart == length() ? m_carriageReturns : countCarriageReturns(m_text, static_cast<std::size_t>(m_selStart));
    QTextCursor cursor = m_view->textCursor();
    cursor.setPosition(
        static_cast<int>(std::min<std::int64_t>(m_selStart - hidden, m_view->document()->characterCount() - 1)));
    m_view->setTextCursor(cursor);
    m_view->ensureCursorVisible();
}

void ConsoleView::saveFile(const std::string& path) {
    QSaveFile file(pathText(path));
    // A file in a directory we may not create files in is rewritten in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(m_text.data(), static_cast<qint64>(m_text.size())) != static_cast<qint64>(m_text.size()) ||
        !file.commit())
        throw std::runtime_error(file.errorString().toStdString());
}

bool AppCursor::set(std::int16_t code) {
    // The classic pointer codes; 99 (a custom icon) and unknown codes have no Qt shape.
    static const Qt::CursorShape shapes[] = {
        Qt::ArrowCursor,     Qt::ArrowCursor,   Qt::CrossCursor,     Qt::IBeamCursor,
        Qt::ArrowCursor,     Qt::SizeAllCursor, Qt::SizeBDiagCursor, Qt::SizeVerCursor,
        Qt::SizeFDiagCursor, Qt::SizeHorCursor, Qt::UpArrowCursor,   Qt::WaitCursor,
        Qt::ForbiddenCursor, Qt::BusyCursor,    Qt::WhatsThisCursor, Qt::SizeAllCursor};
    if (code < 0 || code >= static_cast<std::int16_t>(std::size(shapes))) return false;
    if (code == 0) {
        while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    } else if (QApplication::overrideCursor()) {
        QApplication::changeOverrideCursor(QCursor(shapes[code]));
    } else {
        QApplication::setOverrideCursor(QCursor(shapes[code]));
    }
    m_code = code;
    return true;
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

ComboField::ComboField(QComboBox* combo) : m_combo(combo) {
    // With the focus on the box, its keys reach the box and are handed to the
    // edit line directly, past any filter; keys sent to the edit line itself
    // reach it through the filter there. Watching both sees each key once.
    combo->installEventFilter(this);
    combo->lineEdit()->installEventFilter(this);
    connect(combo, &QComboBox::editTextChanged, this, [this] { notifyChanged(); });
}

std::string ComboField::text() const { return m_combo ? toLatin1(m_combo->currentText()) : std::string(); }

void ComboField::setText(const std::string& text) {
    if (!m_combo) return;
    const QString t = fromLatin1(text);
    if (m_combo->lineEdit()->text() != t) m_combo->lineEdit()->setText(t);
    m_selStart = static_cast<int>(t.size());
}

int ComboField::listCount() const { return m_combo ? m_combo->count() : 0; }
std::string ComboField::list(int index) const {
    if (!m_combo || index < 0 || index >= m_combo->count()) throw std::out_of_range("combo box index");
    return toLatin1(m_combo->itemText(index));
}

// The list changes must not touch the edit line, which QComboBox would
// otherwise fill with the new current item.
void ComboField::addItem(const std::string& text) {
    if (!m_combo) return;
    const QString edit = m_combo->lineEdit()->text();
    const QSignalBlocker block(m_combo);
    m_combo->addItem(fromLatin1(text));
    m_combo->lineEdit()->setText(edit);
}
void ComboField::removeItem(int index) {
    if (!m_combo) return;
    if (index < 0 || index >= m_combo->count()) throw std::out_of_range("combo box index");
    const QString edit = m_combo->lineEdit()->text();
    const QSignalBlocker block(m_combo);
    m_combo->removeItem(index);
    m_combo->lineEdit()->setText(edit);
}
void ComboField::clear() {
    if (!m_combo) return;
    const QString edit = m_combo->lineEdit()->text();
    const QSignalBlocker block(m_combo);
    m_combo->clear();
    m_combo->lineEdit()->setText(edit);
}

void ComboField::setSelStart(int start) {
    if (!m_combo) return;
    m_selStart = std::clamp(start, 0, static_cast<int>(m_combo->lineEdit()->text().size()));
    m_combo->lineEdit()->setCursorPosition(m_selStart);
}
void ComboField::setSelLength(int length) {
    if (!m_combo) return;
    const int available = static_cast<int>(m_combo->lineEdit()->text().size()) - m_selStart;
    m_combo->lineEdit()->setSelection(m_selStart, std::clamp(length, 0, std::max(available, 0)));
}

void ComboField::setFocus() {
    if (m_combo) m_combo->setFocus(Qt::OtherFocusReason);
}

std::vector<std::string> ComboField::items() const {
    std::vector<std::string> out;
    for (int i = 0; m_combo && i < m_combo->count(); ++i) out.push_back(toLatin1(m_combo->itemText(i)));
    return out;
}
int ComboField::findString(const std::string& text) const { return findStringInList(items(), text, false); }
int ComboField::findStringExact(const std::string& text) const { return findStringInList(items(), text, true); }

void ComboField::subscribe(IComboBoxEvents* listener) { m_listeners.push_back(listener); }
void ComboField::unsubscribe(IComboBoxEvents* listener) { std::erase(m_listeners, listener); }

void ComboField::notifyChanged() {
    try {
        for (auto* l : std::vector(m_listeners)) l->comboChanged();
    } catch (const std::exception& e) {
        emit failed(e);
    }
}

bool ComboField::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        std::int16_t code = virtualKeyCode(key->key());
        const std::int16_t shift = shiftState(key->modifiers());
        try {
            for (auto* l : std::vector(m_listeners)) l->comboKeyDown(code, shift);
            emit keyDown(code, shift);
        } catch (const std::exception& e) {
            emit failed(e);
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace gui
