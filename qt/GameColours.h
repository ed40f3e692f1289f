#pragma once

#include <QColor>
#include <QPalette>
#include <QPlainTextEdit>
#include <QSyntaxHighlighter>

#include "app/ColourCodes.h"

namespace qtgui {

// The colour id Tech 3 draws for an index of its table.
QColor gameColour(app::GameColour colour);

// A dark ground like the game's own, so that every colour but black reads.
QPalette gameGround();
void useGameGround(QPlainTextEdit* view, bool on);

// Colours the text of a document as the game would, line by line (a reply
// block's lines are separated by line separators): the text after each code
// in its colour, the codes themselves dimmed but left in place, so that the
// text stays what Save writes.
class ConsoleColours : public QSyntaxHighlighter {
public:
    ConsoleColours(QTextDocument* document, app::ColourCodes rule);
    void setRule(app::ColourCodes rule);

protected:
    void highlightBlock(const QString& text) override;

private:
    app::ColourCodes m_rule;
};

}  // namespace qtgui
