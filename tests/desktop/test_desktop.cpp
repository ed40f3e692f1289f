#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <QtMath>
#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

#include "qt/GameToolbar.h"
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

// The titles the window manager is given: the window's, and those of the
// boxes whose titles the window makes itself.
TEST(Desktop, EveryTitleIsExactlyItsText) {
    LiveWindow w(LiveWindow::Real::boxesAndPauses);
    XProbe x;
    ASSERT_TRUE(x.ok());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.window));
    EXPECT_EQ(x.title(xid(&w.window)), "Vexmond");
    EXPECT_EQ(titleOfModal(x, [&] { w.form.ShowAbout(); }), "Vexmond v2.1 Build Date: 06-23-2002");
    EXPECT_EQ(titleOfModal(x, [&] { w.form.ShowInformation(); }), "Vexmond");
}

// A broadcast that outlasts the message interval, both timers falling due
// many times over while it pauses. During its first pause the window answers
// the window manager's ping but shows no reply and runs no tick; a Stop
// clicked then (a real click, through the X server's queue) is handled
// before those ticks, so nothing goes out after the broadcast's last line;
// the reply that came during the pause is shown once the broadcast is over.
TEST(Desktop, APauseAnswersPingsHoldsRepliesAndTicksAndTakesAStopClickedInItFirst) {
    testsupport::UdpPeer server;
    LiveWindow w(LiveWindow::Real::boxesAndPauses);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.window));
    fillServer(w, server.port(), "one\r\ntwo", "3");
    w.window.toolbar().gameBox()->setCurrentIndex(2);  // Quake 3 Arena: quoted chat lines
    w.form.cmdStart_Click();
    ASSERT_NE(server.receive().find("status"), std::string::npos);
    auto* stop = w.find<QWidget>("cmdStop");
    const QPoint stopAt = stop->mapToGlobal(stop->rect().center());
    const xcb_window_t window = xid(&w.window);

    std::vector<std::string> afterLineOne;
    Clock::time_point lineOne, lineTwo;
    std::atomic<long> pingMs{-2};
    std::atomic<bool> done{false};
    std::thread peer([&] {
        XProbe user;
        for (std::string d; (d = server.receive(lineOne == Clock::time_point{} ? 20000 : 5000)) != "<none>";) {
            if (lineOne != Clock::time_point{}) afterLineOne.push_back(d);
            if (d.find("\"two\"") != std::string::npos) lineTwo = Clock::now();
            if (lineOne == Clock::time_point{} && d.find("\"one\"") != std::string::npos) {
                lineOne = Clock::now();
                server.reply(P + "print\nreply during the pause\n");
                std::this_thread::sleep_for(std::chrono::seconds(1));
                pingMs = user.ping(window, 2000);
                user.click(stopAt.x(), stopAt.y());
            }
        }
        done = true;
    });
    w.find<QTimer>("tmrServerMessage")->start(300);
    w.find<QTimer>("tmrStatus")->start(50);
    Clock::time_point shownAt;
    const bool finished = QTest::qWaitFor(
        [&] {
            if (shownAt == Clock::time_point{} && w.console().find("reply during the pause") != std::string::npos)
                shownAt = Clock::now();
            return done.load();
        },
        40000);
    peer.join();
    ASSERT_TRUE(finished) << "the broadcasts went on after Stop was clicked";
    EXPECT_EQ(afterLineOne, std::vector<std::string>{P + "rcon pw say \"two\""});
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(lineTwo - lineOne).count(), 2900);
    EXPECT_GE(pingMs.load(), 0) << "the window did not answer the window manager's ping during the pause";
    EXPECT_LT(pingMs.load(), 1000);
    EXPECT_GT(shownAt, lineTwo) << "the reply was shown during the broadcast, or not at all";
    EXPECT_TRUE(w.find<QWidget>("cmdStart")->isEnabled()) << "the click on Stop was not handled";
}

// The real program as an autostart entry runs it, `vexmond --start`: the
// saved fields are loaded and Start is pressed once the window is up, so the
// server hears the status request, and later the broadcast. SIGTERM in the
// middle of the broadcast's pause is not held by it: the window is unloaded
// (the address history and the toolbar layout written) and the program ends
// at once.
TEST(Desktop, ASignalDuringAPauseEndsTheProgramAtOnceWithItsHistorySaved) {
    testsupport::TempDir tmp;
    testsupport::UdpPeer server;
    {
        platform::posix::HiveRegistry registry(tmp / "config/vexmond");
        settings::CAppSettings store(registry);
        store.Init("Quorlan", "_Vexmond");
        for (const auto& [key, value] : {std::pair<std::string, std::string>{"Port", std::to_string(server.port())},
                                         {"Password", "pw"},
                                         {"Msg", "one\r\ntwo"},
                                         {"Msg_Timer", "1"},
                                         {"Msg_Delay", "30"}})
            store.SaveSetting("_Vexmond", key, support::Variant::String(value));
        store.SaveSetting("IPs", "Hist0", support::Variant::String("127.0.0.1"));
    }
    testsupport::ScopedEnv config("XDG_CONFIG_HOME", tmp / "config");
    testsupport::ScopedEnv data("XDG_DATA_HOME", tmp / "data");
    QProcess program;
    program.start(VEXMOND_PROGRAM, {"--start"});
    ASSERT_TRUE(program.waitForStarted());
    EXPECT_EQ(server.receive(10000), P + "rcon pw status");
    // The first broadcast comes with the first tick of the message timer,
    // 65.535 s after Start (the status poll's first tick, at 63 s, comes before).
    std::string line;
    do line = server.receive(80000);
    while (line == P + "rcon pw status");
    ASSERT_EQ(line, P + "rcon pw one");
    QTest::qWait(500);
    const auto signalled = Clock::now();
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(5000));
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - signalled).count(), 1000);
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(server.receive(500), "<none>") << "a line went out after the signal";
    const std::string hive = testsupport::readFile(tmp / "config/vexmond/system.reg");
    EXPECT_NE(hive.find("\"Hist0\"=\"127.0.0.1\""), std::string::npos) << hive;
    EXPECT_NE(hive.find("\"Hist9\"=\"\""), std::string::npos) << "the history was not saved at the end:\n" << hive;
    EXPECT_TRUE(std::filesystem::exists(tmp / "data/vexmond/ATBconfig.atb")) << "the toolbar layout was not written";
}

// The program as a user starts it, with a fresh settings store, on its own
// and under openbox: the frame is centred on the screen once the window has
// its final size and its frame, and stays so; the title bar's close button
// does nothing.
TEST(Desktop, TheProgramsFramedWindowIsCentredAndTheTitleBarsCloseDoesNothing) {
    XProbe x;
    for (const bool manager : {false, true}) {
        const char* what = manager ? "openbox" : "no window manager";
        QProcess openbox;
        if (manager) {
            openbox.start("openbox", {"--sm-disable"});
            ASSERT_TRUE(openbox.waitForStarted()) << "openbox (Debian package openbox)";
            ASSERT_TRUE(QTest::qWaitFor([&] { return x.managed(); }, 10000));
            QTest::qWait(1000);  // openbox takes windows in once its start-up is over
        }
        testsupport::TempDir tmp;
        testsupport::ScopedEnv config("XDG_CONFIG_HOME", tmp / "config");
        testsupport::ScopedEnv data("XDG_DATA_HOME", tmp / "data");
        QProcess program;
        program.start(VEXMOND_PROGRAM, {});
        xcb_window_t window = 0;
        ASSERT_TRUE(QTest::qWaitFor([&] { return (window = x.findShown("Vexmond")) != 0; }, 10000)) << what;
        const XProbe::Rect screen = x.screen();
        XProbe::Rect outer;
        auto offCentre = [&] {
            outer = x.outer(window);
            return std::max(std::abs(2 * outer.x + outer.width - screen.width),
                            std::abs(2 * outer.y + outer.height - screen.height)) /
                   2.0;
        };
        static_cast<void>(QTest::qWaitFor([&] { return offCentre() <= 2; }, 5000));
        QTest::qWait(1500);  // and it stays there
        EXPECT_LE(offCentre(), 2) << what << ": frame at " << outer.x << "," << outer.y << " " << outer.width << "x"
                                  << outer.height;
        if (manager) {
            EXPECT_NE(x.findShown("Vexmond", 0, 1), window) << "the window manager did not frame the window";
        }
        x.requestClose(window);
        QTest::qWait(300);
        EXPECT_EQ(program.state(), QProcess::Running) << what;
        EXPECT_EQ(x.findShown("Vexmond"), window) << what;
        program.terminate();
        EXPECT_TRUE(program.waitForFinished(5000));
    }
}

// On a 1366x768 screen under openbox, at the run's scale (QT_SCALE_FACTOR
// 1.25 and 1.5, in runs of their own): the frame, title bar included as the
// window manager reports it, lies on the screen once it is there and stays
// so, and so does every button of the window.
TEST(Desktop, OnALaptopScreenTheFrameAndEveryButtonAreOnIt) {
    XProbe x;
    QProcess openbox;
    openbox.start("openbox", {"--sm-disable"});
    ASSERT_TRUE(openbox.waitForStarted()) << "openbox (Debian package openbox)";
    ASSERT_TRUE(QTest::qWaitFor([&] { return x.managed(); }, 10000));
    QTest::qWait(1000);  // openbox takes windows in once its start-up is over
    const XProbe::Rect screen = x.screen();
    const auto onScreen = [&screen](const XProbe::Rect& r) {
        return r.x >= screen.x && r.y >= screen.y && r.x + r.width <= screen.x + screen.width &&
               r.y + r.height <= screen.y + screen.height;
    };
    const auto text = [](const XProbe::Rect& r) {
        return std::to_string(r.width) + "x" + std::to_string(r.height) + " at " + std::to_string(r.x) + "," +
               std::to_string(r.y);
    };
    {
        LiveWindow w;
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.window));
        const xcb_window_t window = xid(&w.window);
        XProbe::Rect outer;
        static_cast<void>(QTest::qWaitFor(
            [&] { return (outer = x.outer(window)).height > w.window.height() && onScreen(outer); }, 5000));
        QTest::qWait(1500);  // and it stays there
        outer = x.outer(window);
        EXPECT_GT(outer.height, w.window.height() * w.window.devicePixelRatioF()) << "no title bar";
        EXPECT_TRUE(onScreen(outer)) << "the frame is " << text(outer) << " on " << text(screen);
        const qreal scale = w.window.devicePixelRatioF();
        for (QAbstractButton* button : w.window.findChildren<QAbstractButton*>()) {
            if (!button->isVisible()) continue;
            const QRectF r(QPointF(button->mapToGlobal(QPoint(0, 0))) * scale, QSizeF(button->size()) * scale);
            const XProbe::Rect device{qFloor(r.x()), qFloor(r.y()), qCeil(r.width()), qCeil(r.height())};
            EXPECT_TRUE(onScreen(device)) << button->objectName().toStdString() << " is " << text(device);
        }
    }
    openbox.terminate();
    openbox.waitForFinished(5000);
}
