#include "app/ConsoleLines.h"

#include <algorithm>
#include <stdexcept>

namespace app {

void ConsoleLines::assign(const std::string& text) {
    std::string(text).swap(m_text);
    std::vector<std::size_t>{0}.swap(m_lineStarts);
    m_longest = 0;
    indexFrom(0);
}

void ConsoleLines::append(std::string_view text) {
    const std::size_t from = m_text.size();
    m_text += text;
    indexFrom(from);
}

// Indexes the line ends from the offset on; the last line, which may still
// grow, is measured too.
void ConsoleLines::indexFrom(std::size_t offset) {
    for (std::size_t i = m_text.find('\n', offset); i != std::string::npos; i = m_text.find('\n', i + 1)) {
        m_longest = std::max(m_longest, line(m_lineStarts.size() - 1).size());
        m_lineStarts.push_back(i + 1);
    }
    m_longest = std::max(m_longest, line(m_lineStarts.size() - 1).size());
}

std::string ConsoleLines::part(std::int64_t offset, std::int64_t count) const {
    if (offset < 0 || offset > size() || count < 0) throw std::out_of_range("no such part of the console's text");
    return m_text.substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(count));
}

void ConsoleLines::removeHead(std::int64_t count) {
    if (count < 0 || count > size()) throw std::out_of_range("the console holds fewer bytes");
    const auto cut = static_cast<std::size_t>(count);
    m_text.erase(0, cut);
    const auto kept = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), cut);
    std::vector<std::size_t> starts{0};
    starts.reserve(static_cast<std::size_t>(m_lineStarts.end() - kept) + 1);
    for (auto it = kept; it != m_lineStarts.end(); ++it) starts.push_back(*it - cut);
    m_lineStarts.swap(starts);
    m_longest = 0;
    for (std::size_t i = 0; i < m_lineStarts.size(); ++i) m_longest = std::max(m_longest, line(i).size());
}

std::string_view ConsoleLines::line(std::size_t line) const {
    const std::size_t start = m_lineStarts[line];
    std::size_t end = line + 1 < m_lineStarts.size() ? m_lineStarts[line + 1] - 1 : m_text.size();
    if (end > start && m_text[end - 1] == '\r') --end;
    return std::string_view(m_text).substr(start, end - start);
}

std::size_t ConsoleLines::lineOf(std::size_t offset) const {
    return static_cast<std::size_t>(std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), offset) -
                                    m_lineStarts.begin() - 1);
}

}  // namespace app
