#include "app/SocketMessages.h"

#include "app/Texts.h"
#include "base/ExeName.h"

namespace app {

const char* socketMessage(std::int32_t number, bool replyHandler) {
    switch (number) {
    case 7: return "Out of memory";
    case 10014: return replyHandler ? nullptr : "Invalid Argument, check to make sure the IP and Port is correct";
    case 10040: return "Message sent to to large, please edit your message to a lesser length";
    case 10043: return "Port not supported";
    case 10048: return "Could not connect to server, address in use";
    case 10049: return "Could not connect to server, address not available";
    case 10053: return "Connection has aborted";
    case 10054: return "Could not connect to server, server may be down. Check your IP and Port";
    case 10056: return "You are already connected to the server";
    case 10058: return "Connection has been lost, socket has shutdown";
    case 10060: return "Connection timed out";
    case 10061: return "Connection has been refused";
    case 11001: return "Host not found, unable to connect to server";
    case 40026: return "Wrong Protocol";
    default: return nullptr;
    }
}

support::ErrorMessage tellFailure(const SessionFailure& failure, support::modErrorLog& errorLog) {
    namespace mb = platform::mb;
    switch (failure.telling) {
    case SessionFailure::Telling::tableMessage:
        return {failure.text + kNineBlanks, mb::kOkOnly + mb::kExclamation, kAppTitle};
    case SessionFailure::Telling::ownDescription: return {failure.text, mb::kOkOnly + mb::kExclamation, kAppTitle};
    case SessionFailure::Telling::errorLog: break;
    }
    return errorLog.Report("", std::string(base::kExeName) + "::frmMain." + failure.procedure + "(Sub)", 0, true,
                           &failure.error, "");
}

}  // namespace app
