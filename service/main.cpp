// vexmond-service: the rcon session of one profile's server with no window,
// on this system's backends and the service's own loop, its log on standard
// output; or --set and --show, which configure the profile and exit.
#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include "platform/win/WinArguments.h"
#include "platform/win/WinFileSystem.h"
#include "platform/win/WinProfileLocks.h"
#include "platform/win/WinRegistry.h"
#include "platform/win/WinUdpSocket.h"
#include "service/WinSystemWait.h"
#else
#include "platform/posix/HiveRegistry.h"
#include "platform/posix/Paths.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixProfileLocks.h"
#include "platform/posix/PosixUdpSocket.h"
#include "service/PosixSystemWait.h"
#endif
#include "app/BroadcastLock.h"
#include "service/Service.h"
#include "service/ServiceOptions.h"

namespace {

#ifdef _WIN32
// The arguments in the ANSI code page, the 8-bit set of every text; the
// output reads it as it is.
constexpr bool kUtf8 = false;
struct Backends {
    platform::win::WinRegistry registry;
    platform::win::WinFileSystem files;
    platform::win::WinClock clock;
    platform::win::WinUdpSocket socket;
    service::WinSystemWait wait;
    platform::win::WinProfileLocks locks{files.programDirectory()};
};
std::vector<std::string> arguments(int, char**) { return platform::win::ansiArguments(app::Profile::kUnkeptCharacter); }
std::string useSystemStore(bool) { return "--system is for Linux's system service"; }
#else
// The terminal, the journal and the files speak UTF-8; the store keeps
// ISO-8859-1, as the window turns what it is given.
constexpr bool kUtf8 = true;
struct Backends {
    platform::posix::HiveRegistry registry{platform::posix::configDirectory()};
    platform::posix::PosixFileSystem files;
    platform::posix::SystemClock clock;
    platform::posix::PosixUdpSocket socket;
    service::PosixSystemWait wait;
    platform::posix::PosixProfileLocks locks{platform::posix::configDirectory()};
};
std::vector<std::string> arguments(int argc, char** argv) { return std::vector<std::string>(argv + 1, argv + argc); }
// Root configures the store as the account's and runs the service as it.
std::string useSystemStore(bool run) { return platform::posix::useSystemDirectory(run); }
#endif

int told(const app::CommandLineAnswer& answer) {
    std::fputs(answer.out.c_str(), stdout);
    std::fputs(answer.err.c_str(), stderr);
    return answer.status;
}

}  // namespace

int main(int argc, char** argv) {
    service::ServiceOptions options;
    if (const auto answer = service::readServiceOptions(arguments(argc, argv), options, kUtf8)) return told(*answer);
    if (const std::string problem = options.system ? useSystemStore(!options.configures()) : ""; !problem.empty())
        return told({1, "", "vexmond-service: " + problem + "\n"});
    Backends b;
    const app::Profile profile(options.profile);
    if (options.configures())
        return told(service::configure(profile, options.settings, options.show, b.registry, b.files, kUtf8));

    service::ServiceLoop loop(b.wait, b.socket);
    service::ServiceLog log(
        b.clock,
        [](const std::string& line) {
            std::fputs(line.c_str(), stdout);
            std::fflush(stdout);  // a line at a time, as the journal shows it
        },
        kUtf8);
    // The profile's broadcast is this process's from before its first datagram.
    app::BroadcastLock broadcast(b.locks, profile, app::kServiceHolder);
    std::string refused = service::missingProfile(profile, b.registry);
    if (refused.empty()) refused = broadcast.take();
    if (!refused.empty()) {
        log.write("failed", refused);
        return 1;
    }
    service::Service s({loop, b.socket, b.registry, b.files, b.clock, log}, profile);
    return s.run();
}
