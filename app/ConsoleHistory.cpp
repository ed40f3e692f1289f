#include "app/ConsoleHistory.h"

#include <algorithm>

#include "platform/ListSearch.h"

namespace app {

namespace {

// Moves, Save and the search for a line start go a megabyte at a time, so
// that none of them holds a second copy of the history.
constexpr std::int64_t kChunk = 1 << 20;
constexpr std::int64_t kMegabyte = 1 << 20;

std::string megabytes(std::int64_t bytes) {
    const std::int64_t tenths = (bytes * 10 + kMegabyte / 2) / kMegabyte;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " MB";
}

}  // namespace

ConsoleHistory::ConsoleHistory(platform::IRichText& view, platform::IConsoleFiles& files, const Profile& profile)
    : m_view(view), m_files(files), m_prefix(filePrefix(profile)) {}

std::string ConsoleHistory::filePrefix(const Profile& profile) {
    if (profile.isDefault()) return "replies.";
    // Profiles are one in any case, as the store's keys are; the name's
    // other characters are spelled out where a file system could refuse or
    // fold them.
    std::string prefix = "replies-";
    for (const char c : profile.name()) {
        const unsigned char folded = platform::foldLatin1(static_cast<unsigned char>(c));
        if ((folded >= 'a' && folded <= 'z') || (folded >= '0' && folded <= '9') || folded == '_' || folded == '-') {
            prefix += static_cast<char>(folded);
        } else {
            prefix += '%';
            prefix += "0123456789abcdef"[folded >> 4];
            prefix += "0123456789abcdef"[folded & 15];
        }
    }
    return prefix + ".";
}

void ConsoleHistory::removeAbandoned() { m_files.removeAbandoned(m_prefix); }

void ConsoleHistory::append(const std::string& text) {
    m_view.appendText(text);
    if (m_view.length() > m_moveAt) moveOldest();
}

void ConsoleHistory::moveOldest() {
    const std::int64_t held = m_view.length();
    const std::int64_t cut = lineStartFrom(held - kViewKept);
    try {
        if (!m_file) m_file = m_files.create(m_prefix);
        for (std::int64_t done = 0; done < cut; done += kChunk)
            m_file->write(m_earlier + done, m_view.textPart(done, std::min(kChunk, cut - done)));
    } catch (const std::exception& e) {
        // What was written stays past the bytes kept, to be written over.
        // Tried again once the view has grown by as much again.
        m_moveAt = held + (kViewBytes - kViewKept);
        if (!m_refused) {
            m_refused = true;
            m_refusal = e.what();
            showHeadLine();
        }
        return;
    }
    m_view.removeHead(cut);
    m_earlier += cut;
    m_moveAt = kViewBytes;
    m_refused = false;
    showHeadLine();
}

// The first line that starts at the offset or after it, short of the end;
// the offset itself in a line that long.
std::int64_t ConsoleHistory::lineStartFrom(std::int64_t offset) const {
    const std::int64_t held = m_view.length();
    for (std::int64_t at = offset - 1; at < held; at += kChunk) {
        const std::string part = m_view.textPart(at, kChunk);
        const std::size_t end = part.find('\n');
        if (end == std::string::npos) continue;
        const std::int64_t start = at + static_cast<std::int64_t>(end) + 1;
        return start < held ? start : offset;
    }
    return offset;
}

void ConsoleHistory::showHeadLine() {
    std::string line;
    if (m_earlier > 0) line = megabytes(m_earlier) + " of earlier replies are kept for Save";
    if (m_refused)
        line += (line.empty() ? "Earlier" : "; newer") + std::string(" replies could not be kept on disk (") +
                m_refusal + "): they stay here, in memory";
    m_view.setHeadLine(line);
}

void ConsoleHistory::clear() {
    m_view.setText("");
    close();
}

void ConsoleHistory::close() {
    m_file.reset();
    m_earlier = 0;
    m_moveAt = kViewBytes;
    m_refused = false;
    m_view.setHeadLine("");
}

void ConsoleHistory::save(const std::string& path) {
    const std::int64_t total = length();
    std::int64_t done = 0;
    m_files.save(path, [&] {
        const std::int64_t count = std::min(kChunk, (done < m_earlier ? m_earlier : total) - done);
        if (count <= 0) return std::string();
        std::string part = done < m_earlier ? m_file->read(done, static_cast<std::size_t>(count))
                                            : m_view.textPart(done - m_earlier, count);
        done += static_cast<std::int64_t>(part.size());
        return part;
    });
}

}  // namespace app
