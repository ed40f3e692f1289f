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
#include "platform/SocketsLibrary.h"

namespace fakes {

struct FakeClock : platform::IClock {
    platform::LocalDateTime fixed{2026, 12, 7, 9, 5, 3};
    platform::LocalDateTime now() const override { return fixed; }
};

// Records the pauses asked for instead of taking them.
struct FakeSleeper : platform::ISleeper {
    std::vector<std::uint32_t> pauses;
    std::function<void()> during;  // runs inside each pause, as a test's probe
    int holding = 0;               // inside holdEvents
    void sleep(std::uint32_t ms) override {
        pauses.push_back(ms);
        if (during) during();
    }
    void holdEvents(const std::function<void()>& body) override {
        ++holding;
        try {
            body();
        } catch (...) {
            --holding;
            throw;
        }
        --holding;
    }
};

// Files in memory under a program directory of /opt/vexmond.
struct FakeFileSystem : platform::IFileSystem {
    std::string directory = "/opt/vexmond";
    std::map<std::string, std::string> files;
    std::set<std::string> readOnly;
    std::set<std::string> unreadable;  // exist, but cannot be opened
    std::string programDirectory() override { return directory; }
    bool findFirst(const std::string& path, std::uint32_t* attributes) override {
        if (!files.count(path)) return false;
        if (attributes) *attributes = readOnly.count(path) ? platform::kAttrReadOnly : platform::kAttrArchive;
        return true;
    }
    struct Reader : platform::IReadFile {
        std::string data;
        std::size_t at = 0;
        std::int64_t size() const override { return static_cast<std::int64_t>(data.size()); }
        std::string read(std::size_t n) override {
            std::string out = data.substr(at, n);
            at += out.size();
            return out;
        }
    };
    std::unique_ptr<platform::IReadFile> openForReading(const std::string& path) override {
        if (!files.count(path) || unreadable.count(path)) return nullptr;
        auto r = std::make_unique<Reader>();
        r->data = files[path];
        return r;
    }
    bool copyFile(const std::string& from, const std::string& to) override {
        if (!files.count(from) || readOnly.count(to)) return false;
        files[to] = files[from];
        return true;
    }
    bool moveFile(const std::string& from, const std::string& to) override {
        if (files.count(to) || !copyFile(from, to)) return false;
        files.erase(from);
        return true;
    }
    bool deleteFile(const std::string& path) override { return !readOnly.count(path) && files.erase(path) > 0; }
    std::int64_t fileSize(const std::string& path) override {
        return files.count(path) ? static_cast<std::int64_t>(files[path].size()) : -1;
    }
    std::string shortPathName(const std::string& path) override { return path; }
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

// A sockets library that can be told to fail at each step.
struct FakeSocketsLibrary : platform::ISocketsLibrary {
    int startupResult = 0;
    platform::WsaData data{0x0101, 0x0202, 100};
    int cleanupResult = 0;
    bool hostNameFails = false;
    std::string hostName = " gameserver ";
    std::vector<std::vector<std::uint8_t>> addresses{{192, 168, 0, 10}, {10, 0, 0, 1}};
    std::vector<std::uint8_t> routed;
    int starts = 0, cleanups = 0;
    std::string resolved;
    int WSAStartup(std::uint16_t, platform::WsaData* d) override {
        ++starts;
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
