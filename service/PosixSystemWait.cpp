#include "service/PosixSystemWait.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

namespace service {

namespace {

volatile sig_atomic_t g_end = 0;
volatile sig_atomic_t g_reload = 0;
int g_writer = -1;

void onSignal(int signal) {
    const int saved = errno;
    (signal == SIGHUP ? g_reload : g_end) = 1;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_writer, &byte, 1);
    errno = saved;
}

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

void handle(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : kSignals) sigaction(s, &action, nullptr);
}

unsigned pending() { return (g_end ? ISystemWait::kEnd : 0u) | (g_reload ? ISystemWait::kReload : 0u); }

}  // namespace

PosixSystemWait::PosixSystemWait() {
    if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0) m_pipe[0] = m_pipe[1] = -1;
    g_writer = m_pipe[1];
    g_end = 0;
    g_reload = 0;
    handle(onSignal);
}

PosixSystemWait::~PosixSystemWait() {
    handle(SIG_DFL);
    g_writer = -1;
    for (int fd : m_pipe)
        if (fd >= 0) ::close(fd);
}

std::int64_t PosixSystemWait::now() {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<std::int64_t>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

void PosixSystemWait::waitUntil(std::int64_t deadline, platform::SocketHandle socket, unsigned wakeFor) {
    while (!(pending() & wakeFor)) {
        const std::int64_t left = deadline - now();
        if (left <= 0) return;
        pollfd fds[2] = {{m_pipe[0], POLLIN, 0}, {static_cast<int>(socket), POLLIN, 0}};
        const int n = ::poll(fds, socket >= 0 ? 2 : 1, static_cast<int>(std::min<std::int64_t>(left, INT_MAX)));
        char drained[64];
        while (::read(m_pipe[0], drained, sizeof drained) > 0) {}
        if (n > 0 && fds[1].revents) return;
    }
}

unsigned PosixSystemWait::takeSignals(unsigned which) {
    const unsigned taken = pending() & which;
    if (taken & kEnd) g_end = 0;
    if (taken & kReload) g_reload = 0;
    return taken;
}

}  // namespace service
