#include "app/PlayersView.h"

#include <algorithm>

#include "app/GameProfiles.h"

namespace app {

namespace {

Dots dotsOf(const std::string& gameName) {
    const GameProfile* profile = findGameProfile(gameName);
    return profile ? profile->dots : Dots::PercentAndHighBytes;
}

bool becomesDot(char c, Dots dots) {
    switch (dots) {
    case Dots::None: return false;
    case Dots::PercentAndHighBytes: return c == '%' || static_cast<unsigned char>(c) > 127;
    case Dots::PercentOnly: return c == '%';
    }
    return false;
}

}  // namespace

std::string passedOn(std::string_view line, const std::string& gameName) {
    const Dots dots = dotsOf(gameName);
    std::string out(line);
    for (char& c : out)
        if (becomesDot(c, dots)) c = '.';
    return out;
}

namespace {

// The line with its placeholders filled in, each byte's marks kept; a
// placeholder without a value yet marked.
struct FilledWire {
    std::string bytes;
    std::vector<bool> notInCharset;
    std::vector<bool> noValue;
};
FilledWire fillWire(const WireLine& wire, const PlaceholderValues& values) {
    FilledWire out;
    for (const FilledPiece& piece : fillPieces(wire.bytes, values)) {
        for (std::size_t k = 0; k < piece.text.size(); ++k) {
            const std::size_t i = piece.from + k;
            const bool typed = piece.kind == FilledPiece::Kind::typed;
            out.notInCharset.push_back(typed && i < wire.notInCharset.size() && wire.notInCharset[i]);
            out.noValue.push_back(piece.kind == FilledPiece::Kind::noValue);
        }
        out.bytes += piece.text;
    }
    return out;
}

}  // namespace

std::vector<PreviewLine> previewOf(const std::vector<WireLine>& lines, const std::string& gameName,
                                   const PlaceholderValues& values) {
    const Dots dots = dotsOf(gameName);
    const ColourCodes rule = colourCodesOf(gameName);
    const GameProfile* profile = findGameProfile(gameName);
    const std::size_t budget = usesChatForm(gameName) ? profile->seenChatBytes : 0;
    std::vector<PreviewLine> preview;
    for (const WireLine& typed : lines) {
        const FilledWire wire = fillWire(typed, values);
        PreviewLine line;
        line.skipped = wire.bytes.empty();
        const std::string shown = passedOn(wire.bytes, gameName);
        line.length = shown.size();
        line.budget = budget;
        line.seen = std::min(line.length, budget);
        const auto marksAt = [&](std::size_t i) {
            std::uint8_t m = kAsTyped;
            if (wire.notInCharset[i]) m |= kNotInCharset;
            if (wire.noValue[i]) m |= kNoValueYet;
            if (becomesDot(wire.bytes[i], dots) && !(m & kNotInCharset)) m |= kPassedAsDot;
            if (budget && i >= budget) m |= kNotSeen;
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

std::string markTip(std::uint8_t marks, const std::string& charset, const std::string& gameName) {
    std::string tip;
    const auto add = [&](const std::string& text) { tip += (tip.empty() ? "" : " ") + text; };
    if (marks & kNotInCharset) add("Not in " + charset + ": sent as ?.");
    if (marks & kPassedAsDot)
        add(dotsOf(gameName) == Dots::PercentOnly
                ? "The server passes % on as a dot, and so the players see it."
                : "The server passes % and every character above 127 on as a dot, and so the players see it.");
    if (marks & kNoValueYet) add("No status has come yet: filled in with the server's value when it has.");
    if (marks & kNotSeen) {
        const GameProfile* profile = findGameProfile(gameName);
        add("Beyond the " + std::to_string(profile ? profile->seenChatBytes : kSeenChatBytes) +
            " bytes of a chat line that the players' game shows: the players do not see it.");
    }
    return tip;
}

}  // namespace app
