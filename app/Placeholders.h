#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ServerStatus.h"
#include "platform/Clock.h"

namespace app {

// The server's words a broadcast line can carry, filled in as the line goes:
// the map of the last status, the players on (bots not counted), the local
// time as HH:MM. Any other text in braces goes as typed.
inline constexpr std::string_view kMapPlaceholder = "{map}";
inline constexpr std::string_view kPlayersPlaceholder = "{players}";
inline constexpr std::string_view kTimePlaceholder = "{time}";

// What the placeholders stand for now; no map and no count before a status has come.
struct PlaceholderValues {
    std::optional<std::string> map;
    std::optional<std::size_t> players;
    std::string time;
};
PlaceholderValues placeholderValues(const ServerStatus* status, const platform::LocalDateTime& now);

// A line cut where its placeholders stand: text as typed (from that offset
// of the line), a value filled in, or a placeholder whose value is not known
// yet (kept as typed).
struct FilledPiece {
    enum class Kind { typed, value, noValue };
    Kind kind = Kind::typed;
    std::string text;
    std::size_t from = 0;
};
std::vector<FilledPiece> fillPieces(std::string_view line, const PlaceholderValues& values);
std::string filled(std::string_view line, const PlaceholderValues& values);

// Whether the line names the map or the players, which only a status tells.
bool needsStatus(std::string_view line);

}  // namespace app
