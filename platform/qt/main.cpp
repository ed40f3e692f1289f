#include <QApplication>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

#include "app/frmMain.h"
#include "platform/posix/HiveRegistry.h"
#include "platform/posix/Paths.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixSocketsLibrary.h"
#include "platform/posix/PosixUdpSocket.h"
#include "platform/qt/QtFileDialogs.h"
#include "platform/qt/SocketWatcher.h"
#include "platform/qt/Icons.h"
#include "platform/qt/MainWindow.h"

namespace {

int g_signalPipe[2] = {-1, -1};

// SIGTERM, SIGINT and SIGHUP end the program like a session end: the
// window's unload runs on the event loop, not in the signal handler.
void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("vexmond");
    QApplication::setApplicationDisplayName("Vexmond");
    QGuiApplication::setDesktopFileName("vexmond");
    QApplication::setWindowIcon(platform::qt::appIcon());

    platform::posix::HiveRegistry registry(platform::posix::configDirectory());
    platform::posix::PosixUdpSocket socket;
    platform::posix::PosixFileSystem files;
    platform::posix::SystemClock clock;
    platform::posix::ThreadSleeper sleeper;
    platform::posix::PosixSocketsLibrary sockets;
    platform::qt::AppCursor cursor;
    platform::qt::QtFileDialogs dialogs;
    platform::qt::MainWindow window(socket);
    app::frmMain form(window.controls(), app::FormServices{registry, window.messageBoxes(), dialogs, files, clock, sleeper, cursor, sockets});
    window.bind(form);
    platform::qt::SocketWatcher watcher(socket, [&form](std::int32_t bytes) { form.udpPeerA_DataArrival(bytes); });

    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) == 0) {
        auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &window);
        QObject::connect(notifier, &QSocketNotifier::activated, &window, [&form] { form.Unload(); });
        struct sigaction action {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &action, nullptr);
    }
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &window, [&form] { form.Unload(); });
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &window, [&form] { form.Unload(); });

    form.Form_Load();
    window.show();
    return application.exec();
}
