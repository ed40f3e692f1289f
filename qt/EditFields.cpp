#include "qt/EditFields.h"

#include <QEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>

#include "qt/Latin1.h"

namespace qtgui {

using namespace platform;

QString styledInput(const QString& typed, std::uint32_t style) {
    QString out;
    for (QChar c : typed)
        if (!(style & kEsNumber) || c.isDigit() || c == QChar('\n') || c == QChar(QChar::ParagraphSeparator)) out += c;
    if (style & kEsUpperCase) out = out.toUpper();
    if (style & kEsLowerCase) out = out.toLower();
    return out;
}

EditField::EditField(QLineEdit* edit) : m_single(edit), m_style(0x80) {
    m_lineNow = edit->text();
    edit->installEventFilter(this);
    // textChanged comes first for every change, textEdited after it for the user's own.
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& now) {
        m_lineBefore = m_lineNow;
        m_lineNow = now;
    });
    connect(edit, &QLineEdit::textEdited, this, [this](const QString& now) { lineEdited(now); });
}

EditField::EditField(QPlainTextEdit* edit) : m_multi(edit), m_style(kEsMultiLine | 0x40) {
    edit->installEventFilter(this);
    connect(edit->document(), &QTextDocument::contentsChange, this,
            [this](int position, int removed, int added) { documentChanged(position, removed, added); });
}

// The part of the line that the user's edit put in, between what stayed
// before and after it, is styled; the rest is left as it was.
void EditField::lineEdited(const QString& now) {
    if (m_applying || !m_single) return;
    const QString before = m_lineBefore;
    int prefix = 0;
    while (prefix < now.size() && prefix < before.size() && now[prefix] == before[prefix]) ++prefix;
    int suffix = 0;
    while (suffix < now.size() - prefix && suffix < before.size() - prefix &&
           now[now.size() - 1 - suffix] == before[before.size() - 1 - suffix])
        ++suffix;
    const QString inserted = now.mid(prefix, now.size() - prefix - suffix);
    const QString styled = styledInput(inserted, m_style);
    if (styled != inserted) {
        m_applying = true;
        m_single->setText(now.left(prefix) + styled + now.right(suffix));
        m_single->setCursorPosition(static_cast<int>(prefix + styled.size()));
        m_applying = false;
    }
}

void EditField::documentChanged(int position, int, int added) {
    if (m_applying || !m_multi || added <= 0) return;
    QTextCursor c(m_multi->document());
    c.setPosition(position);
    c.setPosition(position + added, QTextCursor::KeepAnchor);
    const QString inserted = c.selectedText();
    const QString styled = styledInput(inserted, m_style);
    if (styled == inserted) return;
    m_applying = true;
    c.insertText(QString(styled).replace(QChar(QChar::ParagraphSeparator), QChar('\n')));
    m_applying = false;
}

QString EditField::plain() const {
    if (m_single) return m_single->text();
    return m_multi ? m_multi->toPlainText() : QString();
}

std::string EditField::text() const { return toLatin1(m_multi ? lfToCrlf(plain()) : plain()); }

void EditField::setText(const std::string& text) {
    m_applying = true;
    if (m_single) m_single->setText(fromLatin1(text));
    if (m_multi) m_multi->setPlainText(crlfToLf(fromLatin1(text)));
    m_applying = false;
}

int EditField::toCrLf(int position) const {
    if (!m_multi) return position;
    const QString t = plain();
    return position + static_cast<int>(t.left(position).count('\n'));
}

int EditField::fromCrLf(int position) const {
    if (!m_multi) return position;
    const QString t = plain();
    int crlf = 0, i = 0;
    for (; i < t.size() && crlf < position; ++i) crlf += t[i] == '\n' ? 2 : 1;
    return i;
}

int EditField::selStart() const {
    if (m_single) return m_single->hasSelectedText() ? m_single->selectionStart() : m_single->cursorPosition();
    return m_multi ? toCrLf(m_multi->textCursor().selectionStart()) : 0;
}

int EditField::selLength() const {
    if (m_single) return static_cast<int>(m_single->selectedText().size());
    if (!m_multi) return 0;
    const QTextCursor c = m_multi->textCursor();
    return toCrLf(c.selectionEnd()) - toCrLf(c.selectionStart());
}

void EditField::setSelection(int start, int length) {
    if (m_single) {
        const int size = static_cast<int>(m_single->text().size());
        start = std::clamp(start, 0, size);
        m_single->setSelection(start, std::clamp(length, 0, size - start));
    }
    if (m_multi) {
        QTextCursor c(m_multi->document());
        const int end = m_multi->document()->characterCount() - 1;
        c.setPosition(std::clamp(fromCrLf(start), 0, end));
        c.setPosition(std::clamp(fromCrLf(start + length), 0, end), QTextCursor::KeepAnchor);
        m_multi->setTextCursor(c);
    }
}

bool EditField::canUndo() const {
    if (m_single) return m_single->isUndoAvailable();
    return m_multi && m_multi->document()->isUndoAvailable();
}

void EditField::undo() {
    if (m_single) m_single->undo();
    if (m_multi) m_multi->undo();
}
void EditField::cut() {
    if (m_single) m_single->cut();
    if (m_multi) m_multi->cut();
}
void EditField::copy() {
    if (m_single) m_single->copy();
    if (m_multi) m_multi->copy();
}
void EditField::paste() {
    if (m_single) m_single->paste();
    if (m_multi) m_multi->paste();
}
void EditField::clearSelection() {
    if (m_single && m_single->hasSelectedText()) m_single->del();
    if (m_multi) m_multi->textCursor().removeSelectedText();
}

int EditField::lineCount() const {
    if (m_multi) return m_multi->document()->blockCount();
    return 1;
}

int EditField::getLine(int index, int bufferSize, std::string* line) const {
    if (!m_multi || index < 0) return 0;
    const QTextBlock block = m_multi->document()->findBlockByNumber(index);
    if (!block.isValid()) return 0;
    *line = toLatin1(block.text()).substr(0, static_cast<std::size_t>(std::max(bufferSize, 0)));
    return static_cast<int>(line->size());
}

bool EditField::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn)
        for (auto* l : std::vector(m_listeners)) l->editGotFocus();
    return QObject::eventFilter(watched, event);
}

}  // namespace qtgui
