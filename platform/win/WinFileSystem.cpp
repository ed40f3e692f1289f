#include "platform/win/WinFileSystem.h"

#include <windows.h>

#include <shlobj.h>

#include <stdexcept>

namespace platform::win {

namespace {

// Owns a file handle for one operation.
class FileHandle {
public:
    explicit FileHandle(HANDLE h) : m_h(h) {}
    ~FileHandle() {
        if (valid()) CloseHandle(m_h);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return m_h != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_h; }
    bool close() {
        const bool ok = !valid() || CloseHandle(m_h);
        m_h = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE m_h;
};

bool readOnly(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

// A read-only file is refused here, not only by the system: an administrator
// (and wine, which runs as the Unix user, root included) may write it anyway.
HANDLE openForWriting(const std::string& path, DWORD access) {
    if (readOnly(path)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool writeAll(HANDLE h, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(h, data.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

std::string environment(const char* name) {
    const DWORD n = GetEnvironmentVariableA(name, nullptr, 0);
    if (n == 0) return {};
    std::string value(n, '\0');
    value.resize(GetEnvironmentVariableA(name, value.data(), n));
    return value;
}

// Makes the directory and any missing one above it.
bool makeDirectories(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const std::size_t separator = path.find_last_of("\\/");
    if (separator != std::string::npos && separator > 0 && path[separator - 1] != ':' &&
        !makeDirectories(path.substr(0, separator)))
        return false;
    return CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

class WinReadFile : public IReadFile {
public:
    explicit WinReadFile(HANDLE h) : m_file(h) {}
    std::int64_t size() const override {
        LARGE_INTEGER size{};
        if (GetFileType(m_file.get()) != FILE_TYPE_DISK || !GetFileSizeEx(m_file.get(), &size))
            throw std::runtime_error("not a regular file");
        return size.QuadPart;
    }
    std::string read(std::size_t n) override {
        std::string out(n, '\0');
        std::size_t done = 0;
        while (done < n) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(n - done, 1u << 30));
            DWORD got = 0;
            if (!ReadFile(m_file.get(), out.data() + done, chunk, &got, nullptr))
                throw std::runtime_error("read failed");
            if (got == 0) break;
            done += got;
        }
        out.resize(done);
        return out;
    }

private:
    FileHandle m_file;
};

}  // namespace

std::string WinFileSystem::programDirectory() {
    std::string base = environment("LOCALAPPDATA");
    if (base.empty()) {
        char path[MAX_PATH] = {};
        if (SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, path) == S_OK) base = path;
    }
    if (base.empty()) base = ".";
    if (base.back() == '\\') base.pop_back();
    const std::string dir = base + "\\Vexmond";
    makeDirectories(dir);
    return dir;
}

bool WinFileSystem::truncateFile(const std::string& path) {
    FileHandle f(openForWriting(path, GENERIC_WRITE));
    return f.valid() && SetEndOfFile(f.get()) && f.close();
}

bool WinFileSystem::appendToFile(const std::string& path, const std::string& data) {
    FileHandle f(openForWriting(path, FILE_APPEND_DATA));
    return f.valid() && writeAll(f.get(), data) && f.close();
}

bool WinFileSystem::replaceFile(const std::string& path, const std::string& data) {
    const std::string temporary = path + ".new";
    FileHandle f(
        CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    const bool written = f.valid() && writeAll(f.get(), data) && FlushFileBuffers(f.get()) && f.close();
    if (written && MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(temporary.c_str());
    return false;
}

bool WinFileSystem::findFirst(const std::string& path, std::uint32_t* attributes) {
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    if (attributes) *attributes = found.dwFileAttributes;
    return true;
}

std::unique_ptr<IReadFile> WinFileSystem::openForReading(const std::string& path) {
    const HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<WinReadFile>(h);
}

bool WinFileSystem::copyFile(const std::string& from, const std::string& to) {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

bool WinFileSystem::moveFile(const std::string& from, const std::string& to) {
    return MoveFileA(from.c_str(), to.c_str()) != 0;
}

bool WinFileSystem::deleteFile(const std::string& path) { return !readOnly(path) && DeleteFileA(path.c_str()) != 0; }

std::int64_t WinFileSystem::fileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return -1;
    return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string WinFileSystem::shortPathName(const std::string& path) {
    const DWORD n = GetShortPathNameA(path.c_str(), nullptr, 0);
    if (n == 0) return {};
    std::string out(n, '\0');
    const DWORD written = GetShortPathNameA(path.c_str(), out.data(), n);
    if (written == 0 || written >= n) return {};
    out.resize(written);
    return out;
}

LocalDateTime WinClock::now() const {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return LocalDateTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

namespace {
char localeCharacter(LCTYPE item, char fallback) {
    char text[8] = {};
    return GetLocaleInfoA(LOCALE_USER_DEFAULT, item, text, sizeof text) > 1 ? text[0] : fallback;
}
}  // namespace

char WinClock::dateSeparator() const { return localeCharacter(LOCALE_SDATE, '/'); }
char WinClock::timeSeparator() const { return localeCharacter(LOCALE_STIME, ':'); }

}  // namespace platform::win
