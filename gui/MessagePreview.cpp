#include "gui/MessagePreview.h"

#include <QTextBlock>
#include <QTextCursor>

#include "gui/GameColours.h"
#include "gui/Latin1.h"

namespace gui {

MessagePreview::MessagePreview() {
    setObjectName("txtMsgPreview");
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName("Preview of the message as the players see it");
    setToolTip(
        "The message as the players see it in chat: the colour codes hidden, the text in their colours. A "
        "hatched line is empty and is not sent.");
    useGameGround(this, true);
}

void MessagePreview::showMessage(const QString& message, app::ColourCodes rule) {
    document()->clear();
    if (message.isEmpty()) return;
    QTextCursor cursor(document());
    QTextBlockFormat skipped;
    skipped.setBackground(QBrush(QColor(0x60, 0x60, 0x60), Qt::BDiagPattern));
    const QStringList lines = message.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0) cursor.insertBlock(QTextBlockFormat());
        if (lines[i].isEmpty()) {
            cursor.setBlockFormat(skipped);
            continue;
        }
        const std::string line = toLatin1(lines[i]);
        for (const app::ColourRun& run : app::colourRuns(line, rule)) {
            if (run.code) continue;
            QTextCharFormat format;
            format.setForeground(gameColour(run.colour));
            cursor.insertText(lines[i].mid(static_cast<qsizetype>(run.start), static_cast<qsizetype>(run.length)),
                              format);
        }
    }
}

}  // namespace gui
