#include "support/CCursor.h"

#include <limits>

#include "support/AppError.h"

namespace support {

namespace {
const ComponentFailure& failure() {
    static const ComponentFailure f{objectError(CCursor::kErrComponentFailure), classSource(".CCursor"),
                                    "CCursor component failure"};
    return f;
}
}  // namespace

CCursor::CCursor(platform::ICursor& cursor) : m_cursor(cursor) {
    guardMember(failure(), {}, [&] { m_lSavedCursor = m_cursor.current(); });
}

CCursor::~CCursor() {
    if (m_lSavedCursor == 0) return;  // the default pointer is not put back
    skipOnFailure([&] { apply(m_lSavedCursor); });
}

void CCursor::apply(std::int32_t code) {
    if (code < std::numeric_limits<std::int16_t>::min() || code > std::numeric_limits<std::int16_t>::max())
        throw runtimeError(kErrOverflow);
    if (!m_cursor.set(static_cast<std::int16_t>(code))) throw runtimeError(380);  // invalid property value
}

void CCursor::RestoreCursor() {
    guardMember(failure(), {}, [&] { apply(m_lSavedCursor); });
}

void CCursor::SetCursor(std::int32_t cursor) {
    guardMember(failure(), {}, [&] { apply(cursor); });
}

}  // namespace support
