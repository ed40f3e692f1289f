#pragma once

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/FileDialog.h"
#include "platform/FileSystem.h"
#include "platform/Sleeper.h"

namespace fakes {

struct FakeClock : platform::IClock {
    platform::LocalDateTime fixed{2026, 12, 7, 9, 5, 3};
    platform::LocalDateTime now() const override { return fixed; }
};

// Records the pauses asked for instead of taking them.
struct FakeSleeper : platform::ISleeper {
    std::vector<std::uint32_t> pauses;
    std::function<void()> during;  // runs inside each pause, as a test's probe
    void sleep(std::uint32_t ms) override {
        pauses.push_back(ms);
        if (during) during();
    }
};

// Files in memory under a program directory of /opt/vexmond.
struct FakeFileSystem : platform::IFileSystem {
    std::string directory = "/opt/vexmond";
    std::map<std::string, std::string> files;
    std::set<std::string> readOnly;
    std::string programDirectory() override { return directory; }
    bool truncateFile(const std::string& path) override {
        if (readOnly.count(path)) return false;
        files[path].clear();
        return true;
    }
    bool appendToFile(const std::string& path, const std::string& data) override {
        if (readOnly.count(path)) return false;
        files[path] += data;
        return true;
    }
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
    std::vector<std::string> kinds;
    std::set<std::int32_t> windows{4242};

    bool getOpenFileName(platform::OpenFileNameRequest& r) override { return answer("open", r); }
    bool getSaveFileName(platform::OpenFileNameRequest& r) override { return answer("save", r); }
    bool isWindow(std::int32_t w) override { return windows.count(w) > 0; }

private:
    bool answer(const char* kind, platform::OpenFileNameRequest& r) {
        requests.push_back(r);
        kinds.push_back(kind);
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
