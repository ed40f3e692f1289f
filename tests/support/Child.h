#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace testsupport {

// Ends a child: SIGTERM, up to five seconds to go, then SIGKILL.
inline void endChild(pid_t& pid) {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 500; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid) {
            pid = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    pid = -1;
}

// A child process started with posix_spawnp and ended (SIGTERM, then
// SIGKILL) when the object goes.
class Child {
public:
    explicit Child(const std::vector<std::string>& argv, const posix_spawn_file_actions_t* actions = nullptr) {
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        if (posix_spawnp(&m_pid, args[0], actions, nullptr, args.data(), environ) != 0) m_pid = -1;
    }
    ~Child() { stop(); }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool started() const { return m_pid > 0; }
    void stop() { endChild(m_pid); }

private:
    pid_t m_pid = -1;
};

}  // namespace testsupport
