#include "app/Hearing.h"

#include <cstdio>

#include "app/GameProfiles.h"
#include "app/PlayersView.h"
#include "support/Text.h"

namespace app {

std::string Hearing::echoOf(std::string_view line) {
    // Cmd_TokenizeString of the quoted line: quotes delimit tokens and go,
    // a comment outside quotes ends the line or is skipped, and Cmd_Args
    // joins what is left by single blanks.
    const std::string quoted = "\"" + std::string(line) + "\"";
    std::vector<std::string> tokens;
    for (std::size_t i = 0; i < quoted.size();) {
        while (i < quoted.size() && static_cast<unsigned char>(quoted[i]) <= ' ') ++i;
        if (i >= quoted.size()) break;
        if (quoted.compare(i, 2, "//") == 0) break;
        if (quoted.compare(i, 2, "/*") == 0) {
            const std::size_t end = quoted.find("*/", i + 2);
            if (end == std::string::npos) break;
            i = end + 2;
            continue;
        }
        std::string token;
        if (quoted[i] == '"') {
            const std::size_t end = quoted.find('"', i + 1);
            token = quoted.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
            i = end == std::string::npos ? quoted.size() : end + 1;
        } else {
            while (i < quoted.size() && static_cast<unsigned char>(quoted[i]) > ' ' && quoted[i] != '"' &&
                   quoted.compare(i, 2, "//") != 0 && quoted.compare(i, 2, "/*") != 0)
                token += quoted[i++];
        }
        tokens.push_back(token);
    }
    std::string echo;
    for (std::size_t t = 0; t < tokens.size(); ++t) echo += (t ? " " : "") + tokens[t];
    return echo;
}

std::optional<std::string> Hearing::echoFor(const std::string& gameName, std::string_view line) {
    const GameProfile* profile = findGameProfile(gameName);
    if (!profile || !profile->chatForm || !profile->echoOpening) return std::nullopt;
    std::string text = echoOf(passedOn(line, gameName));
    if (profile->echoLimit && text.size() > profile->echoLimit) text.resize(profile->echoLimit);
    const std::string echo = profile->echoOpening + text + profile->echoClosing;
    return echo.substr(echo.find(": ") + 2);
}

std::string Hearing::refusalIn(const std::string& consoleText) {
    for (const char* refusal : {"Bad rconpassword.", "No rconpassword set on the server."})
        for (const std::string& line : support::splitText(consoleText, "\r\n"))
            if (line == refusal) return refusal;
    return {};
}

void Hearing::begin(const platform::LocalDateTime& at) {
    m_open = true;
    m_at = at;
    m_expected.clear();
}

void Hearing::expect(std::size_t lineNumber, const std::string& echo) {
    if (m_open) m_expected.push_back({lineNumber, echo});
}

void Hearing::hear(const std::string& consoleText) {
    if (!m_open) return;
    for (const std::string& line : support::splitText(consoleText, "\r\n")) {
        const std::size_t colon = line.find(": ");
        if (colon == std::string::npos || line.find(' ') < colon) continue;
        const std::string_view text = std::string_view(line).substr(colon + 2);
        for (Expected& e : m_expected)
            if (!e.heard && e.echo == text) {
                e.heard = true;
                break;
            }
    }
}

Hearing::Verdict Hearing::close() {
    Verdict v;
    v.at = m_at;
    for (const Expected& e : m_expected) {
        ++v.sent;
        if (e.heard)
            ++v.heard;
        else
            v.notHeard.push_back(e.lineNumber);
    }
    m_open = false;
    m_expected.clear();
    return v;
}

std::string hoursAndMinutes(const platform::LocalDateTime& at) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", at.hour % 100, at.minute % 100);
    return text;
}

std::string heardText(const Hearing::Verdict& v) {
    std::string text = std::to_string(v.heard) + " of " + std::to_string(v.sent) + (v.sent == 1 ? " line" : " lines") +
                       " heard at " + hoursAndMinutes(v.at);
    for (std::size_t i = 0; i < v.notHeard.size(); ++i)
        text += (i ? ", " : v.notHeard.size() == 1 ? "; line " : "; lines ") + std::to_string(v.notHeard[i]);
    if (!v.notHeard.empty()) text += " not heard";
    return text;
}

}  // namespace app
