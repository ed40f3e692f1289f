#pragma once

#include <algorithm>
#include <limits>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ConsoleFiles.h"

namespace fakes {

// The console's files in memory, as strict as the backends: no write or read
// past a file's end; a full disk takes what it has room for and refuses the
// rest; a closed directory refuses new files.
struct FakeDisk {
    struct File {
        std::string bytes;
        bool held = true;
    };
    std::map<std::string, File> files;                             // the history directory's, by name
    std::map<std::string, std::string> saved;                      // Save's files, all in the one directory there is
    std::int64_t room = std::numeric_limits<std::int64_t>::max();  // the bytes the history files may still grow by
    bool writable = true;
};

// One program's view of the disk; several share one disk as several programs do.
class FakeConsoleFiles : public platform::IConsoleFiles {
public:
    explicit FakeConsoleFiles(std::shared_ptr<FakeDisk> disk = std::make_shared<FakeDisk>())
        : m_disk(std::move(disk)), m_program(++s_programs) {}
    const std::shared_ptr<FakeDisk>& disk() const { return m_disk; }

    std::unique_ptr<platform::IHistoryFile> create(const std::string& prefix) override {
        if (!m_disk->writable) throw std::runtime_error("Permission denied");
        const std::string name = platform::historyFileName(prefix, m_program, ++m_made);
        m_disk->files[name] = {};
        return std::make_unique<File>(m_disk, name);
    }
    int removeAbandoned(const std::string& prefix) override {
        return static_cast<int>(std::erase_if(m_disk->files, [&](const auto& f) {
            return platform::isHistoryFileName(f.first, prefix) && !f.second.held;
        }));
    }
    void save(const std::string& path, const std::function<std::string()>& nextPart) override {
        if (path.substr(0, path.find_last_of('/')) != "/home/admin")
            throw std::runtime_error("No such file or directory");
        std::string& file = m_disk->saved[path] = {};
        for (std::string part = nextPart(); !part.empty(); part = nextPart()) file += part;
    }

private:
    class File : public platform::IHistoryFile {
    public:
        File(std::shared_ptr<FakeDisk> disk, std::string name) : m_disk(std::move(disk)), m_name(std::move(name)) {}
        ~File() override { m_disk->files.erase(m_name); }
        void write(std::int64_t offset, std::string_view data) override {
            std::string& bytes = m_disk->files.at(m_name).bytes;
            if (offset < 0 || offset > static_cast<std::int64_t>(bytes.size()))
                throw std::invalid_argument("a write past the end of the history file");
            const std::int64_t grows =
                std::max<std::int64_t>(0, offset + static_cast<std::int64_t>(data.size() - bytes.size()));
            const std::size_t fits =
                data.size() - static_cast<std::size_t>(std::max<std::int64_t>(0, grows - m_disk->room));
            m_disk->room -= std::min(grows, m_disk->room);
            bytes.resize(std::max(bytes.size(), static_cast<std::size_t>(offset) + fits));
            bytes.replace(static_cast<std::size_t>(offset), fits, data.substr(0, fits));
            if (fits < data.size()) throw std::runtime_error("No space left on device");
        }
        std::string read(std::int64_t offset, std::size_t count) const override {
            const std::string& bytes = m_disk->files.at(m_name).bytes;
            if (offset < 0 || static_cast<std::size_t>(offset) + count > bytes.size())
                throw std::out_of_range("the history file holds fewer bytes than asked for");
            return bytes.substr(static_cast<std::size_t>(offset), count);
        }

    private:
        std::shared_ptr<FakeDisk> m_disk;
        std::string m_name;
    };

    std::shared_ptr<FakeDisk> m_disk;
    unsigned long m_program;
    unsigned m_made = 0;
    static inline unsigned long s_programs = 0;
};

}  // namespace fakes
