#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <string>

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
    // Why a test of it cannot run (a failure under CI), or empty when it can.
    static std::string missing() {
        if (installed()) return {};
        const char* ci = std::getenv("CI");
        if (ci && std::string(ci) == "true")
            ADD_FAILURE() << "openarena-server is not installed; the test command installs it";
        return "openarena-server is not installed: apt-get install openarena-server";
    }

    explicit OpenArenaServer(std::string password) : m_password(std::move(password)) {}
    ~OpenArenaServer() { stop(); }

    // Starts the server (on a free port, or the one given) and waits until it
    // answers rcon; false when it does not.
    bool start(int port = 0) {
        if (port == 0) {
            UdpPeer probe;  // a free port, given back at once
            port = probe.port();
        }
        m_port = port;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", QString::fromStdString(m_home.path()));
        m_server.setProcessEnvironment(environment);
        m_server.setWorkingDirectory(QString::fromStdString(m_home.path()));
        m_server.setProcessChannelMode(QProcess::MergedChannels);
        m_server.setStandardOutputFile(QString::fromStdString(m_home / "server.log"));
        m_server.start(kBinary, {"+set", "dedicated",    "1",
                                 "+set", "net_ip",       "127.0.0.1",
                                 "+set", "net_port",     QString::number(m_port),
                                 "+set", "rconpassword", QString::fromStdString(m_password),
                                 "+set", "sv_pure",      "0",
                                 "+set", "sv_master1",   "",
                                 "+set", "com_hunkmegs", "64",
                                 "+map", "oa_dm1"});
        UdpPeer client;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (m_server.state() != QProcess::NotRunning && std::chrono::steady_clock::now() < deadline) {
            client.sendTo(m_port, std::string(4, '\xFF') + "rcon " + m_password + " status");
            if (client.receive(500).find("map:") != std::string::npos) return true;
        }
        return false;
    }

    void stop() {
        if (m_server.state() == QProcess::NotRunning) return;
        m_server.terminate();
        if (!m_server.waitForFinished(5000)) m_server.kill();
        m_server.waitForFinished();
    }

    int port() const { return m_port; }
    std::string log() const { return readFile(m_home / "server.log"); }

private:
    std::string m_password;
    TempDir m_home;
    int m_port = 0;
    QProcess m_server;
};

}  // namespace testsupport
