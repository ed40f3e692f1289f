#include "qt/ConsoleView.h"

#include <QAccessible>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QtMath>
#include <algorithm>
#include <climits>
#include <cmath>

#include "qt/ConsoleAccessible.h"
#include "qt/GameColours.h"

namespace qtgui {

namespace {

constexpr int kMargin = 4;

// A control character shows as its control picture, in its column.
QString shownBytes(std::string_view bytes) {
    QString shown(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        shown[static_cast<qsizetype>(i)] = c < 0x20 ? QChar(0x2400 + c) : c == 0x7F ? QChar(0x2421) : QChar(c);
    }
    return shown;
}

int clampedInt(std::int64_t value) { return static_cast<int>(std::clamp<std::int64_t>(value, 0, INT_MAX)); }

}  // namespace

ConsoleView::ConsoleView(QWidget* parent) : QAbstractScrollArea(parent) {
    installConsoleAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    verticalScrollBar()->setSingleStep(1);
    m_flushTimer.setSingleShot(true);
    connect(&m_flushTimer, &QTimer::timeout, this, [this] { flush(); });
    m_sinceFlush.start();
    changeEvent(nullptr);
}

void ConsoleView::changeEvent(QEvent* event) {
    if (event) QAbstractScrollArea::changeEvent(event);
    if (event && event->type() != QEvent::FontChange) return;
    // A fixed-pitch font's advance is seldom a whole pixel: columns are placed at its true width.
    const QFontMetricsF metrics(font());
    m_lineHeight = std::max(1, QFontMetrics(font()).lineSpacing());  // as the window's layout counts a line
    m_charWidth = std::max<qreal>(1, metrics.horizontalAdvance(QLatin1Char('M')));
    m_ascent = metrics.ascent();
    updateScrollBars();
}

void ConsoleView::setText(const std::string& text) {
    const QString before = QAccessible::isActive() ? shownText(0, length()) : QString();
    m_lines.assign(text);
    m_flushTimer.stop();
    m_anchor = m_caret = 0;
    m_caretUnshown = false;
    m_shownUpTo = length();
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
    if (QAccessible::isActive()) {
        QAccessibleTextUpdateEvent changed(this, 0, before, shownText(0, length()));
        QAccessible::updateAccessibility(&changed);
    }
}

void ConsoleView::appendText(const std::string& text) {
    if (text.empty()) return;
    m_lines.append(text);
    refreshLater();
}

std::string ConsoleView::textPart(std::int64_t offset, std::int64_t count) const { return m_lines.part(offset, count); }

void ConsoleView::removeHead(std::int64_t count) {
    const std::size_t linesBefore = m_lines.lineCount();
    if (QAccessible::isActive() && count > 0 && count <= length()) {
        QAccessibleTextRemoveEvent removed(this, 0, shownText(0, count));
        QAccessible::updateAccessibility(&removed);
    }
    m_lines.removeHead(count);
    m_anchor = std::max<std::int64_t>(0, m_anchor - count);
    m_caret = std::max<std::int64_t>(0, m_caret - count);
    m_shownUpTo = std::max<std::int64_t>(0, m_shownUpTo - count);
    // The lines in sight stay in sight.
    const int first = verticalScrollBar()->value() - static_cast<int>(linesBefore - m_lines.lineCount());
    updateScrollBars();
    verticalScrollBar()->setValue(std::max(0, first));
    viewport()->update();
}

void ConsoleView::setSelStart(std::int64_t position) {
    const std::int64_t at = std::clamp<std::int64_t>(position, 0, length());
    select(at, at);
    m_caretUnshown = true;
    if (!m_flushTimer.isActive()) showCaret();
}

void ConsoleView::setHeadLine(const std::string& line) {
    const int rowsBefore = headRows();
    m_headLine = QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
    setAccessibleDescription(m_headLine);
    const int value = verticalScrollBar()->value();
    updateScrollBars();
    if (value > 0) verticalScrollBar()->setValue(value + headRows() - rowsBefore);
    viewport()->update();
}

void ConsoleView::setColours(std::optional<app::ColourCodes> rule) {
    m_rule = rule;
    viewport()->update();
}

void ConsoleView::refreshLater() {
    if (!m_flushTimer.isActive())
        m_flushTimer.start(static_cast<int>(std::max<qint64>(0, kFlushMs - m_sinceFlush.elapsed())));
}

void ConsoleView::flush() {
    m_flushTimer.stop();
    m_sinceFlush.restart();
    updateScrollBars();
    if (m_caretUnshown) showCaret();
    viewport()->update();
    if (m_shownUpTo < length() && QAccessible::isActive()) {
        QAccessibleTextInsertEvent inserted(this, clampedInt(shownOffset(m_shownUpTo)),
                                            shownText(m_shownUpTo, length()));
        QAccessible::updateAccessibility(&inserted);
    }
    m_shownUpTo = length();
}

int ConsoleView::visibleRows() const { return std::max(1, viewport()->height() / m_lineHeight); }

void ConsoleView::updateScrollBars() {
    const auto rows = static_cast<std::int64_t>(m_lines.lineCount()) + headRows();
    verticalScrollBar()->setRange(0, clampedInt(rows - visibleRows()));
    verticalScrollBar()->setPageStep(visibleRows());
    const auto width =
        2 * kMargin + static_cast<std::int64_t>(std::ceil(static_cast<qreal>(m_lines.longestLine()) * m_charWidth));
    horizontalScrollBar()->setRange(0, clampedInt(width - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(qCeil(m_charWidth));
}

void ConsoleView::showCaret() {
    m_caretUnshown = false;
    scrollToOffset(m_caret);
    if (QAccessible::isActive()) {
        QAccessibleTextCursorEvent moved(this, clampedInt(shownOffset(m_caret)));
        QAccessible::updateAccessibility(&moved);
    }
}

void ConsoleView::scrollToOffset(std::int64_t offset) {
    const QRect at = byteRect(offset);
    QScrollBar* v = verticalScrollBar();
    const int rows = visibleRows();
    const int row = v->value() + at.top() / m_lineHeight;
    if (at.top() < 0) v->setValue(row == headRows() ? 0 : row);
    if (at.top() / m_lineHeight >= rows) v->setValue(row - rows + 1);
    QScrollBar* h = horizontalScrollBar();
    if (at.left() < kMargin) h->setValue(h->value() + at.left() - kMargin);
    if (at.right() >= viewport()->width()) h->setValue(h->value() + at.right() + 1 - viewport()->width());
    viewport()->update();
}

void ConsoleView::select(std::int64_t anchor, std::int64_t caret) {
    m_anchor = std::clamp<std::int64_t>(anchor, 0, length());
    m_caret = std::clamp<std::int64_t>(caret, 0, length());
    viewport()->update();
    if (QAccessible::isActive()) {
        QAccessibleTextSelectionEvent selected(this, clampedInt(shownOffset(std::min(m_anchor, m_caret))),
                                               clampedInt(shownOffset(std::max(m_anchor, m_caret))));
        selected.setCursorPosition(clampedInt(shownOffset(m_caret)));
        QAccessible::updateAccessibility(&selected);
    }
}

QString ConsoleView::shownText(std::int64_t from, std::int64_t to) const {
    from = std::clamp<std::int64_t>(from, 0, length());
    to = std::clamp<std::int64_t>(to, from, length());
    const std::size_t first = m_lines.lineOf(static_cast<std::size_t>(from));
    const std::size_t last = m_lines.lineOf(static_cast<std::size_t>(to));
    QString out;
    for (std::size_t i = first; i <= last; ++i) {
        const std::string_view line = m_lines.line(i);
        const auto start = static_cast<std::int64_t>(m_lines.lineStart(i));
        const auto length = static_cast<std::int64_t>(line.size());
        const auto a = static_cast<std::size_t>(std::clamp<std::int64_t>(from - start, 0, length));
        const auto b = static_cast<std::size_t>(std::clamp<std::int64_t>(to - start, 0, length));
        out += shownBytes(line.substr(a, b - a));
        if (i < last) out += QLatin1Char('\n');
    }
    return out;
}

std::int64_t ConsoleView::shownOffset(std::int64_t byte) const {
    const auto at = static_cast<std::size_t>(std::clamp<std::int64_t>(byte, 0, length()));
    const std::size_t line = m_lines.lineOf(at);
    std::int64_t shown = 0;
    for (std::size_t i = 0; i < line; ++i) shown += static_cast<std::int64_t>(m_lines.line(i).size()) + 1;
    return shown + static_cast<std::int64_t>(std::min(at - m_lines.lineStart(line), m_lines.line(line).size()));
}

std::int64_t ConsoleView::byteOffset(std::int64_t shown) const {
    for (std::size_t i = 0; i < m_lines.lineCount(); ++i) {
        const auto length = static_cast<std::int64_t>(m_lines.line(i).size());
        if (shown <= length) return static_cast<std::int64_t>(m_lines.lineStart(i)) + std::max<std::int64_t>(0, shown);
        shown -= length + 1;
    }
    return length();
}

QRect ConsoleView::byteRect(std::int64_t offset) const {
    const auto at = static_cast<std::size_t>(std::clamp<std::int64_t>(offset, 0, length()));
    const std::size_t line = m_lines.lineOf(at);
    const std::size_t column = std::min(at - m_lines.lineStart(line), m_lines.line(line).size());
    const auto row = static_cast<std::int64_t>(line) + headRows() - verticalScrollBar()->value();
    const auto x = static_cast<std::int64_t>(std::floor(kMargin + static_cast<qreal>(column) * m_charWidth)) -
                   horizontalScrollBar()->value();
    return QRect(static_cast<int>(std::clamp<std::int64_t>(x, INT_MIN / 2, INT_MAX / 2)),
                 static_cast<int>(std::clamp<std::int64_t>(row, INT_MIN / 64, INT_MAX / 64)) * m_lineHeight,
                 qCeil(m_charWidth), m_lineHeight);
}

std::int64_t ConsoleView::offsetAt(QPoint point) const {
    const std::int64_t row = verticalScrollBar()->value() + point.y() / m_lineHeight - headRows();
    const auto line =
        static_cast<std::size_t>(std::clamp<std::int64_t>(row, 0, static_cast<std::int64_t>(m_lines.lineCount()) - 1));
    const auto column = static_cast<std::int64_t>(
        std::max<qreal>(0, (point.x() + horizontalScrollBar()->value() - kMargin) / m_charWidth + 0.5));
    return static_cast<std::int64_t>(m_lines.lineStart(line)) +
           std::min<std::int64_t>(column, static_cast<std::int64_t>(m_lines.line(line).size()));
}

void ConsoleView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().base());
    painter.setFont(font());
    const int first = verticalScrollBar()->value();
    for (int i = 0; i <= visibleRows(); ++i) {
        const int row = first + i;
        if (row < headRows()) {
            QFont italic = font();
            italic.setItalic(true);
            painter.setFont(italic);
            QColor dim = palette().color(QPalette::Text);  // readable on either ground
            dim.setAlphaF(0.6f);
            painter.setPen(dim);
            painter.drawText(QPointF(kMargin, i * m_lineHeight + m_ascent), m_headLine);
            painter.setFont(font());
            continue;
        }
        const auto line = static_cast<std::size_t>(row - headRows());
        if (line >= m_lines.lineCount()) break;
        paintLine(painter, line, i * m_lineHeight);
    }
    if (hasFocus()) {
        const QRect caret = byteRect(m_caret);
        painter.fillRect(QRect(caret.left(), caret.top(), 1, caret.height()), palette().text());
    }
}

// The line's columns in sight, run by run of its colours, the selection's
// part of them on the highlight.
void ConsoleView::paintLine(QPainter& painter, std::size_t line, int y) const {
    const std::string_view bytes = m_lines.line(line);
    const auto start = static_cast<std::int64_t>(m_lines.lineStart(line));
    const int scrolled = horizontalScrollBar()->value();
    const auto firstColumn = static_cast<std::size_t>(std::max<qreal>(0, (scrolled - kMargin) / m_charWidth));
    const std::size_t lastColumn =
        std::min(bytes.size(), firstColumn + static_cast<std::size_t>(viewport()->width() / m_charWidth) + 2);
    const auto length = static_cast<std::int64_t>(bytes.size());
    const auto selFrom =
        static_cast<std::size_t>(std::clamp<std::int64_t>(std::min(m_anchor, m_caret) - start, 0, length));
    const auto selTo =
        static_cast<std::size_t>(std::clamp<std::int64_t>(std::max(m_anchor, m_caret) - start, 0, length));
    std::vector<app::ColourRun> runs;
    if (m_rule)
        runs = app::colourRuns(bytes, *m_rule);
    else
        runs.push_back(app::ColourRun{0, bytes.size(), false, app::GameColour::White});
    const QColor dimmed(0x70, 0x70, 0x70);
    for (const app::ColourRun& run : runs) {
        const QColor colour = !m_rule ? palette().color(QPalette::Text) : run.code ? dimmed : gameColour(run.colour);
        const std::size_t runEnd = std::min(run.start + run.length, lastColumn);
        for (std::size_t k = std::max(run.start, firstColumn); k < runEnd;) {
            const bool selected = k >= selFrom && k < selTo;
            const std::size_t end = std::min(runEnd, selected ? selTo : k < selFrom ? selFrom : runEnd);
            const qreal x = kMargin + static_cast<qreal>(k) * m_charWidth - scrolled;
            if (selected)
                painter.fillRect(QRectF(x, y, static_cast<qreal>(end - k) * m_charWidth, m_lineHeight),
                                 palette().highlight());
            painter.setPen(selected ? palette().color(QPalette::HighlightedText) : colour);
            painter.drawText(QPointF(x, y + m_ascent), shownBytes(bytes.substr(k, end - k)));
            k = end;
        }
    }
}

void ConsoleView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void ConsoleView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) return copySelection();
    if (event->matches(QKeySequence::SelectAll)) return select(0, length());
    const bool shift = event->modifiers() & Qt::ShiftModifier, control = event->modifiers() & Qt::ControlModifier;
    const std::size_t line = m_lines.lineOf(static_cast<std::size_t>(m_caret));
    const std::size_t column = static_cast<std::size_t>(m_caret) - m_lines.lineStart(line);
    const auto onLine = [&](std::int64_t target) {
        const auto t = static_cast<std::size_t>(
            std::clamp<std::int64_t>(target, 0, static_cast<std::int64_t>(m_lines.lineCount()) - 1));
        return static_cast<std::int64_t>(m_lines.lineStart(t) + std::min(column, m_lines.line(t).size()));
    };
    const auto here = static_cast<std::int64_t>(line);
    std::int64_t to = m_caret;
    switch (event->key()) {
    case Qt::Key_Home: to = control ? 0 : static_cast<std::int64_t>(m_lines.lineStart(line)); break;
    case Qt::Key_End:
        to = control ? length() : static_cast<std::int64_t>(m_lines.lineStart(line) + m_lines.line(line).size());
        break;
    case Qt::Key_Left: to = m_caret - 1; break;
    case Qt::Key_Right: to = m_caret + 1; break;
    case Qt::Key_Up: to = onLine(here - 1); break;
    case Qt::Key_Down: to = onLine(here + 1); break;
    case Qt::Key_PageUp: to = onLine(here - visibleRows()); break;
    case Qt::Key_PageDown: to = onLine(here + visibleRows()); break;
    default: return QAbstractScrollArea::keyPressEvent(event);
    }
    select(shift ? m_anchor : to, to);
    scrollToOffset(m_caret);
}

void ConsoleView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
    const std::int64_t at = offsetAt(event->position().toPoint());
    select((event->modifiers() & Qt::ShiftModifier) ? m_anchor : at, at);
    m_dragging = true;
}

void ConsoleView::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging) select(m_anchor, offsetAt(event->position().toPoint()));
}

void ConsoleView::mouseReleaseEvent(QMouseEvent*) { m_dragging = false; }

void ConsoleView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copy = menu.addAction(tr("&Copy"), QKeySequence::Copy, this, [this] { copySelection(); });
    copy->setEnabled(m_anchor != m_caret);
    menu.addAction(tr("Select &All"), QKeySequence::SelectAll, this, [this] { select(0, length()); });
    menu.exec(event->globalPos());
}

void ConsoleView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void ConsoleView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void ConsoleView::copySelection() const {
    if (m_anchor == m_caret) return;
    QGuiApplication::clipboard()->setText(shownText(std::min(m_anchor, m_caret), std::max(m_anchor, m_caret)));
}

}  // namespace qtgui
