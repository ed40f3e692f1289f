#include <QApplication>

#include "app/frmMain.h"
#include "platform/posix/HiveRegistry.h"
#include "platform/posix/Paths.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixSocketsLibrary.h"
#include "platform/posix/PosixUdpSocket.h"
#include "qt/Application.h"
#include "qt/CommandLine.h"
#include "qt/Lifetime.h"
#include "qt/MainWindow.h"
#include "qt/QtFileDialogs.h"

int main(int argc, char** argv) {
    qtgui::CommandLine options;
    if (qtgui::asksForHelpOrVersion(argc, argv)) {
        // Answered without a display; a mistake elsewhere on the line still wins.
        QCoreApplication core(argc, argv);
        qtgui::nameApplication();
        return qtgui::readCommandLine(QCoreApplication::arguments(), options).value_or(0);
    }
    QApplication application(argc, argv);  // takes the window system's own options off the line
    qtgui::setUpApplication();
    if (const auto status = qtgui::readCommandLine(QApplication::arguments(), options)) return *status;

    platform::posix::HiveRegistry registry(platform::posix::configDirectory());
    platform::posix::PosixUdpSocket socket;
    platform::posix::PosixFileSystem files;
    platform::posix::SystemClock clock;
    platform::posix::PosixSocketsLibrary sockets;
    qtgui::AppCursor cursor;
    qtgui::QtFileDialogs dialogs;
    qtgui::MainWindow window(socket, socket);
    app::frmMain form(window.controls(), app::FormServices{.registry = registry,
                                                           .messageBox = window.messageBoxes(),
                                                           .fileDialogs = dialogs,
                                                           .fileSystem = files,
                                                           .clock = clock,
                                                           .sleeper = window.sleeper(),
                                                           .cursor = cursor,
                                                           .sockets = sockets});
    window.bind(form);
    qtgui::Lifetime lifetime(form, &window.eventLoop());

    form.Form_Load();
    window.show();
    if (options.start) window.pressStart();
    return lifetime.run();
}
