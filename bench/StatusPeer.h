#pragma once

#include <atomic>
#include <string>
#include <thread>

#include "tests/support/UdpPeer.h"

namespace benchsupport {

// A local server for a month of ticks: answers each status request with a
// 2 KB player list and counts the broadcast lines, until stopped and nothing
// more arrives (the last tick's lines may still be on their way).
class StatusPeer {
public:
    StatusPeer() : m_thread([this] { answer(); }) {}
    ~StatusPeer() { stop(); }
    StatusPeer(const StatusPeer&) = delete;
    StatusPeer& operator=(const StatusPeer&) = delete;

    int port() const { return m_socket.port(); }
    const std::string& reply() const { return m_reply; }
    void stop() {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
    }

    std::atomic<long> statusRequests{0}, broadcasts{0};

private:
    static std::string playerList() {
        std::string list =
            std::string(4, '\xFF') +
            "print\nmap: oa_dm1\nnum score ping name            lastmsg address               qport rate\n";
        for (int i = 0; list.size() < 2048; ++i)
            list += "  " + std::to_string(i % 10) + "    12   48 ^1Player^7" + std::to_string(i) + "        0 10.0.0." +
                    std::to_string(i) + ":27960  1234 25000\n";
        list.resize(2047);
        return list + "\n";
    }
    void answer() {
        while (true) {
            const std::string got = m_socket.receive(50);
            if (got == "<none>") {
                if (m_stop) break;
            } else if (got.find(" status") != std::string::npos) {
                ++statusRequests;
                m_socket.reply(m_reply);
            } else {
                ++broadcasts;
            }
        }
    }

    testsupport::UdpPeer m_socket;
    const std::string m_reply = playerList();
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}  // namespace benchsupport
