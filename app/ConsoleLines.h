#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace app {

// The bytes a console's view holds, exactly as they came (CR LF, NUL, every
// byte), and where each of their lines starts: what both windows draw from,
// so that an append costs what it appends, a view paints only its lines in
// sight, and what it holds costs little more than its bytes. A line ends
// after its LF; it is shown without its LF and the CR before it.
class ConsoleLines {
public:
    const std::string& text() const { return m_text; }
    std::int64_t size() const { return static_cast<std::int64_t>(m_text.size()); }
    // Replaces the bytes; an emptied view gives its memory back.
    void assign(const std::string& text);
    void append(std::string_view text);
    // Up to count bytes from the offset, which lies within the bytes or at their end.
    std::string part(std::int64_t offset, std::int64_t count) const;
    // Takes the first count bytes (at most all) out.
    void removeHead(std::int64_t count);

    std::size_t lineCount() const { return m_lineStarts.size(); }
    std::size_t lineStart(std::size_t line) const { return m_lineStarts[line]; }
    // The line's bytes without its end.
    std::string_view line(std::size_t line) const;
    // The line an offset lies in (the line end belongs to its line).
    std::size_t lineOf(std::size_t offset) const;
    // The length of the longest line, without its end.
    std::size_t longestLine() const { return m_longest; }
    // The memory the bytes and their index take (what the bytes' buffer has
    // room for beyond them is never touched, and takes none).
    std::size_t heldBytes() const { return m_text.size() + m_lineStarts.capacity() * sizeof(std::size_t); }

private:
    void indexFrom(std::size_t offset);

    std::string m_text;
    std::vector<std::size_t> m_lineStarts{0};
    std::size_t m_longest = 0;
};

}  // namespace app
