#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "qt/MainWindow.h"
#include "qt/SocketWatcher.h"
#include "platform/posix/PosixUdpSocket.h"
#include "tests/support/TestServices.h"

namespace testsupport {

// Types text as key presses that carry it, letters outside ASCII included
// (QTest::keyClicks takes ASCII only).
inline void typeText(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
    }
}

// The real window over a real socket and its watcher, with the services of
// every form test; message boxes and pauses are recorded, or with
// Real::boxesAndPauses the window's own. Loaded and shown at once unless
// asked not to, so that a test can store settings first.
struct LiveWindow : TestServices {
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

    platform::posix::PosixUdpSocket socket;
    qtgui::MainWindow window{socket};
    platform::IMessageBox& boxesShown;
    platform::ISleeper& pauses;
    app::frmMain form{window.controls(), services(boxesShown, pauses)};
    int arrivals = 0;
    qtgui::SocketWatcher watcher{socket, &window.sleeper()};

    std::string console() { return window.controls().txtOutput.text(); }
    std::string hive() { return readFile(store.hives().directory() + "/system.reg"); }
    std::string layoutFile() { return dataFile("ATBconfig.atb"); }
    template <class T>
    T* find(const char* name) {
        T* w = window.findChild<T*>(name);
        if (!w) ADD_FAILURE() << "no " << name;
        return w;
    }
};

}  // namespace testsupport
