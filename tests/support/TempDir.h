#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string>

namespace testsupport {

#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

// A fresh directory below the system's temporary directory (or `parent`),
// removed at the end.
class TempDir {
public:
    explicit TempDir(const std::filesystem::path& parent = std::filesystem::temp_directory_path()) {
        std::random_device random;
        for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
            const std::string name = "vexmond-test-" + std::to_string(random() % 100000000u);
            std::error_code ec;
            if (std::filesystem::create_directory(parent / name, ec)) m_path = (parent / name).string();
        }
        std::error_code ec;  // the directory holds what the tests write: the user's alone
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, ec);
    }
    ~TempDir() {
        std::error_code ec;  // give back the write bits a test took away, so that removal succeeds
        for (auto it = std::filesystem::recursive_directory_iterator(m_path, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    // A path below the directory, with the platform's separator before the name.
    std::string operator/(const std::string& name) const { return m_path + kSeparator + name; }

private:
    std::string m_path;
};

inline std::string readFile(const std::string& path) {
    std::ostringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

inline void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        set(name, value.c_str());
    }
    ~ScopedEnv() { set(m_name, m_old ? m_old->c_str() : nullptr); }

private:
    static void set(const char* name, const char* value) {
#ifdef _WIN32
        _putenv_s(name, value ? value : "");  // the C library's copy and the process's both; "" removes it
#else
        value ? (void)setenv(name, value, 1) : (void)unsetenv(name);
#endif
    }
    const char* m_name;
    std::optional<std::string> m_old;
};

}  // namespace testsupport
