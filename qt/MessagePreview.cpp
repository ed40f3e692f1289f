#include "qt/MessagePreview.h"

#include <QTextBlock>
#include <QTextCursor>

#include "app/FieldRules.h"
#include "qt/GameColours.h"
#include "qt/Latin1.h"

namespace qtgui {

namespace {
const QColor kReplacedBackground(0x90, 0x20, 0x20);
const QString kReplacedTip("Not in ISO-8859-1: sent as ?");
}  // namespace

MessagePreview::MessagePreview() {
    setObjectName("txtMsgPreview");
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName("Preview of the message as the players see it");
    setToolTip(
        "The message as the players see it in chat: the colour codes hidden, the text in their colours. A "
        "hatched line is empty and is not sent. A ? on red stands for a character outside ISO-8859-1, which is sent as "
        "?.");
    useGameGround(this, true);
}

void MessagePreview::showMessage(const QString& message, app::ColourCodes rule) {
    document()->clear();
    const QStringList lines = message.split(QLatin1Char('\n'));
    // A row a line, as many as the rule gives, and the rest scrolls (the
    // view scrolls unless the rows and the margins leave a pixel spare).
    setFixedHeight(app::previewRows(static_cast<std::size_t>(lines.size())) * fontMetrics().lineSpacing() +
                   2 * static_cast<int>(document()->documentMargin()) + 1 + 2 * frameWidth());
    if (message.isEmpty()) return;
    QTextCursor cursor(document());
    QTextBlockFormat skipped;
    skipped.setBackground(QBrush(QColor(0x60, 0x60, 0x60), Qt::BDiagPattern));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0) cursor.insertBlock(QTextBlockFormat());
        if (lines[i].isEmpty()) {
            cursor.setBlockFormat(skipped);
            continue;
        }
        // What goes on the wire: a character outside ISO-8859-1 is sent as
        // '?', so it is shown as one, marked as a replacement.
        const std::string line = toLatin1(lines[i]);
        for (const app::ColourRun& run : app::colourRuns(line, rule)) {
            if (run.code) continue;
            for (std::size_t k = run.start; k < run.start + run.length;) {
                const bool replaced = lines[i][static_cast<qsizetype>(k)].unicode() > 0xFF;
                std::size_t end = k + 1;
                while (end < run.start + run.length &&
                       (lines[i][static_cast<qsizetype>(end)].unicode() > 0xFF) == replaced)
                    ++end;
                QTextCharFormat format;
                format.setForeground(gameColour(run.colour));
                if (replaced) {
                    format.setBackground(kReplacedBackground);
                    format.setToolTip(kReplacedTip);
                }
                cursor.insertText(fromLatin1(line.substr(k, end - k)), format);
                k = end;
            }
        }
    }
}

}  // namespace qtgui
