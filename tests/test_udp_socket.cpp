// The UDP socket on 127.0.0.1, against a plain socket of the test.
#include <gtest/gtest.h>

#include "platform/posix/PosixSocketsLibrary.h"
#include "platform/posix/PosixUdpSocket.h"
#include "support/AppError.h"
#include "tests/fakes/FormHarness.h"
#include "tests/support/Errors.h"
#include "tests/support/UdpPeer.h"

using platform::posix::PosixUdpSocket;
using testsupport::UdpPeer;

namespace {

std::int32_t errorOf(const std::function<void()>& f) { return static_cast<std::int32_t>(testsupport::errorNumber(f)); }

void connectTo(PosixUdpSocket& s, int port, const std::string& host = "127.0.0.1") {
    s.setRemoteHost(host);
    s.setRemotePort(port);
    s.bind();
}

}  // namespace

TEST(UdpSocket, SendsAndReceivesExactBytes) {
    UdpPeer server;
    PosixUdpSocket s;
    EXPECT_EQ(s.state(), 0);
    connectTo(s, server.port(), "localhost");
    EXPECT_EQ(s.state(), 1);
    const std::string request = std::string(4, '\xFF') + "rcon p\xE9w status";
    s.sendData(request);
    EXPECT_EQ(server.receive(), request);

    std::string big(65507, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
    const std::string odd = std::string(4, '\xFF') + std::string("a\0b\xFF", 4);
    EXPECT_EQ(s.pendingDatagramSize(), -1);
    for (const auto& reply : {big, odd, std::string()}) {
        server.reply(reply);
        ASSERT_TRUE(testsupport::waitReadable(s.descriptor()));
        EXPECT_EQ(s.pendingDatagramSize(), static_cast<long>(reply.size()));
        EXPECT_EQ(s.getData(), reply);
    }
    s.close();
    EXPECT_EQ(s.state(), 0);
}

TEST(UdpSocket, FailuresCarryTheWindowsSocketsNumbers) {
    UdpPeer server;
    PosixUdpSocket s;
    EXPECT_EQ(errorOf([&] { s.sendData("x"); }), 10058);  // before any Start
    EXPECT_EQ(errorOf([&] { connectTo(s, server.port(), ""); }), 11001);
    EXPECT_EQ(errorOf([&] { s.setRemotePort(70000); }), 10014);
    EXPECT_EQ(errorOf([&] { s.setRemotePort(0); }), 10014);
    connectTo(s, server.port());
    EXPECT_EQ(errorOf([&] { s.bind(); }), 10022);
    EXPECT_EQ(errorOf([&] { s.sendData(std::string(70000, 'x')); }), 10040);
    EXPECT_EQ(s.state(), 1);
}

TEST(UdpSocket, AClosedPortFailsTheNextSendWith10054) {
    int closedPort = 0;
    {
        UdpPeer gone;
        closedPort = gone.port();
    }
    PosixUdpSocket s;
    connectTo(s, closedPort);
    s.sendData("first");  // the host answers it with "port unreachable"
    ASSERT_TRUE(testsupport::waitReadable(s.descriptor()));
    EXPECT_EQ(s.pendingDatagramSize(), -1);  // no datagram: the error is kept for the next send
    EXPECT_EQ(errorOf([&] { s.sendData("second"); }), 10054);
}

TEST(UdpSocket, AClosedPortStopsTheBroadcastWithItsMessage) {
    int closedPort = 0;
    {
        UdpPeer gone;
        closedPort = gone.port();
    }
    fakes::FormHarness h;
    PosixUdpSocket socket;
    auto frm = std::make_unique<app::frmMain>(app::FormControls{.form = h.form,
                                                                .SSActiveToolBars1 = h.toolbar,
                                                                .txtIP = h.txtIP,
                                                                .txtPort = h.txtPort,
                                                                .txtPassword = h.txtPassword,
                                                                .txtMsg = h.txtMsg,
                                                                .txtSeverMessageTime = h.txtSeverMessageTime,
                                                                .txtMsgDelay = h.txtMsgDelay,
                                                                .txtStatus = h.txtStatus,
                                                                .txtSendCommand = h.txtSendCommand,
                                                                .txtOutput = h.txtOutput,
                                                                .cmdStart = h.cmdStart,
                                                                .imgConnected = h.imgConnected,
                                                                .imgNotConnected = h.imgNotConnected,
                                                                .tmrServerMessage = h.tmrServerMessage,
                                                                .tmrStatus = h.tmrStatus,
                                                                .udpPeerA = socket},
                                              app::FormServices{.registry = h.registry,
                                                                .messageBox = h.messageBox,
                                                                .fileDialogs = h.fileDialogs,
                                                                .fileSystem = h.fileSystem,
                                                                .clock = h.clock,
                                                                .sleeper = h.sleeper,
                                                                .cursor = h.cursor,
                                                                .sockets = h.sockets});
    frm->Form_Load();
    h.txtIP.edit = "127.0.0.1";
    h.txtPort.value = std::to_string(closedPort);
    h.txtPassword.value = "pw";
    h.txtMsg.value = "Hi";
    h.txtSeverMessageTime.value = "1";
    frm->cmdStart_Click();
    ASSERT_TRUE(h.tmrServerMessage.on);
    ASSERT_TRUE(testsupport::waitReadable(socket.descriptor()));
    EXPECT_EQ(socket.pendingDatagramSize(), -1);  // what the window's watcher does on the event loop
    frm->tmrServerMessage_Timer();
    ASSERT_EQ(h.messageBox.shown.size(), 1u);
    EXPECT_EQ(h.messageBox.shown[0].text,
              std::string("Could not connect to server, server may be down. Check your IP and Port") + "         ");
    EXPECT_FALSE(h.tmrServerMessage.on || h.tmrStatus.on);
    EXPECT_EQ(socket.state(), 0);
    EXPECT_TRUE(h.sleeper.pauses.empty());
}

TEST(SocketsLibrary, TheRoutedAddressIsNeverALoopbackOne) {
    platform::posix::PosixSocketsLibrary library;
    const std::vector<std::uint8_t> address = library.routedAddress();
    if (address.empty()) GTEST_SKIP() << "this machine has no interface but loopback";
    ASSERT_EQ(address.size(), 4u);
    EXPECT_NE(address[0], 127);
    EXPECT_NE(address[0], 0);
}
