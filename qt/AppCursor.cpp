#include "qt/AppCursor.h"

#include <QApplication>
#include <QCursor>
#include <iterator>

namespace qtgui {

using namespace platform;

bool AppCursor::set(std::int16_t code) {
    // The classic pointer codes; 99 (a custom icon) and unknown codes have no Qt shape.
    static const Qt::CursorShape shapes[] = {
        Qt::ArrowCursor,     Qt::ArrowCursor,   Qt::CrossCursor,     Qt::IBeamCursor,
        Qt::ArrowCursor,     Qt::SizeAllCursor, Qt::SizeBDiagCursor, Qt::SizeVerCursor,
        Qt::SizeFDiagCursor, Qt::SizeHorCursor, Qt::UpArrowCursor,   Qt::WaitCursor,
        Qt::ForbiddenCursor, Qt::BusyCursor,    Qt::WhatsThisCursor, Qt::SizeAllCursor};
    if (code < 0 || code >= static_cast<std::int16_t>(std::size(shapes))) return false;
    if (code == 0) {
        while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    } else if (QApplication::overrideCursor()) {
        QApplication::changeOverrideCursor(QCursor(shapes[code]));
    } else {
        QApplication::setOverrideCursor(QCursor(shapes[code]));
    }
    m_code = code;
    return true;
}

}  // namespace qtgui
