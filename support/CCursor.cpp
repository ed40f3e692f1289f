#include "support/CCursor.h"

#include <limits>

#include "base/ErrorTable.h"

namespace support {

namespace {
const base::ErrorTable& errors() {
    static const base::ErrorTable table(".CCursor", CCursor::kErrComponentFailure, {});
    return table;
}
}  // namespace

CCursor::CCursor(platform::ICursor& cursor) : m_cursor(cursor) {
    errors().guard([&] { m_lSavedCursor = m_cursor.current(); });
}

CCursor::~CCursor() {
    if (m_lSavedCursor == 0) return;  // the default pointer is not put back
    base::skipOnFailure([&] { apply(m_lSavedCursor); });
}

void CCursor::apply(std::int32_t code) {
    if (code < std::numeric_limits<std::int16_t>::min() || code > std::numeric_limits<std::int16_t>::max())
        throw base::runtimeError(base::kErrOverflow);
    if (!m_cursor.set(static_cast<std::int16_t>(code))) throw base::runtimeError(380);  // invalid property value
}

void CCursor::RestoreCursor() {
    errors().guard([&] { apply(m_lSavedCursor); });
}

void CCursor::SetCursor(std::int32_t cursor) {
    errors().guard([&] { apply(cursor); });
}

}  // namespace support
