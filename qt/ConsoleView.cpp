#include "qt/ConsoleView.h"

#include <QSaveFile>
#include <QScrollBar>
#include <QTextCursor>
#include <algorithm>

#include "qt/Latin1.h"

namespace qtgui {

using namespace platform;

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
    // Read only, with no undo history (which would keep a second copy of
    // every reply) and no wrapping (a reply's lines stay the server's lines).
    if (m_view) {
        m_view->setReadOnly(true);
        m_view->setUndoRedoEnabled(false);
        m_view->setLineWrapMode(QPlainTextEdit::NoWrap);
    }
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

}  // namespace qtgui
