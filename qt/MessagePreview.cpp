#include "qt/MessagePreview.h"

#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include <utility>

#include "app/FieldRules.h"
#include "app/PlayersView.h"
#include "qt/GameColours.h"
#include "qt/Latin1.h"

namespace qtgui {

namespace {
const QColor kChangedBackground(0x90, 0x20, 0x20);
const QColor kNotSeenBackground(0x50, 0x50, 0x50);
const QColor kLengthColour(0x90, 0x90, 0x90);
}  // namespace

MessagePreview::MessagePreview() {
    setObjectName("txtMsgPreview");
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    // A line longer than the view scrolls sideways; the scroll bar keeps its
    // room, so that it never takes a row of the lines.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName("Preview of the message as the players see it");
    setToolTip(app::kPreviewTip);
    useGameGround(this, true);
}

void MessagePreview::showMessage(const QString& message, const std::string& gameName,
                                 const app::PlaceholderValues& values) {
    document()->clear();
    m_lengths.clear();
    const QStringList lines = message.split(QLatin1Char('\n'));
    if (message.isEmpty()) return;
    // What goes on the wire: a character outside ISO-8859-1 is sent as '?'.
    std::vector<app::WireLine> wire;
    for (const QString& line : lines) {
        app::WireLine w{toLatin1(line), {}};
        for (QChar c : line) w.notInCharset.push_back(c.unicode() > 0xFF);
        wire.push_back(std::move(w));
    }
    QTextCursor cursor(document());
    QTextBlockFormat skipped;
    skipped.setBackground(QBrush(QColor(0x60, 0x60, 0x60), Qt::BDiagPattern));
    bool first = true;
    for (const app::PreviewLine& line : app::previewOf(wire, gameName, values)) {
        if (!std::exchange(first, false)) cursor.insertBlock(QTextBlockFormat());
        m_lengths.push_back({line.length, line.seen, line.budget});
        if (line.skipped) {
            cursor.setBlockFormat(skipped);
            continue;
        }
        for (const app::PreviewRun& run : line.runs) {
            QTextCharFormat format;
            format.setForeground(gameColour(run.colour));
            if (run.marks & app::kChangedMarks) format.setBackground(kChangedBackground);
            if (run.marks & app::kNotSeen) format.setBackground(kNotSeenBackground);
            if (run.marks) format.setToolTip(QString::fromStdString(app::markTip(run.marks, "ISO-8859-1", gameName)));
            cursor.insertText(fromLatin1(run.text), format);
        }
    }
}

void MessagePreview::paintEvent(QPaintEvent* event) {
    QPlainTextEdit::paintEvent(event);
    QPainter painter(viewport());
    const QRect view = viewport()->rect().adjusted(0, 0, -4, 0);
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF row = blockBoundingGeometry(block).translated(contentOffset());
        if (row.top() > view.bottom()) break;
        const auto index = static_cast<std::size_t>(block.blockNumber());
        if (index >= m_lengths.size() || !m_lengths[index].seen) continue;
        const auto [length, seen, budget] = m_lengths[index];
        const QString bytes = QString(" %1/%2").arg(length).arg(budget);
        QRect box = painter.fontMetrics().boundingRect(bytes);
        box.moveTopRight(QPoint(view.right(), static_cast<int>(row.top())));
        box.setHeight(static_cast<int>(row.height()));
        painter.fillRect(box.adjusted(0, 0, viewport()->rect().right() - box.right(), 0), QColor(0x20, 0x20, 0x20));
        painter.setPen(length > seen ? QColor(0xE0, 0x60, 0x60) : kLengthColour);
        painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, bytes);
    }
}

}  // namespace qtgui
