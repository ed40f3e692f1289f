#include "qt/Lifetime.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include "app/frmMain.h"
#include "qt/Application.h"
#include "qt/EventLoop.h"

namespace qtgui {

namespace {

int g_signalWriter = -1;

void onSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalWriter, &byte, 1);
    errno = saved;
}

constexpr int kEndingSignals[] = {SIGTERM, SIGINT, SIGHUP};

}  // namespace

Lifetime::Lifetime(app::frmMain& form, EventLoop* loop) : m_form(form), m_loop(loop) {
    resetLeaving();
    if (m_loop)
        m_loop->setEndNow([this] {
            // The handler that paused is still on the stack, and Qt cannot
            // unwind it: unload (the history and the layout are written
            // synchronously) and end the process here.
            m_form.Unload();
            std::fflush(nullptr);
            ::_exit(0);
        });
    // The handler only writes a byte; the event loop reads it.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, m_pipe) != 0) return;
    g_signalWriter = m_pipe[1];
    auto* notifier = new QSocketNotifier(m_pipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &Lifetime::takeSignals);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : kEndingSignals) sigaction(sig, &action, nullptr);
}

Lifetime::~Lifetime() {
    if (m_loop) m_loop->setEndNow(nullptr);
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int sig : kEndingSignals) sigaction(sig, &action, nullptr);
    g_signalWriter = -1;
    for (int fd : m_pipe)
        if (fd >= 0) ::close(fd);
}

void Lifetime::takeSignals() {
    // Read every byte, or the notifier reports the same bytes again and again.
    char buffer[64];
    while (::read(m_pipe[0], buffer, sizeof buffer) > 0) {}
    leaveEventLoop();
}

int Lifetime::run() {
    resetLeaving();
    const int status = QCoreApplication::exec();
    m_form.Unload();
    return status;
}

}  // namespace qtgui
