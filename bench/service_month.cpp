// Thirty days of the service against a local peer that answers each status
// request with a 2 KB player list: the service's own loop on the system's
// wait, real socket, real log (written to /dev/null), with the time made to
// pass; then the resident memory of the program itself, vexmond-service, once
// it has its first reply. Prints the figures; fails when a line or a reply
// was lost.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "bench/ProcessMemory.h"
#include "bench/StatusPeer.h"
#include "platform/posix/HiveRegistry.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixUdpSocket.h"
#include "service/PosixSystemWait.h"
#include "service/Service.h"
#include "tests/support/FastForwardWait.h"
#include "tests/support/TempDir.h"

namespace {

constexpr std::int64_t kMonth = 30LL * 24 * 3600 * 1000;

// The time made to pass, and the end once thirty days have.
struct Month : testsupport::FastForwardWait {
    using FastForwardWait::FastForwardWait;
    const std::int64_t start = now();
    unsigned takeSignals(unsigned which) override {
        return now() - start >= kMonth ? which & kEnd : FastForwardWait::takeSignals(which);
    }
};

double seconds(const timespec& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9; }

// The resident memory of the program once it logs its first reply, in bytes.
std::int64_t programResident(const char* program, const testsupport::TempDir& home) {
    int out[2];
    if (::pipe(out) != 0) return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::setenv("XDG_CONFIG_HOME", home.path().c_str(), 1);
        ::execl(program, program, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    std::string log;
    char buffer[4096];
    for (ssize_t n; log.find(" reply: ") == std::string::npos && (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
        log.append(buffer, static_cast<std::size_t>(n));
    std::int64_t resident = -1;
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) resident = std::stoll(line.substr(6)) * 1024;
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    ::close(out[0]);
    return resident;
}

// The real socket, counting the status requests the service sends: each is
// waited for until its reply is in, so that a month made to pass in seconds
// does not outrun the peer and lose datagrams on loopback.
struct CountingSocket : platform::posix::PosixUdpSocket {
    long statusRequests = 0;
    void sendData(const std::string& data) override {
        statusRequests += data.size() >= 7 && data.compare(data.size() - 7, 7, " status") == 0;
        PosixUdpSocket::sendData(data);
    }
};

}  // namespace

int main(int argc, char** argv) {
    testsupport::TempDir home;
    benchsupport::StatusPeer peer;
    platform::posix::HiveRegistry registry(home / "vexmond");
    platform::posix::PosixFileSystem files;
    platform::posix::SystemClock clock;
    CountingSocket socket;
    service::configure({},
                       {"IP=127.0.0.1", "Port=" + std::to_string(peer.port()), "Password=s3cret",
                        "Msg=Welcome to the server\n^1Be nice", "Msg_Timer=1", "Status=1"},
                       false, registry, files, true);
    std::FILE* devNull = std::fopen("/dev/null", "w");
    long lines = 0, replies = 0, sent = 0;
    std::int64_t residentAtStart = 0, heapAtStart = 0;
    service::PosixSystemWait system;
    // A reply on its way is waited for, where the loop takes it (not in a
    // pause); otherwise the next deadline comes at once.
    Month wait(system,
               [&](bool watching) -> std::int64_t { return watching && replies < socket.statusRequests ? 2000 : 0; });
    service::ServiceLoop loop(wait, socket);
    service::ServiceLog log(
        clock,
        [&](const std::string& line) {
            ++lines;
            replies += line.find(" reply: map: ") != std::string::npos;
            sent += line.find(" sent: ") != std::string::npos;
            if (replies == 1 && residentAtStart == 0) {
                residentAtStart = benchsupport::residentBytes();
                heapAtStart = benchsupport::heapInUse();
            }
            std::fputs(line.c_str(), devNull);
            std::fflush(devNull);
        },
        true);
    timespec cpuStart{}, cpuEnd{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpuStart);
    const int status = service::Service({loop, socket, registry, files, clock, log}, {}).run();
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpuEnd);
    const std::int64_t residentAtEnd = benchsupport::residentBytes();
    const std::int64_t heapAtEnd = benchsupport::heapInUse();
    const long answered = peer.statusRequests;
    const std::int64_t program = argc > 1 ? programResident(argv[1], home) : -1;
    peer.stop();

    const long statusTicks = kMonth / 63000, messageTicks = kMonth / 65535;
    std::printf(
        "service month: %ld message ticks (%ld lines sent, the peer got %ld), %ld status requests (%ld replies "
        "logged), %ld log lines; CPU %.2f s; resident %lld KB at the first reply, %lld KB after the month (%+lld "
        "KB), heap in use %+lld KB; the program itself: %lld KB resident at its first reply\n",
        messageTicks, sent, peer.broadcasts.load(), answered, replies, lines, seconds(cpuEnd) - seconds(cpuStart),
        static_cast<long long>(residentAtStart / 1024), static_cast<long long>(residentAtEnd / 1024),
        static_cast<long long>((residentAtEnd - residentAtStart) / 1024),
        static_cast<long long>((heapAtEnd - heapAtStart) / 1024), static_cast<long long>(program / 1024));
    // The month may end in the pause after a broadcast's first line, and
    // before the last status request's reply is in.
    const bool whole = status == 0 && sent == peer.broadcasts && replies >= answered - 1 &&
                       answered == statusTicks + 1 && sent >= 2 * messageTicks - 1;
    return whole ? 0 : 1;
}
