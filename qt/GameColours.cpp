#include "qt/GameColours.h"

#include "qt/Latin1.h"

namespace qtgui {

QColor gameColour(app::GameColour colour) { return QColor(QRgb(app::gameColourRgb(colour))); }

QPalette gameGround() {
    QPalette palette;
    palette.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    palette.setColor(QPalette::AlternateBase, QColor(0x2C, 0x2C, 0x2C));
    palette.setColor(QPalette::Text, gameColour(app::GameColour::White));
    return palette;
}

// An empty palette resolves nothing: the widget inherits its own again.
void useGameGround(QPlainTextEdit* view, bool on) { view->setPalette(on ? gameGround() : QPalette()); }

ConsoleColours::ConsoleColours(QTextDocument* document, app::ColourCodes rule)
    : QSyntaxHighlighter(document), m_rule(rule) {}

void ConsoleColours::setRule(app::ColourCodes rule) {
    if (rule == m_rule) return;
    m_rule = rule;
    rehighlight();
}

void ConsoleColours::highlightBlock(const QString& text) {
    QTextCharFormat dimmed;
    dimmed.setForeground(QColor(0x70, 0x70, 0x70));
    qsizetype lineStart = 0;
    while (lineStart <= text.size()) {
        qsizetype lineEnd = text.indexOf(QChar::LineSeparator, lineStart);
        if (lineEnd < 0) lineEnd = text.size();
        const std::string line = toLatin1(text.mid(lineStart, lineEnd - lineStart));
        for (const app::ColourRun& run : app::colourRuns(line, m_rule)) {
            QTextCharFormat format;
            if (run.code) {
                format = dimmed;
            } else {
                format.setForeground(gameColour(run.colour));
            }
            setFormat(static_cast<int>(lineStart + static_cast<qsizetype>(run.start)), static_cast<int>(run.length),
                      format);
        }
        lineStart = lineEnd + 1;
    }
}

}  // namespace qtgui
