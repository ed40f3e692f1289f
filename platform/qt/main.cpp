#include <QApplication>

#include "app/frmMain.h"
#include "platform/posix/HiveRegistry.h"
#include "platform/posix/Paths.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixSocketsLibrary.h"
#include "platform/posix/PosixUdpSocket.h"
#include "platform/qt/Application.h"
#include "platform/qt/Lifetime.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/QtFileDialogs.h"
#include "platform/qt/SocketWatcher.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    platform::qt::setUpApplication();

    platform::posix::HiveRegistry registry(platform::posix::configDirectory());
    platform::posix::PosixUdpSocket socket;
    platform::posix::PosixFileSystem files;
    platform::posix::SystemClock clock;
    platform::posix::PosixSocketsLibrary sockets;
    platform::qt::AppCursor cursor;
    platform::qt::QtFileDialogs dialogs;
    platform::qt::MainWindow window(socket);
    app::frmMain form(window.controls(), app::FormServices{registry, window.messageBoxes(), dialogs, files, clock,
                                                           window.sleeper(), cursor, sockets});
    window.bind(form);
    platform::qt::SocketWatcher watcher(
        socket, [&form](std::int32_t bytes) { form.udpPeerA_DataArrival(bytes); }, &window.sleeper());
    platform::qt::Lifetime lifetime(form);

    form.Form_Load();
    window.show();
    return lifetime.run();
}
