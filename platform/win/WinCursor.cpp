#include "platform/win/WinCursor.h"

#include <windows.h>

#include <iterator>

namespace platform::win {

namespace {
// By code: 0 default, 1 arrow, 2 cross, 3 I-beam, 4 icon, 5 size, 6 to 9 the
// four sizing directions, 10 up arrow, 11 hourglass, 12 no drop, 13 arrow and
// hourglass, 14 arrow and question mark, 15 size all. 99 (a custom icon) has none.
const LPCSTR kCursors[] = {IDC_ARROW,    IDC_ARROW,       IDC_CROSS,    IDC_IBEAM,  IDC_ICON,    IDC_SIZEALL,
                           IDC_SIZENESW, IDC_SIZENS,      IDC_SIZENWSE, IDC_SIZEWE, IDC_UPARROW, IDC_WAIT,
                           IDC_NO,       IDC_APPSTARTING, IDC_HELP,     IDC_SIZEALL};
}  // namespace

bool WinCursor::set(std::int16_t code) {
    if (code < 0 || code >= static_cast<std::int16_t>(std::size(kCursors))) return false;
    m_code = code;
    SetCursor(static_cast<HCURSOR>(handle()));
    return true;
}

void* WinCursor::handle() const { return LoadCursorA(nullptr, kCursors[m_code]); }

}  // namespace platform::win
