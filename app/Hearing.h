#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Clock.h"

namespace app {

// Which lines of a broadcast in the chat form the server passed on. Most
// servers answer every chat command they take with its echo, "console: TEXT"
// (the name before the colon is the engine's), through the same socket; a
// datagram it drops, or a refused password, gets no echo. Some engines print
// nothing back: of their lines nothing is claimed.
class Hearing {
public:
    // How long after a broadcast its echoes are waited for.
    static constexpr std::uint32_t kWaitMilliseconds = 5000;

    // The TEXT the server echoes for a line sent in the chat form (the line
    // as it passes it on): the engine's tokens of the quoted line, without
    // their quotes and what a // or /* */ comment takes out, joined by blanks.
    static std::string echoOf(std::string_view passedOnLine);
    // What the server of the game of that name echoes for a broadcast line,
    // as hear() matches it (the reply's line past the engine's name and
    // colon), or nothing where no echo can come: a game of the plain form,
    // or an engine that prints nothing back.
    static std::optional<std::string> echoFor(const std::string& gameName, std::string_view line);
    // The server's refusal of the password in a reply, or an empty text.
    static std::string refusalIn(const std::string& consoleText);

    struct Verdict {
        std::size_t sent = 0;
        std::size_t heard = 0;
        std::vector<std::size_t> notHeard;  // the lines' numbers in the message, from 1
        platform::LocalDateTime at;         // when the broadcast began
    };

    // A broadcast begins; its lines are expected as they go out.
    void begin(const platform::LocalDateTime& at);
    void expect(std::size_t lineNumber, const std::string& echo);
    // A reply: each of its lines that echoes an expected line marks it heard.
    void hear(const std::string& consoleText);
    // Whether lines of a broadcast wait for their echoes.
    bool waiting() const { return m_open && !m_expected.empty(); }
    // What was heard, once the broadcast's echoes have had their time.
    Verdict close();

private:
    struct Expected {
        std::size_t lineNumber;
        std::string echo;
        bool heard = false;
    };
    bool m_open = false;
    platform::LocalDateTime m_at;
    std::vector<Expected> m_expected;
};

// A time of day as the window's notices give it: "14:02".
std::string hoursAndMinutes(const platform::LocalDateTime& at);

// "3 of 3 lines heard at 14:02", with the lines not heard after it
// ("1 of 3 lines heard at 14:02; lines 2, 3 not heard").
std::string heardText(const Hearing::Verdict& verdict);

}  // namespace app
