#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <atomic>
#include <chrono>
#include <thread>

#include "gui/GameToolbar.h"
#include "gui/QtFileDialogs.h"
#include "support/CFileOpenSaveDialog.h"
#include "tests/support/Child.h"
#include "tests/support/LiveWindow.h"
#include "tests/support/UdpPeer.h"
#include "tests/support/XProbe.h"

using testsupport::LiveWindow;
using testsupport::XProbe;
using Clock = std::chrono::steady_clock;

namespace {

const std::string P(4, '\xFF');

xcb_window_t xid(QWidget* w) { return static_cast<xcb_window_t>(w->winId()); }

// Opens a modal window with open(), reads the title the window manager is
// given, and closes it again.
std::string titleOfModal(XProbe& x, const std::function<void()>& open) {
    std::string title = "<no window>";
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->windowHandle() || !modal->windowHandle()->isExposed()) return;
        title = x.title(xid(modal));
        poll.stop();
        if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
    });
    poll.start(20);
    open();
    return title;
}

void fillServer(LiveWindow& w, int port, const char* message, const char* delay) {
    const app::FormControls c = w.window.controls();
    c.txtIP.setText("127.0.0.1");
    c.txtPort.setText(std::to_string(port));
    c.txtPassword.setText("pw");
    c.txtMsg.setText(message);
    c.txtSeverMessageTime.setText("1");
    c.txtMsgDelay.setText(delay);
    c.txtStatus.setText("1");
}

}  // namespace

TEST(Desktop, EveryTitleIsExactlyItsText) {
    LiveWindow w(LiveWindow::Real::boxesAndPauses);
    XProbe x;
    ASSERT_TRUE(x.ok());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.window));
    EXPECT_EQ(x.title(xid(&w.window)), "Vexmond");
    gui::QtFileDialogs dialogs;
    const struct {
        const char* title;
        std::function<void()> open;
    } cases[] = {
        {"Vexmond v2.1 Build Date: 06-23-2002", [&] { w.form.ShowAbout(); }},
        {"Vexmond", [&] { w.form.ShowInformation(); }},
        {"vexmond Error", [&] { w.window.messageBoxes().show("x", 16, "vexmond Error"); }},
        {"Vexmond - cmdSave_Click", [&] { w.window.messageBoxes().show("x", 48, "Vexmond - cmdSave_Click"); }},
        {"Save log",
         [&] {
             support::CFileOpenSaveDialog save(dialogs);
             save.setCenterDialog(true);
             save.setDialogTitle("Save log");
             save.setHWndOwner(w.window.controls().form.hWnd());
             save.Show(1);
         }},
    };
    for (const auto& c : cases) EXPECT_EQ(titleOfModal(x, c.open), c.title);
}

TEST(Desktop, ThePauseAfterALineAnswersPingsButHoldsRepliesAndTicks) {
    testsupport::UdpPeer server;
    LiveWindow w(LiveWindow::Real::boxesAndPauses);
    XProbe x;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.window));
    fillServer(w, server.port(), "one\r\ntwo", "10");
    w.window.toolbar().gameBox()->setCurrentIndex(2);  // Quake 3 Arena: quoted chat lines
    w.form.cmdStart_Click();
    ASSERT_NE(server.receive().find("status"), std::string::npos);

    const xcb_window_t window = xid(&w.window);
    Clock::time_point lineOne, lineTwo;
    std::atomic<long> pingMs{-2};
    int statusDuringPause = 0;
    std::thread peer([&] {
        XProbe pinger;
        for (;;) {
            const std::string d = server.receive(30000);
            if (d == "<none>") return;
            if (d.find("\"one\"") != std::string::npos) {
                lineOne = Clock::now();
                server.reply(P + "print\nreply during the pause\n");
                std::this_thread::sleep_for(std::chrono::seconds(2));
                pingMs = pinger.ping(window, 2000);
            } else if (d.find("\"two\"") != std::string::npos) {
                lineTwo = Clock::now();
                return;
            } else if (d.find("status") != std::string::npos && lineOne != Clock::time_point{}) {
                ++statusDuringPause;
            }
        }
    });
    // The status poll ticks every 50 ms from here: no tick may run inside the pauses.
    w.window.findChild<QTimer*>("tmrStatus")->start(50);
    QTimer::singleShot(0, [&] { w.form.tmrServerMessage_Timer(); });
    const bool shown =
        QTest::qWaitFor([&] { return w.console().find("reply during the pause") != std::string::npos; }, 40000);
    const auto shownAt = Clock::now();
    peer.join();
    ASSERT_TRUE(shown) << w.console();
    ASSERT_NE(lineTwo, Clock::time_point{});
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(lineTwo - lineOne).count(), 9900);
    EXPECT_GE(pingMs.load(), 0) << "the window did not answer the window manager's ping during the pause";
    EXPECT_LT(pingMs.load(), 1000);
    EXPECT_GT(shownAt, lineTwo) << "a reply was shown before the broadcast had ended";
    EXPECT_EQ(statusDuringPause, 0);
    w.form.cmdStop_Click();
}

TEST(Desktop, TheFramedWindowIsCentredAndTheTitleBarsCloseDoesNothing) {
    XProbe x;
    for (const bool manager : {false, true}) {
        std::unique_ptr<testsupport::Child> openbox;
        if (manager) {
            openbox = std::make_unique<testsupport::Child>(std::vector<std::string>{"openbox", "--sm-disable"});
            ASSERT_TRUE(openbox->started()) << "openbox (Debian package openbox)";
            ASSERT_TRUE(QTest::qWaitFor([&] { return !x.property(x.root(), x.atom("_NET_WORKAREA")).empty(); }, 10000));
            QTest::qWait(1000);  // openbox takes windows in once its start-up is over
        }
        LiveWindow w(LiveWindow::Real::boxesAndPauses);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.window, 10000)) << (manager ? "openbox" : "no window manager");
        const XProbe::Rect screen = x.screen();
        XProbe::Rect outer;
        auto offCentre = [&] {
            outer = x.outer(xid(&w.window));
            return std::max(std::abs(2 * outer.x + outer.width - screen.width),
                            std::abs(2 * outer.y + outer.height - screen.height)) /
                   2.0;
        };
        static_cast<void>(QTest::qWaitFor([&] { return offCentre() <= 2; }, 5000));
        EXPECT_LE(offCentre(), 2) << (manager ? "openbox" : "no window manager") << ": frame at " << outer.x << ","
                                  << outer.y << " " << outer.width << "x" << outer.height;
        if (manager) {
            EXPECT_GT(outer.height, w.window.geometry().height()) << "the window manager did not frame the window";
        }

        x.requestClose(xid(&w.window));
        QTest::qWait(300);
        EXPECT_TRUE(w.window.isVisible());
    }
}

// An autostart entry runs `vexmond --start`: the saved fields are loaded and
// Start is pressed once the window is up, so the server hears the status request.
TEST(Desktop, TheStartOptionBroadcastsWithTheSavedFields) {
    testsupport::TempDir tmp;
    testsupport::UdpPeer server;
    {
        platform::posix::HiveRegistry registry(tmp / "config/vexmond");
        settings::CAppSettings store(registry);
        store.Init("Quorlan", "_Vexmond");
        for (const auto& [key, value] : {std::pair<std::string, std::string>{"Port", std::to_string(server.port())},
                                         {"Password", "pw"},
                                         {"Msg", "Hello"}})
            store.SaveSetting("_Vexmond", key, support::Variant::String(value));
        store.SaveSetting("IPs", "Hist0", support::Variant::String("127.0.0.1"));
    }
    testsupport::ScopedEnv config("XDG_CONFIG_HOME", tmp / "config");
    testsupport::ScopedEnv data("XDG_DATA_HOME", tmp / "data");
    testsupport::Child program({VEXMOND_PROGRAM, "--start"});
    ASSERT_TRUE(program.started());
    EXPECT_EQ(server.receive(10000), P + "rcon pw status");
}
