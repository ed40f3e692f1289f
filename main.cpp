#include <QApplication>

#include "app/frmMain.h"
#include "platform/posix/HiveRegistry.h"
#include "platform/posix/Paths.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixSocketsLibrary.h"
#include "platform/posix/PosixUdpSocket.h"
#include "gui/Application.h"
#include "gui/CommandLine.h"
#include "gui/Lifetime.h"
#include "gui/MainWindow.h"
#include "gui/QtFileDialogs.h"
#include "gui/SocketWatcher.h"

int main(int argc, char** argv) {
    gui::CommandLine options;
    if (gui::asksForHelpOrVersion(argc, argv)) {
        // Answered without a display; a mistake elsewhere on the line still wins.
        QCoreApplication core(argc, argv);
        gui::nameApplication();
        return gui::readCommandLine(QCoreApplication::arguments(), options).value_or(0);
    }
    QApplication application(argc, argv);  // takes the window system's own options off the line
    gui::setUpApplication();
    if (const auto status = gui::readCommandLine(QApplication::arguments(), options)) return *status;

    platform::posix::HiveRegistry registry(platform::posix::configDirectory());
    platform::posix::PosixUdpSocket socket;
    platform::posix::PosixFileSystem files;
    platform::posix::SystemClock clock;
    platform::posix::PosixSocketsLibrary sockets;
    gui::AppCursor cursor;
    gui::QtFileDialogs dialogs;
    gui::MainWindow window(socket);
    app::frmMain form(window.controls(), app::FormServices{.registry = registry,
                                                           .messageBox = window.messageBoxes(),
                                                           .fileDialogs = dialogs,
                                                           .fileSystem = files,
                                                           .clock = clock,
                                                           .sleeper = window.sleeper(),
                                                           .cursor = cursor,
                                                           .sockets = sockets});
    window.bind(form);
    gui::SocketWatcher watcher(socket, &window.sleeper());
    QObject::connect(&watcher, &gui::SocketWatcher::arrived,
                     [&form](std::int32_t bytes) { form.udpPeerA_DataArrival(bytes); });
    gui::Lifetime lifetime(form, &window.sleeper());

    form.Form_Load();
    window.show();
    if (options.start) window.pressStart();
    return lifetime.run();
}
