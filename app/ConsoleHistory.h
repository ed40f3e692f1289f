#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/Profile.h"
#include "platform/ConsoleFiles.h"
#include "platform/Controls.h"

namespace app {

// The output console's one rule, the same in every window. Its view holds
// the newest text, at most kViewBytes: past that, its oldest whole lines go to
// a private history file of the profile's, so that a program left running for
// months keeps its memory bounded and Save still writes every byte that came
// (the file's part, then the view's). The line above the view says how much
// earlier text the file keeps. Where the file cannot be written (a full disk,
// a directory the user may not write) that line says so, once, and the text
// stays in the view, as it would with no file at all: nothing is lost.
class ConsoleHistory {
public:
    static constexpr std::int64_t kViewBytes = 4 << 20;  // the most the view holds
    static constexpr std::int64_t kViewKept = 3 << 20;   // what it keeps when its oldest lines go

    ConsoleHistory(platform::IRichText& view, platform::IConsoleFiles& files, const Profile& profile);

    // At the window's start: the profile's history files that killed programs left.
    void removeAbandoned();
    void append(const std::string& text);
    // Every byte since the last Clear, on disk and in the view.
    std::int64_t length() const { return m_earlier + m_view.length(); }
    void clear();
    // Writes the whole history to the file at the path, replacing it; throws with the reason.
    void save(const std::string& path);
    // At the window's end: its history file goes.
    void close();

    // The start of a history file's name: one per profile, never the start of another profile's.
    static std::string filePrefix(const Profile& profile);

private:
    void moveOldest();
    std::int64_t lineStartFrom(std::int64_t offset) const;
    void showHeadLine();

    platform::IRichText& m_view;
    platform::IConsoleFiles& m_files;
    const std::string m_prefix;
    std::unique_ptr<platform::IHistoryFile> m_file;
    std::int64_t m_earlier = 0;  // the bytes in the file, before the view's
    std::int64_t m_moveAt = kViewBytes;
    bool m_refused = false;
    std::string m_refusal;
};

}  // namespace app
