#include "service/ServiceLog.h"

#include <algorithm>
#include <cstdio>

#include "support/Text.h"

namespace service {

ServiceLog::ServiceLog(platform::IClock& clock, Writer write, bool utf8)
    : m_clock(clock), m_write(std::move(write)), m_utf8(utf8) {}

void ServiceLog::hide(const std::string& secret) {
    if (!secret.empty() && std::find(m_secrets.begin(), m_secrets.end(), secret) == m_secrets.end())
        m_secrets.push_back(secret);
}

std::string ServiceLog::forOutput(std::string_view text) const {
    std::string out(text);
    // The journal takes a line with C0 or C1 control characters for binary data.
    for (char& c : out) {
        const auto b = static_cast<unsigned char>(c);
        if ((b < 0x20 && b != '\t') || b == 0x7F || (m_utf8 && b >= 0x80 && b < 0xA0)) c = '?';
    }
    return m_utf8 ? support::utf8Of(out) : out;
}

void ServiceLog::write(std::string_view what, const std::string& text) {
    std::string hidden = text;
    for (const std::string& secret : m_secrets) hidden = support::replaceAll(hidden, secret, "***");
    std::vector<std::string> lines = support::splitText(hidden, "\n");
    if (lines.size() > 1 && lines.back().empty()) lines.pop_back();
    const platform::LocalDateTime t = m_clock.now();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d ", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    for (const std::string& line : lines) {
        // A line's end is its last character that shows, whatever the box
        // whose text it is pads it with.
        const std::size_t end = line.find_last_not_of(" \t\r");
        const std::string shown = end == std::string::npos ? "" : line.substr(0, end + 1);
        m_write(stamp + forOutput(std::string(what) + (text.empty() ? "" : ":") + (shown.empty() ? "" : " " + shown)) +
                "\n");
    }
}

}  // namespace service
