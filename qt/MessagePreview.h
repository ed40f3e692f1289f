#pragma once

#include <QPlainTextEdit>

#include "app/ColourCodes.h"

namespace qtgui {

// The message as the players will see it in chat: each line with its codes
// hidden and its text in the codes' colours, on a dark ground like the
// game's. A line the broadcast skips (an empty one) shows as a hatched bar.
// Its text, for the keyboard and screen readers, is the message without
// its codes.
class MessagePreview : public QPlainTextEdit {
public:
    MessagePreview();
    // The message as the message field holds it (lines ended by line feeds).
    void showMessage(const QString& message, app::ColourCodes rule);
};

}  // namespace qtgui
