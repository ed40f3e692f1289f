#include "platform/win/WinConsoleFiles.h"

#include <windows.h>

#include <atomic>
#include <stdexcept>

#include "platform/win/WinUdpSocket.h"

namespace platform::win {

namespace {

[[noreturn]] void fail(DWORD error = GetLastError()) { throw std::runtime_error(winsockText(static_cast<int>(error))); }

// The range every holder locks: far past any end, so that the lock keeps
// no one from the bytes.
constexpr DWORD kLockHigh = 0x40000000;

bool lock(HANDLE file) {
    OVERLAPPED at{};
    at.OffsetHigh = kLockHigh;
    return LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) != FALSE;
}

std::int64_t sizeOf(HANDLE file) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) fail();
    return size.QuadPart;
}

class WinHistoryFile : public IHistoryFile {
public:
    explicit WinHistoryFile(HANDLE file) : m_file(file) {}
    ~WinHistoryFile() override { CloseHandle(m_file); }
    WinHistoryFile(const WinHistoryFile&) = delete;
    WinHistoryFile& operator=(const WinHistoryFile&) = delete;

    void write(std::int64_t offset, std::string_view bytes) override {
        if (offset < 0 || offset > sizeOf(m_file))
            throw std::invalid_argument("a write past the end of the history file");
        while (!bytes.empty()) {
            OVERLAPPED at = place(offset);
            DWORD written = 0;
            const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
            if (!WriteFile(m_file, bytes.data(), chunk, &written, &at)) fail();
            if (written == 0) fail(ERROR_DISK_FULL);
            bytes.remove_prefix(written);
            offset += written;
        }
    }

    std::string read(std::int64_t offset, std::size_t count) const override {
        std::string out(count, '\0');
        std::size_t done = 0;
        while (done < count) {
            OVERLAPPED at = place(offset + static_cast<std::int64_t>(done));
            DWORD got = 0;
            const auto chunk = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 30));
            if (!ReadFile(m_file, out.data() + done, chunk, &got, &at) && GetLastError() != ERROR_HANDLE_EOF) fail();
            if (got == 0) throw std::out_of_range("the history file holds fewer bytes than asked for");
            done += got;
        }
        return out;
    }

private:
    static OVERLAPPED place(std::int64_t offset) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        return at;
    }
    HANDLE m_file;
};

std::atomic<unsigned> g_created{0};

}  // namespace

std::unique_ptr<IHistoryFile> WinConsoleFiles::create(const std::string& prefix) {
    CreateDirectoryA(m_directory.c_str(), nullptr);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string path = m_directory + "\\" + historyFileName(prefix, GetCurrentProcessId(), ++g_created);
        const HANDLE file =
            CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        nullptr, CREATE_NEW, FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS) continue;
            fail();
        }
        if (lock(file)) return std::make_unique<WinHistoryFile>(file);
        CloseHandle(file);  // a start that cleans up holds it: it goes, and another name is tried
    }
    fail(ERROR_FILE_EXISTS);
}

int WinConsoleFiles::removeAbandoned(const std::string& prefix) {
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA((m_directory + "\\" + prefix + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int removed = 0;
    do {
        const std::string_view name = found.cFileName;
        if (!isHistoryFileName(name, prefix)) continue;
        // A holder shares its file with no one who would delete it; a
        // handle that does open it must still take the lock.
        const std::string path = m_directory + "\\" + std::string(name);
        const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) continue;
        FILE_DISPOSITION_INFO gone{TRUE};
        if (lock(file) && SetFileInformationByHandle(file, FileDispositionInfo, &gone, sizeof gone)) ++removed;
        CloseHandle(file);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return removed;
}

void WinConsoleFiles::save(const std::string& path, const std::function<std::string()>& nextPart) {
    const HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) fail();
    const std::unique_ptr<void, decltype(&CloseHandle)> closing(file, &CloseHandle);
    for (std::string part = nextPart(); !part.empty(); part = nextPart()) {
        for (std::size_t done = 0; done < part.size();) {
            DWORD written = 0;
            const auto chunk = static_cast<DWORD>(std::min<std::size_t>(part.size() - done, 1u << 30));
            if (!WriteFile(file, part.data() + done, chunk, &written, nullptr)) fail();
            if (written == 0) fail(ERROR_DISK_FULL);
            done += written;
        }
    }
}

}  // namespace platform::win
