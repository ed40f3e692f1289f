// The status reader, fed datagrams cut from the input at each byte 0x01:
// whatever comes, each status read holds rows in slot order whose fields
// stand on one line, and every row's actions and texts can be made.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/PlayerActions.h"
#include "app/ServerStatus.h"

namespace {

void check(const app::ServerStatus& status) {
    int lastSlot = -1;
    for (const app::Player& p : status.players) {
        if (p.slot <= lastSlot || p.address.empty() || p.bot != (p.address == "bot")) __builtin_trap();
        for (const std::string* field : {&p.name, &p.address, &status.map})
            if (field->find('\n') != std::string::npos) __builtin_trap();
        lastSlot = p.slot;
        const std::uint8_t offered = app::actionsFor(status.format, p);
        for (const platform::PlayerAction action : app::kMenuOrder) {
            const std::string command = app::actionCommand(status.format, p, action, "hello");
            if (action != platform::kCopyAddress && command.empty() == ((offered & action) != 0)) __builtin_trap();
        }
    }
    for (const platform::PlayerRow& row : app::playerRows(status, app::ColourCodes::AnyCharacter))
        if (row.plainName.size() > row.name.size() || !app::slotStillHolds(status, row)) __builtin_trap();
    if (app::statusSummary(status).empty() || app::changeBetween(status, status).countOrMapChanged) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    app::StatusReader reader;
    for (std::size_t at = 0; at <= input.size();) {
        const std::size_t end = std::min(input.find('\x01', at), input.size());
        const std::string datagram =
            std::string(app::StatusReader::kReplyHeader) + std::string(input.substr(at, end - at));
        if (const auto status = reader.feed(datagram, {})) check(*status);
        at = end + 1;
    }
    return 0;
}
