#include "qt/MessagePreview.h"

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
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName("Preview of the message as the players see it");
    setToolTip(app::kPreviewTip);
    useGameGround(this, true);
}

void MessagePreview::showMessage(const QString& message, const std::string& gameName) {
    document()->clear();
    const QStringList lines = message.split(QLatin1Char('\n'));
    // A row a line, as many as the rule gives, and the rest scrolls (the
    // view scrolls unless the rows and the margins leave a pixel spare).
    setFixedHeight(app::previewRows(static_cast<std::size_t>(lines.size())) * fontMetrics().lineSpacing() +
                   2 * static_cast<int>(document()->documentMargin()) + 1 + 2 * frameWidth());
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
    for (const app::PreviewLine& line : app::previewOf(wire, gameName)) {
        if (!std::exchange(first, false)) cursor.insertBlock(QTextBlockFormat());
        if (line.skipped) {
            cursor.setBlockFormat(skipped);
            continue;
        }
        for (const app::PreviewRun& run : line.runs) {
            QTextCharFormat format;
            format.setForeground(gameColour(run.colour));
            if (run.marks & (app::kNotInCharset | app::kPassedAsDot)) format.setBackground(kChangedBackground);
            if (run.marks & app::kNotSeen) format.setBackground(kNotSeenBackground);
            if (run.marks) format.setToolTip(QString::fromStdString(app::markTip(run.marks, "ISO-8859-1")));
            cursor.insertText(fromLatin1(run.text), format);
        }
        if (line.seen) {
            QTextCharFormat format;
            format.setForeground(line.length > line.seen ? QColor(0xE0, 0x60, 0x60) : kLengthColour);
            cursor.insertText(QString("  %1/%2").arg(line.length).arg(app::kSeenChatBytes), format);
        }
    }
}

}  // namespace qtgui
