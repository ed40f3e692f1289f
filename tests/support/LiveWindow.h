#pragma once

#include "app/frmMain.h"
#include "platform/posix/HiveRegistry.h"
#include "platform/posix/PosixUdpSocket.h"
#include "gui/MainWindow.h"
#include "gui/SocketWatcher.h"
#include "tests/fakes/FakeControls.h"
#include "tests/fakes/FakeServices.h"
#include "tests/support/TempDir.h"

namespace testsupport {

// The real window over a real socket, its watcher and a hive in a temporary
// directory; dialogs, files and the clock are recorded. Message boxes and
// pauses are recorded too, or with Real::boxesAndPauses the window's own.
struct LiveWindow {
    enum class Real { nothing, boxesAndPauses };
    explicit LiveWindow(Real real = Real::nothing)
        : boxesShown(real == Real::boxesAndPauses ? static_cast<platform::IMessageBox&>(window.messageBoxes()) : boxes),
          pauses(real == Real::boxesAndPauses ? static_cast<platform::ISleeper&>(window.sleeper()) : sleeper) {
        window.bind(form);
        form.Form_Load();
        window.show();
    }

    TempDir tmp;
    platform::posix::HiveRegistry registry{tmp / "config"};
    platform::posix::PosixUdpSocket socket;
    fakes::FakeMessageBox boxes;
    fakes::FakeFileDialogs dialogs;
    fakes::FakeFileSystem files;
    fakes::FakeClock clock;
    fakes::FakeSleeper sleeper;
    fakes::FakeCursor cursor;
    fakes::FakeSocketsLibrary sockets;
    gui::MainWindow window{socket};
    platform::IMessageBox& boxesShown;
    platform::ISleeper& pauses;
    app::frmMain form{window.controls(), app::FormServices{.registry = registry,
                                                           .messageBox = boxesShown,
                                                           .fileDialogs = dialogs,
                                                           .fileSystem = files,
                                                           .clock = clock,
                                                           .sleeper = pauses,
                                                           .cursor = cursor,
                                                           .sockets = sockets}};
    int arrivals = 0;
    gui::SocketWatcher watcher{socket,
                               [this](std::int32_t bytes) {
                                   form.udpPeerA_DataArrival(bytes);
                                   ++arrivals;
                               },
                               &window.sleeper()};

    std::string console() { return window.controls().txtOutput.text(); }
};

}  // namespace testsupport
