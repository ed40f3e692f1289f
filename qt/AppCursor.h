#pragma once

#include "platform/Controls.h"

namespace qtgui {

// The application-wide pointer as Qt's override cursor.
class AppCursor : public platform::ICursor {
public:
    std::int32_t current() const override { return m_code; }
    bool set(std::int16_t code) override;

private:
    std::int32_t m_code = 0;
};

}  // namespace qtgui
