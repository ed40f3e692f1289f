#pragma once

#include "app/frmMain.h"
#include "platform/posix/HiveRegistry.h"
#include "platform/posix/PosixUdpSocket.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/SocketWatcher.h"
#include "tests/fakes/FakeControls.h"
#include "tests/fakes/FakeServices.h"
#include "tests/support/TempDir.h"

namespace testsupport {

// The real window over a real socket, its watcher and a hive in a temporary
// directory; message boxes, dialogs, files, clock and pauses are recorded.
struct LiveWindow {
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
    platform::qt::MainWindow window{socket};
    app::frmMain form{window.controls(), app::FormServices{registry, boxes, dialogs, files, clock, sleeper, cursor, sockets}};
    int arrivals = 0;
    platform::qt::SocketWatcher watcher{socket, [this](std::int32_t bytes) {
                                            form.udpPeerA_DataArrival(bytes);
                                            ++arrivals;
                                        }};

    LiveWindow() {
        window.bind(form);
        form.Form_Load();
        window.show();
    }
    std::string console() { return window.controls().txtOutput.text(); }
};

}  // namespace testsupport
