// The UDP socket on 127.0.0.1, against a plain socket of the test. What it
// refuses, and with which number, is in the socket contract.
#include <gtest/gtest.h>

#include "platform/posix/PosixUdpSocket.h"
#include "tests/support/UdpPeer.h"

TEST(UdpSocket, SendsAndReceivesExactBytes) {
    testsupport::UdpPeer server;
    platform::posix::PosixUdpSocket s;
    s.setRemoteHost("localhost");
    s.setRemotePort(server.port());
    s.bind();
    const std::string request = std::string(4, '\xFF') + "rcon p\xE9w status";
    s.sendData(request);
    EXPECT_EQ(server.receive(), request);

    std::string big(65507, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
    EXPECT_EQ(s.pendingDatagramSize(), -1);
    for (const auto& reply : {big, std::string(4, '\xFF') + std::string("a\0b\xFF", 4), std::string()}) {
        server.reply(reply);
        ASSERT_TRUE(testsupport::waitReadable(s.descriptor()));
        EXPECT_EQ(s.pendingDatagramSize(), static_cast<long>(reply.size()));
        EXPECT_EQ(s.getData(), reply);
    }
}
