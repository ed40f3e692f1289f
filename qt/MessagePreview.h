#pragma once

#include <QPlainTextEdit>

#include <cstddef>
#include <string>
#include <vector>

#include "app/Placeholders.h"

namespace qtgui {

// The message as the players will see it in chat: each line as the server
// passes it on, its codes hidden and its text in the codes' colours, on a
// dark ground like the game's; what differs from the typed text marked, and
// in the chat form the line's bytes against what the players read. A line
// the broadcast skips (an empty one) shows as a hatched bar. Its text, for
// the keyboard and screen readers, is the message without its codes.
class MessagePreview : public QPlainTextEdit {
public:
    MessagePreview();
    // The message as the message field holds it (lines ended by line feeds).
    void showMessage(const QString& message, const std::string& gameName, const app::PlaceholderValues& values);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Each line's bytes, those the players read (0: no limit) and what their
    // game shows of a chat line, drawn at the right of its row.
    struct Bytes {
        std::size_t length, seen, budget;
    };
    std::vector<Bytes> m_lengths;
};

}  // namespace qtgui
