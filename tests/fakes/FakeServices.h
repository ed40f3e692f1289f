#pragma once

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/Clock.h"
#include "platform/FileDialog.h"
#include "platform/EventLoop.h"
#include "platform/SocketsLibrary.h"

namespace fakes {

struct FakeClock : platform::IClock {
    platform::LocalDateTime fixed{2026, 12, 7, 9, 5, 3};
    platform::LocalDateTime now() const override { return fixed; }
};

// Records the waits asked for instead of taking them. What is posted runs at
// once, unless the test keeps it (deferred) to run it step by step. Its time
// passes by each wait, and by `between` at every look at it, as real time
// passes between two events of a window (a test of what comes close
// together sets it to 0 and moves `now` itself).
struct FakeEventLoop : platform::IEventLoop {
    std::vector<std::uint32_t> pauses;
    mutable std::int64_t now = 0;
    std::int64_t between = 60000;
    std::int64_t milliseconds() const override { return now += between; }
    std::function<void()> during;  // runs inside each wait, as a test's probe
    bool deferred = false;
    std::deque<std::function<void()>> posted, afterInputs;
    bool reporting = true;
    void wait(std::uint32_t ms) override {
        pauses.push_back(ms);
        now += ms;
        if (during) during();
    }
    void post(std::function<void()> f) override { deferred ? posted.push_back(std::move(f)) : f(); }
    void afterInput(std::function<void()> f) override { deferred ? afterInputs.push_back(std::move(f)) : f(); }
    void reportArrivals(bool on) override { reporting = on; }
    // What is posted, also while it runs, comes before any input, as
    // Windows hands over its posted messages; what waits for the input after.
    void runPosted() {
        while (!posted.empty()) {
            auto f = std::move(posted.front());
            posted.pop_front();
            f();
        }
    }
    void runAfterInput() {
        for (auto due = std::exchange(afterInputs, {}); !due.empty(); due.pop_front()) due.front()();
    }
};

// A sockets library that can be told to fail at each step.
struct FakeSocketsLibrary : platform::ISocketsLibrary {
    int startupResult = 0;
    platform::WsaData data{0x0101, 0x0202, 100};
    int cleanupResult = 0;
    bool hostNameFails = false;
    std::string hostName = " gameserver ";
    std::vector<std::vector<std::uint8_t>> addresses{{192, 168, 0, 10}, {10, 0, 0, 1}};
    std::vector<std::uint8_t> routed;
    int cleanups = 0;
    std::string resolved;
    int WSAStartup(std::uint16_t, platform::WsaData* d) override {
        *d = data;
        return startupResult;
    }
    int WSACleanup() override {
        ++cleanups;
        return cleanupResult;
    }
    int WSAGetLastError() override { return 10093; }
    int gethostname(std::string* name, int) override {
        if (hostNameFails) return platform::kSocketError;
        *name = hostName;
        return 0;
    }
    bool gethostbyname(const std::string& name, platform::HostEntry* entry) override {
        resolved = name;
        entry->h_length = 4;
        entry->h_addr_list = addresses;
        return !addresses.empty();
    }
    std::vector<std::uint8_t> routedAddress() override { return routed; }
};

// A scripted dialog: records each request and answers with the next scripted
// result, written into the buffers as the platform's dialog would.
struct FakeFileDialogs : platform::IFileDialogs {
    struct Answer {
        bool confirm = false;
        std::string fileBuffer;  // what the dialog writes, NULs included
        std::string titleBuffer;
    };
    std::deque<Answer> answers;
    std::vector<platform::OpenFileNameRequest> requests;
    std::set<platform::WindowHandle> windows{4242};

    bool getOpenFileName(platform::OpenFileNameRequest& r) override { return answer(r); }
    bool getSaveFileName(platform::OpenFileNameRequest& r) override { return answer(r); }
    bool isWindow(platform::WindowHandle w) override { return windows.count(w) > 0; }

private:
    bool answer(platform::OpenFileNameRequest& r) {
        requests.push_back(r);
        if (answers.empty()) return false;
        const Answer a = answers.front();
        answers.pop_front();
        if (!a.confirm) return false;
        r.lpstrFile = a.fileBuffer + std::string(1024 - a.fileBuffer.size(), '\0');
        r.lpstrFileTitle = a.titleBuffer + std::string(1024 - a.titleBuffer.size(), '\0');
        return true;
    }
};

}  // namespace fakes
