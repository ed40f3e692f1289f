#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Clock.h"

namespace service {

// The service's log: one line for each line of an event's text, dated, on
// the output it is given (standard output, which systemd's journal takes).
// A line is "YYYY-MM-DD HH:MM:SS what: text", with no blank at its end. The
// rcon passwords it is told never appear in it, and no control character
// but the tab breaks a line up, reaches a terminal or makes the journal
// keep the line as binary data.
class ServiceLog {
public:
    // Takes one line, its line end included, in the output's encoding.
    using Writer = std::function<void(const std::string& line)>;

    // utf8: the output reads UTF-8 (POSIX); otherwise the 8-bit texts go as
    // they are (Windows' ANSI code page).
    ServiceLog(platform::IClock& clock, Writer write, bool utf8);

    // From now on written as "***".
    void hide(const std::string& secret);
    // The event alone for an empty text.
    void write(std::string_view what, const std::string& text);

    // An 8-bit text as the output reads it.
    std::string forOutput(std::string_view text) const;

private:
    platform::IClock& m_clock;
    Writer m_write;
    bool m_utf8;
    std::vector<std::string> m_secrets;
};

}  // namespace service
