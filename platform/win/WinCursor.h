#pragma once

#include "platform/Controls.h"

namespace platform::win {

// The application's pointer by the classic codes, as the standard cursors
// (LoadCursor). The window shows current() over itself when Windows asks
// (WM_SETCURSOR); set() changes the pointer at once.
class WinCursor : public ICursor {
public:
    std::int32_t current() const override { return m_code; }
    bool set(std::int16_t code) override;
    // The cursor of the current code, for WM_SETCURSOR.
    void* handle() const;

private:
    std::int32_t m_code = 0;
};

}  // namespace platform::win
