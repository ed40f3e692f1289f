#include "app/PlayersView.h"

#include "app/GameProfiles.h"

namespace app {

namespace {

bool becomesDot(char c) { return c == '%' || static_cast<unsigned char>(c) > 127; }

}  // namespace

bool passesDots(const std::string& gameName) {
    const GameProfile* profile = findGameProfile(gameName);
    return !profile || profile->quake3Engine;
}

std::string passedOn(std::string_view line, const std::string& gameName) {
    std::string out(line);
    if (passesDots(gameName))
        for (char& c : out)
            if (becomesDot(c)) c = '.';
    return out;
}

std::vector<PreviewLine> previewOf(const std::vector<WireLine>& lines, const std::string& gameName) {
    const bool dots = passesDots(gameName);
    const ColourCodes rule = colourCodesOf(gameName);
    std::vector<PreviewLine> preview;
    for (const WireLine& wire : lines) {
        PreviewLine line;
        line.skipped = wire.bytes.empty();
        const std::string shown = passedOn(wire.bytes, gameName);
        line.length = shown.size();
        if (usesChatForm(gameName)) line.seen = std::min(line.length, kSeenChatBytes);
        const auto marksAt = [&](std::size_t i) {
            std::uint8_t m = kAsTyped;
            if (i < wire.notInCharset.size() && wire.notInCharset[i]) m |= kNotInCharset;
            if (dots && becomesDot(wire.bytes[i]) && !(m & kNotInCharset)) m |= kPassedAsDot;
            if (line.seen && i >= kSeenChatBytes) m |= kNotSeen;
            return m;
        };
        for (const ColourRun& run : colourRuns(shown, rule)) {
            if (run.code) continue;
            for (std::size_t k = run.start; k < run.start + run.length;) {
                const std::uint8_t marks = marksAt(k);
                std::size_t end = k + 1;
                while (end < run.start + run.length && marksAt(end) == marks) ++end;
                line.runs.push_back({shown.substr(k, end - k), run.colour, marks});
                k = end;
            }
        }
        preview.push_back(std::move(line));
    }
    return preview;
}

std::string markTip(std::uint8_t marks, const std::string& charset) {
    std::string tip;
    const auto add = [&](const std::string& text) { tip += (tip.empty() ? "" : " ") + text; };
    if (marks & kNotInCharset) add("Not in " + charset + ": sent as ?.");
    if (marks & kPassedAsDot)
        add("The server passes % and every character above 127 on as a dot, and so the players see it.");
    if (marks & kNotSeen)
        add("Beyond the " + std::to_string(kSeenChatBytes) +
            " bytes of a chat line that the players' game shows: the players do not see it.");
    return tip;
}

}  // namespace app
