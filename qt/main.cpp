#include <QApplication>

#include <cstdio>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/frmMain.h"
#include "platform/posix/HiveRegistry.h"
#include "platform/posix/PosixConsoleFiles.h"
#include "platform/posix/Paths.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixProfileLocks.h"
#include "platform/posix/PosixSocketsLibrary.h"
#include "platform/posix/PosixUdpSocket.h"
#include "qt/Application.h"
#include "qt/Latin1.h"
#include "qt/Lifetime.h"
#include "qt/MainWindow.h"
#include "qt/QtFileDialogs.h"

namespace {

// The arguments after the program's name, in the 8-bit set of every text; a
// character beyond it is marked, so that a profile's name that holds one is
// refused rather than kept as another name's "?".
std::vector<std::string> arguments(const QStringList& all) {
    std::vector<std::string> out;
    for (qsizetype i = 1; i < all.size(); ++i) {
        QString a = all[i];
        for (QChar& c : a)
            if (c.unicode() > 0xFF) c = QChar(app::Profile::kUnkeptCharacter);
        out.push_back(qtgui::toLatin1(a));
    }
    return out;
}

// The answer's 8-bit text in the terminal's own encoding.
int answer(const app::CommandLineAnswer& a) {
    std::fputs(qtgui::fromLatin1(a.out).toLocal8Bit().constData(), stdout);
    std::fputs(qtgui::fromLatin1(a.err).toLocal8Bit().constData(), stderr);
    return a.status;
}

}  // namespace

int main(int argc, char** argv) {
    app::CommandLine options;
    QStringList typed;
    for (int i = 0; i < argc; ++i) typed.push_back(QString::fromLocal8Bit(argv[i]));
    if (app::answeredWithoutDisplay(arguments(typed))) {
        // Answered without a display; a mistake elsewhere on the line still wins.
        QCoreApplication core(argc, argv);
        qtgui::nameApplication();
        if (const auto a = app::readCommandLine(arguments(QCoreApplication::arguments()), options)) return answer(*a);
    }
    QApplication application(argc, argv);  // takes the window system's own options off the line
    qtgui::setUpApplication();
    if (const auto a = app::readCommandLine(arguments(QApplication::arguments()), options)) return answer(*a);

    platform::posix::HiveRegistry registry(platform::posix::configDirectory());
    platform::posix::PosixUdpSocket socket;
    platform::posix::PosixFileSystem files;
    platform::posix::SystemClock clock;
    platform::posix::PosixSocketsLibrary sockets;
    platform::posix::PosixProfileLocks locks(platform::posix::configDirectory());
    platform::posix::PosixConsoleFiles consoleFiles(platform::posix::cacheDirectory());
    qtgui::AppCursor cursor;
    qtgui::QtFileDialogs dialogs;
    qtgui::MainWindow window(socket, socket);
    app::frmMain form(window.controls(),
                      app::FormServices{.registry = registry,
                                        .messageBox = window.messageBoxes(),
                                        .fileDialogs = dialogs,
                                        .fileSystem = files,
                                        .clock = clock,
                                        .sleeper = window.sleeper(),
                                        .cursor = cursor,
                                        .sockets = sockets,
                                        .profileLocks = locks,
                                        .consoleFiles = consoleFiles},
                      app::Profile(options.profile));
    window.bind(form);
    qtgui::Lifetime lifetime(form, &window.eventLoop());

    form.Form_Load();
    window.show();
    if (options.start) window.pressStart();
    return lifetime.run();
}
