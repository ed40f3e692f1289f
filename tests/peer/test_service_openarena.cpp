// The service against a real OpenArena dedicated server: in this process,
// with the real socket and signals and its time made to pass, and the
// program itself as an admin runs it.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QProcess>
#include <QTest>
#include <thread>
#include <utility>

#include "platform/posix/PosixUdpSocket.h"
#include "service/PosixSystemWait.h"
#include "service/Service.h"
#include "tests/support/FastForwardWait.h"
#include "tests/support/OpenArenaServer.h"
#include "tests/support/TestServices.h"

namespace {

bool has(const std::string& text, const std::string& what) { return text.find(what) != std::string::npos; }

struct ServicePeer : ::testing::Test, testsupport::TestServices {
    void SetUp() override {
        if (const std::string missing = testsupport::OpenArenaServer::missing(); !missing.empty())
            GTEST_SKIP() << missing;
    }
    void set(const std::vector<std::string>& more) {
        std::vector<std::string> all{"IP=127.0.0.1", "Password=s3cret", "Msg_Timer=1", "Msg_Delay=60",
                                     "Game=Quake 3 Arena"};
        all.insert(all.end(), more.begin(), more.end());
        ASSERT_EQ(service::configure({}, all, false, store.registry(), files, true).status, 0);
    }
    int run() { return service::Service({loop, socket, store.registry(), files, clock, log}, {}).run(); }

    testsupport::OpenArenaServer server{"s3cret"};
    platform::posix::PosixUdpSocket socket;
    service::PosixSystemWait system;
    std::int64_t slice = 50;           // real milliseconds a wait takes before its deadline is made to come
    int waits = 0;                     // a service that never gets where the test waits for is ended after a while
    std::function<void()> beforeWait;  // runs before each of the loop's waits
    testsupport::FastForwardWait wait{system, [this](bool) {
                                          if (++waits == 1000) ::kill(::getpid(), SIGTERM);
                                          if (beforeWait) beforeWait();
                                          return slice;
                                      }};
    service::ServiceLoop loop{wait, socket};
    std::string logged;
    std::function<void(const std::string&)> onLine = [](const std::string&) {};
    service::ServiceLog log{clock,
                            [this](const std::string& line) {
                                logged += line;
                                onLine(line);
                            },
                            true};
};

void endIn(int milliseconds) {
    std::thread([milliseconds] {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        ::kill(::getpid(), SIGTERM);
    }).detach();
}

}  // namespace

// The status reply of Start in the log, a broadcast line the server takes,
// and SIGTERM in the pause after it: status 0, the next line never sent.
TEST_F(ServicePeer, LogsTheRepliesBroadcastsAndEndsInAPauseOnSigterm) {
    ASSERT_TRUE(server.start()) << server.log();
    set({"Port=" + std::to_string(server.port()), "Msg=Hello from the service\n^1Be nice"});
    onLine = [&](const std::string& line) {
        if (!has(line, "sent: Hello from the service")) return;
        slice = -1;  // the pause after the line takes its real 60 seconds
        endIn(300);
    };
    EXPECT_EQ(run(), 0);
    EXPECT_TRUE(has(logged, "reply: map: oa_dm1")) << logged;
    EXPECT_TRUE(logged.ends_with(" stop\n")) << logged;
    EXPECT_FALSE(has(logged, "s3cret"));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return has(server.log(), "Rcon from 127.0.0.1: say Hello from the service"); }, 5000))
        << server.log();
    EXPECT_FALSE(has(server.log(), "Be nice"));
}

// Nothing answers the status request of Start, and the server comes up
// after it: the status request of the first tick, which meets the port the
// first found unreachable, is made again and answered; nothing failed.
TEST_F(ServicePeer, AServerDownAtStartIsReachedAtTheNextTicks) {
    int port = 0;
    {
        testsupport::UdpPeer probe;
        port = probe.port();
    }
    set({"Port=" + std::to_string(port), "Msg=Hello"});
    beforeWait = [&] {
        if (std::exchange(beforeWait, nullptr)) {
            EXPECT_TRUE(server.start(port)) << server.log();
        }
    };
    onLine = [&](const std::string& line) {
        if (has(line, "reply: map: oa_dm1")) endIn(0);
    };
    EXPECT_EQ(run(), 0);
    EXPECT_TRUE(has(logged, "reply: map: oa_dm1")) << logged;
    EXPECT_FALSE(has(logged, "failed:")) << logged;
    EXPECT_TRUE(has(server.log(), "Rcon from 127.0.0.1: status")) << server.log();
}

// vexmond-service configured and run as the README says, with no display:
// the status reply in its log, and SIGTERM ends it with status 0.
TEST_F(ServicePeer, TheProgramWithNoDisplayLogsTheStatusReplyAndEndsWithStatus0) {
    ASSERT_TRUE(server.start()) << server.log();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString(tmp / "config-home"));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(VEXMOND_SERVICE, {"--profile", "oa", "--set", "IP=127.0.0.1",
                                    "Port=" + QString::number(server.port()), "Password=s3cret", "Msg=Hi"});
    ASSERT_TRUE(program.waitForFinished(10000));
    ASSERT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    program.start(VEXMOND_SERVICE, {"--profile", "oa"});
    std::string out;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return has(out += program.readAllStandardOutput().toStdString(), "reply: map: oa_dm1"); }, 10000))
        << out;
    program.terminate();
    ASSERT_TRUE(program.waitForFinished(10000));
    out += program.readAllStandardOutput().toStdString();
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_TRUE(out.ends_with(" stop\n")) << out;
    EXPECT_FALSE(has(out, "s3cret"));
}

// A wrong password: the server's refusal is logged once, the service ends
// with status 1, and the status request it refused is the only datagram the
// server gets (a host that bans after a few wrong passwords sees one).
TEST_F(ServicePeer, AWrongPasswordIsLoggedOnceAndNothingIsSentAfterIt) {
    ASSERT_TRUE(server.start()) << server.log();
    set({"Port=" + std::to_string(server.port()), "Password=wrong", "Msg=Hello"});
    const std::size_t before = server.log().size();
    EXPECT_EQ(run(), 1);
    QTest::qWait(1500);  // a tick or a line after the refusal would have come by now
    const std::string seen = server.log().substr(before);
    std::size_t refused = 0, bad = 0;
    for (std::size_t at = logged.find(" refused: "); at != std::string::npos; at = logged.find(" refused: ", at + 1))
        ++refused;
    for (std::size_t at = seen.find("Bad rcon from 127.0.0.1"); at != std::string::npos;
         at = seen.find("Bad rcon from 127.0.0.1", at + 1))
        ++bad;
    EXPECT_EQ(refused, 1u) << logged;
    EXPECT_EQ(bad, 1u) << seen;
    EXPECT_FALSE(has(seen, "Hello"));
}
