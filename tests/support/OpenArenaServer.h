#pragma once

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "tests/support/Child.h"
#include "tests/support/TempDir.h"
#include "tests/support/UdpPeer.h"

namespace testsupport {

// A real OpenArena dedicated server on 127.0.0.1, started and stopped by the
// test, with its console output in a log file.
class OpenArenaServer {
public:
    static constexpr const char* kBinary = "/usr/games/openarena-server";

    static bool installed() {
        struct stat st {};
        return ::stat(kBinary, &st) == 0;
    }

    OpenArenaServer(std::string password) : m_password(std::move(password)) {}
    ~OpenArenaServer() { stop(); }

    // Starts the server and waits until it answers rcon; false when it does not.
    bool start() {
        {
            UdpPeer probe;  // a free port, given back at once
            m_port = probe.port();
        }
        m_log = m_home / "server.log";
        m_pid = ::fork();
        if (m_pid == 0) {
            try {
                const std::string home = m_home.path();
                ::setenv("HOME", home.c_str(), 1);
                if (::chdir(home.c_str()) != 0) _exit(126);
                if (!std::freopen(m_log.c_str(), "w", stdout) || !std::freopen(m_log.c_str(), "a", stderr)) _exit(126);
                const std::string port = std::to_string(m_port);
                ::execl(kBinary, kBinary, "+set", "dedicated", "1", "+set", "net_ip", "127.0.0.1", "+set", "net_port",
                        port.c_str(), "+set", "rconpassword", m_password.c_str(), "+set", "sv_pure", "0", "+set",
                        "sv_master1", "", "+set", "com_hunkmegs", "64", "+map", "oa_dm1", static_cast<char*>(nullptr));
            } catch (...) {}
            _exit(127);  // never back into the test framework
        }
        UdpPeer client;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < deadline) {
            client.sendTo(m_port, std::string(4, '\xFF') + "rcon " + m_password + " status");
            if (client.receive(500).find("map:") != std::string::npos) return true;
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return false;
            }
        }
        return false;
    }

    void stop() { endChild(m_pid); }

    int port() const { return m_port; }
    std::string log() const { return readFile(m_log); }

private:
    std::string m_password;
    TempDir m_home;
    std::string m_log;
    int m_port = 0;
    pid_t m_pid = -1;
};

}  // namespace testsupport
