#include "app/Placeholders.h"

#include <cstdio>

namespace app {

PlaceholderValues placeholderValues(const ServerStatus* status, const platform::LocalDateTime& now) {
    PlaceholderValues values;
    if (status) {
        values.map = status->map;
        values.players = status->playersOn();
    }
    char time[8];
    std::snprintf(time, sizeof time, "%02d:%02d", now.hour % 100, now.minute % 100);
    values.time = time;
    return values;
}

std::vector<FilledPiece> fillPieces(std::string_view line, const PlaceholderValues& values) {
    using Kind = FilledPiece::Kind;
    std::vector<FilledPiece> pieces;
    std::size_t from = 0;
    for (std::size_t at = line.find('{'); at != std::string_view::npos; at = line.find('{', at + 1)) {
        const std::string_view rest = line.substr(at);
        std::optional<std::string> value;
        std::string_view name;
        if (rest.starts_with(kMapPlaceholder)) {
            name = kMapPlaceholder;
            value = values.map;
        } else if (rest.starts_with(kPlayersPlaceholder)) {
            name = kPlayersPlaceholder;
            if (values.players) value = std::to_string(*values.players);
        } else if (rest.starts_with(kTimePlaceholder)) {
            name = kTimePlaceholder;
            value = values.time;
        } else {
            continue;
        }
        if (at > from) pieces.push_back({Kind::typed, std::string(line.substr(from, at - from)), from});
        if (value)
            pieces.push_back({Kind::value, *value, at});
        else
            pieces.push_back({Kind::noValue, std::string(name), at});
        from = at + name.size();
        at = from - 1;
    }
    if (from < line.size()) pieces.push_back({Kind::typed, std::string(line.substr(from)), from});
    return pieces;
}

std::string filled(std::string_view line, const PlaceholderValues& values) {
    std::string out;
    for (const FilledPiece& piece : fillPieces(line, values)) out += piece.text;
    return out;
}

bool needsStatus(std::string_view line) {
    return line.find(kMapPlaceholder) != std::string_view::npos ||
           line.find(kPlayersPlaceholder) != std::string_view::npos;
}

}  // namespace app
