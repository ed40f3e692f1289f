#include "app/Toolbar.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "support/Text.h"

namespace app {

using support::latin1Of;
using support::utf8Of;

namespace {

constexpr const char* kLayoutMagic = "Vexmond toolbar layout 2";
// The first version kept the row as each toolbar's own state (Qt's saved
// state, or the Win32 row's command ids): it is handed back to the toolbar.
constexpr const char* kFirstLayoutMagic = "Vexmond toolbar layout 1";
constexpr const char* kBase64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string toBase64(std::string_view bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t v = 0;
        for (std::size_t k = 0; k < 3; ++k) v = (v << 8) | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k) out += k <= n ? kBase64[(v >> (18 - 6 * k)) & 63] : '=';
    }
    return out;
}

std::string fromBase64(std::string_view text) {
    std::string out;
    std::uint32_t v = 0;
    int bits = 0;
    for (char c : text) {
        const char* at = c ? std::strchr(kBase64, c) : nullptr;
        if (!at) continue;  // padding, line ends
        v = (v << 6) | static_cast<std::uint32_t>(at - kBase64);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((v >> bits) & 0xFF);
        }
    }
    return out;
}

}  // namespace

std::vector<const GameProfile*> boxGames() {
    std::vector<const GameProfile*> games;
    for (const auto& g : gameProfiles())
        if (g.boxCode) games.push_back(&g);
    return games;
}

platform::ToolbarLayout firstLayout() { return {kFirstGame, {"ID_Game", "ID_SelectGame"}, "top", false, {}}; }

std::string layoutText(const platform::ToolbarLayout& layout) {
    std::string row;
    for (const std::string& id : layout.row) row += (row.empty() ? "" : ",") + id;
    return std::string(kLayoutMagic) + "\n" + "game=" + toBase64(utf8Of(layout.game)) + "\n" + "row=" + row + "\n" +
           "place=" + layout.place + "\n" + "colours=" + (layout.consoleColours ? "1" : "0") + "\n";
}

platform::ToolbarLayout layoutOfText(const std::string& text) {
    std::vector<std::string> lines = support::splitText(text, "\n");
    for (std::string& line : lines)
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (lines.empty() || (lines[0] != kLayoutMagic && lines[0] != kFirstLayoutMagic))
        throw std::runtime_error("not a toolbar layout");
    platform::ToolbarLayout layout = firstLayout();
    for (const std::string& line : lines) {
        const auto value = [&](std::string_view key) -> std::optional<std::string> {
            if (line.rfind(key, 0) != 0) return std::nullopt;
            return line.substr(key.size());
        };
        if (const auto game = value("game=")) layout.game = latin1Of(fromBase64(*game));
        if (const auto row = value("row="))
            layout.row = row->empty() ? std::vector<std::string>{} : support::splitText(*row, ",");
        if (const auto place = value("place=")) layout.place = *place;
        if (const auto colours = value("colours=")) layout.consoleColours = *colours == "1";
        if (const auto state = value("state=")) {
            layout.earlierState = fromBase64(*state);
            layout.row.clear();
        }
    }
    return layout;
}

}  // namespace app
