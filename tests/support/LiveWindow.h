#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "app/frmMain.h"
#include "qt/MainWindow.h"
#include "qt/SocketWatcher.h"
#include "platform/posix/HiveRegistry.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixUdpSocket.h"
#include "settings/CAppSettings.h"
#include "tests/fakes/FakeControls.h"
#include "tests/fakes/FakeServices.h"
#include "tests/support/TempDir.h"

namespace testsupport {

// Types text as key presses that carry it, letters outside ASCII included
// (QTest::keyClicks takes ASCII only).
inline void typeText(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
    }
}

// The real window over a real socket and its watcher, a hive and the data
// directory in a temporary directory; dialogs, the clock and the local
// address are recorded. Message boxes and pauses are recorded too, or with
// Real::boxesAndPauses the window's own. Loaded and shown at once unless
// asked not to, so that a test can store settings first.
struct LiveWindow {
    enum class Real { nothing, boxesAndPauses };
    explicit LiveWindow(Real real = Real::nothing, bool loadNow = true)
        : boxesShown(real == Real::boxesAndPauses ? static_cast<platform::IMessageBox&>(window.messageBoxes()) : boxes),
          pauses(real == Real::boxesAndPauses ? static_cast<platform::ISleeper&>(window.sleeper()) : sleeper) {
        window.bind(form);
        QObject::connect(&watcher, &qtgui::SocketWatcher::arrived, [this](std::int32_t bytes) {
            form.udpPeerA_DataArrival(bytes);
            ++arrivals;
        });
        if (loadNow) load();
    }
    void load() {
        form.Form_Load();
        window.show();
    }

    TempDir tmp;
    ScopedEnv dataHome{"XDG_DATA_HOME", tmp / "data"};
    platform::posix::HiveRegistry registry{tmp / "config"};
    platform::posix::PosixUdpSocket socket;
    fakes::FakeMessageBox boxes;
    fakes::FakeFileDialogs dialogs;
    platform::posix::PosixFileSystem files;
    fakes::FakeClock clock;
    fakes::FakeSleeper sleeper;
    fakes::FakeCursor cursor;
    fakes::FakeSocketsLibrary sockets;
    qtgui::MainWindow window{socket};
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
    qtgui::SocketWatcher watcher{socket, &window.sleeper()};

    std::string console() { return window.controls().txtOutput.text(); }
    std::string hive() { return readFile(registry.directory() + "/system.reg"); }
    std::string layoutFile() { return tmp / "data/vexmond/ATBconfig.atb"; }
    void store(const std::string& section, const std::string& key, const std::string& value) {
        settings::CAppSettings s(registry);
        s.Init("Quorlan", "_Vexmond");
        s.SaveSetting(section, key, support::Variant::String(value));
    }
    template <class T>
    T* find(const char* name) {
        T* w = window.findChild<T*>(name);
        if (!w) ADD_FAILURE() << "no " << name;
        return w;
    }
};

}  // namespace testsupport
