#pragma once

#include <cstdint>

#include "platform/Controls.h"

namespace support {

// Switches the application-wide mouse pointer and puts back the one that
// was showing when the object was made.
class CCursor {
public:
    static constexpr std::int32_t kErrComponentFailure = 17281;

    explicit CCursor(platform::ICursor& cursor);
    ~CCursor();
    CCursor(const CCursor&) = delete;
    CCursor& operator=(const CCursor&) = delete;

    void RestoreCursor();
    void SetCursor(std::int32_t cursor = 0);

private:
    void apply(std::int32_t code);

    platform::ICursor& m_cursor;
    std::int32_t m_lSavedCursor = 0;
};

}  // namespace support
