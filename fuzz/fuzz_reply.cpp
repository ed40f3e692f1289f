// The reply handler's text: header removal and line-end conversion.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/frmMain.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string datagram(reinterpret_cast<const char*>(data), size);
    const std::string shown = app::ConsoleTextOfReply(datagram, std::string(4, '\xFF'));
    // Every line feed is now the end of a CR LF pair, and nothing grew but by CRs.
    std::size_t feeds = 0;
    for (std::size_t i = 0; i < shown.size(); ++i)
        if (shown[i] == '\n') {
            if (i == 0 || shown[i - 1] != '\r') __builtin_trap();
            ++feeds;
        }
    if (shown.size() > datagram.size() + feeds) __builtin_trap();
    return 0;
}
