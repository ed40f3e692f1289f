#include "qt/ComboField.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>

#include "qt/Latin1.h"
#include "qt/QtControls.h"
#include "platform/ListSearch.h"

namespace qtgui {

using namespace platform;

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

void ComboField::subscribe(IComboBoxEvents* listener) { m_listeners.subscribe(listener); }
void ComboField::unsubscribe(IComboBoxEvents* listener) { m_listeners.unsubscribe(listener); }

void ComboField::notifyChanged() { m_listeners.changed(); }

bool ComboField::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        m_listeners.keyDown(virtualKeyCode(key->key()), shiftState(key->modifiers()));
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace qtgui
