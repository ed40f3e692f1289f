#include "platform/win/WinProfileLocks.h"

#include <windows.h>

namespace platform::win {

namespace {

// Past any text the file holds: a locked range cannot be read by others.
constexpr DWORD kLockedByteHigh = 0x40000000;

OVERLAPPED lockedByte() {
    OVERLAPPED at{};
    at.OffsetHigh = kLockedByteHigh;
    return at;
}

class Held : public IHeldLock {
public:
    explicit Held(HANDLE file) : m_file(file) {}
    ~Held() override {
        SetFilePointer(m_file, 0, nullptr, FILE_BEGIN);
        SetEndOfFile(m_file);
        OVERLAPPED at = lockedByte();
        UnlockFileEx(m_file, 0, 1, 0, &at);
        CloseHandle(m_file);
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

private:
    HANDLE m_file;
};

std::string problem(const std::string& what, const std::string& path) {
    return what + " " + path + " (error " + std::to_string(GetLastError()) + ")";
}

}  // namespace

WinProfileLocks::WinProfileLocks(std::string directory) : m_directory(std::move(directory)) {}

LockAttempt WinProfileLocks::take(const std::string& name, const std::string& holder) {
    LockAttempt attempt;
    if (!isLockName(name)) {
        attempt.problem = "'" + name + "' cannot name a lock";
        return attempt;
    }
    if (!CreateDirectoryA(m_directory.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        attempt.problem = problem("cannot make the folder", m_directory);
        return attempt;
    }
    const std::string path = m_directory + "\\" + name + ".lock";
    const HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        attempt.problem = problem("cannot open the lock file", path);
        return attempt;
    }
    OVERLAPPED at = lockedByte();
    if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        const std::string text = lockFileText(GetCurrentProcessId(), holder);
        DWORD written = 0;
        attempt.held = std::make_unique<Held>(file);
        if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) != 0 || !SetEndOfFile(file) ||
            !WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
            attempt.problem = problem("cannot write the lock file", path);
            attempt.held.reset();
        }
        return attempt;
    }
    if (GetLastError() != ERROR_LOCK_VIOLATION && GetLastError() != ERROR_IO_PENDING) {
        attempt.problem = problem("cannot lock", path);
        CloseHandle(file);
        return attempt;
    }
    // The holder writes its line just after it takes the lock: a moment's wait
    // for it.
    for (int tries = 0; tries < 50 && attempt.holderProcess == 0; ++tries) {
        char text[512];
        DWORD n = 0;
        OVERLAPPED start{};
        if (!ReadFile(file, text, sizeof text, &n, &start)) n = 0;
        readLockFileText(std::string_view(text, n), attempt);
        if (attempt.holderProcess == 0) Sleep(20);
    }
    CloseHandle(file);
    return attempt;
}

}  // namespace platform::win
