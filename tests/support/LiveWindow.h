#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QKeyEvent>
#include <QWidget>

#include <functional>
#include <string_view>

#include "qt/GameToolbar.h"
#include "qt/MainWindow.h"
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

// The real socket, counting the datagrams the program takes from it.
struct CountingSocket : platform::posix::PosixUdpSocket {
    explicit CountingSocket(int& count) : taken(count) {}
    std::string getData() override {
        ++taken;
        return PosixUdpSocket::getData();
    }
    int& taken;
};

// The real window over a real socket, with the services of every form test;
// message boxes and pauses are recorded, or with Real::boxesAndPauses the
// window's own. Loaded and shown at once unless asked not to, so that a test
// can store settings first.
struct LiveWindow : TestServices {
    explicit LiveWindow(Real real = Real::nothing, bool loadNow = true)
        : boxesShown(real == Real::boxesAndPauses ? static_cast<platform::IMessageBox&>(window.messageBoxes()) : boxes),
          held(real == Real::boxesAndPauses ? window.sleeper() : pauses) {
        window.bind(form);
        if (loadNow) load();
    }
    void load() {
        form.Form_Load();
        window.show();
    }

    int arrivals = 0;  // the datagrams taken
    CountingSocket socket{arrivals};
    qtgui::MainWindow window{socket, socket};
    platform::IMessageBox& boxesShown;
    app::Pauses& held;
    app::frmMain form{window.controls(), services(boxesShown, held)};

    // Another window of the program, of a profile, over the same store and
    // files; loaded at once.
    struct Another {
        Another(TestServices& s, app::Profile profile)
            : form(window.controls(), s.services(s.boxes, s.pauses), std::move(profile)) {
            window.bind(form);
            form.Form_Load();
        }
        int taken = 0;
        CountingSocket socket{taken};
        qtgui::MainWindow window{socket, socket};
        app::frmMain form;
    };
    std::unique_ptr<Another> open(const std::string& profile) {
        return std::make_unique<Another>(*this, app::Profile(profile));
    }

    std::string console() { return window.controls().txtOutput.text(); }
    std::string hive() { return readFile(store.hives().directory() + "/system.reg"); }
    std::string layoutFile() { return dataFile("ATBconfig.atb"); }
    template <class T>
    T* find(const char* name) {
        T* w = window.findChild<T*>(name);
        if (!w) ADD_FAILURE() << "no " << name;
        return w;
    }

    // What a user does, as the window contract asks it of each front-end.
    void type(const char* field, std::u16string_view text) {
        QWidget* target = find<QWidget>(field);
        if (auto* combo = qobject_cast<QComboBox*>(target)) target = combo->lineEdit();
        for (const char16_t c : text)
            c == u'\r' ? QTest::keyClick(target, Qt::Key_Return) : typeText(target, QString(QChar(c)));
    }
    void click(const char* button) { QTest::mouseClick(find<QAbstractButton>(button), Qt::LeftButton); }
    void pickGame(const char* name) {
        QComboBox* games = window.toolbar().gameBox();
        games->setCurrentIndex(games->findText(name));
        emit games->activated(games->currentIndex());
    }
    std::string gameShown() {
        const QComboBox* games = window.toolbar().gameBox();
        return games->itemText(games->currentIndex()).toStdString();
    }
    void exitFromTheMenu() { window.toolbar().action("ID_Exit")->trigger(); }
    bool closed() const { return !window.isVisible(); }
    bool titleBarCloses() const { return window.windowFlags() & Qt::WindowCloseButtonHint; }
    bool waitFor(const std::function<bool()>& done) { return QTest::qWaitFor(done, 2000); }
    void toggleConsoleColours() { window.toolbar().consoleColours()->toggle(); }
    bool consoleColours() { return window.toolbar().consoleColours()->isChecked(); }
    void moveToolbar() { window.addToolBar(Qt::LeftToolBarArea, window.toolbar().toolRow()); }
    bool toolbarMoved() { return window.toolBarArea(window.toolbar().toolRow()) == Qt::LeftToolBarArea; }
};

}  // namespace testsupport
