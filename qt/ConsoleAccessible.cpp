#include "qt/ConsoleAccessible.h"

#include <algorithm>
#include <climits>

#include "qt/ConsoleView.h"

namespace qtgui {

namespace {

int shownInt(std::int64_t offset) { return static_cast<int>(std::clamp<std::int64_t>(offset, 0, INT_MAX)); }

QAccessibleInterface* consoleFactory(const QString&, QObject* object) {
    if (auto* view = qobject_cast<ConsoleView*>(object)) return new ConsoleAccessible(view);
    return nullptr;
}

}  // namespace

void installConsoleAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&consoleFactory);
        return true;
    }();
    (void)installed;
}

ConsoleAccessible::ConsoleAccessible(ConsoleView* view) : QAccessibleWidget(view, QAccessible::EditableText) {}

ConsoleView* ConsoleAccessible::view() const { return static_cast<ConsoleView*>(widget()); }

void* ConsoleAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State ConsoleAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    s.multiLine = true;
    s.selectableText = true;
    return s;
}

QString ConsoleAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Value) return view()->shownText(0, view()->length());
    return QAccessibleWidget::text(t);
}

void ConsoleAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || selectionCount() == 0) return;
    *startOffset = shownInt(view()->shownOffset(std::min(view()->anchor(), view()->selStart())));
    *endOffset = shownInt(view()->shownOffset(std::max(view()->anchor(), view()->selStart())));
}

int ConsoleAccessible::selectionCount() const { return view()->anchor() != view()->selStart() ? 1 : 0; }

void ConsoleAccessible::addSelection(int startOffset, int endOffset) { setSelection(0, startOffset, endOffset); }

void ConsoleAccessible::removeSelection(int) { view()->select(view()->selStart(), view()->selStart()); }

void ConsoleAccessible::setSelection(int, int startOffset, int endOffset) {
    view()->select(view()->byteOffset(startOffset), view()->byteOffset(endOffset));
}

int ConsoleAccessible::cursorPosition() const { return shownInt(view()->shownOffset(view()->selStart())); }

void ConsoleAccessible::setCursorPosition(int position) {
    const std::int64_t at = view()->byteOffset(position);
    view()->select(at, at);
}

QString ConsoleAccessible::text(int startOffset, int endOffset) const {
    return view()->shownText(view()->byteOffset(startOffset), view()->byteOffset(endOffset));
}

int ConsoleAccessible::characterCount() const { return shownInt(view()->shownOffset(view()->length())); }

QRect ConsoleAccessible::characterRect(int offset) const {
    const QRect r = view()->byteRect(view()->byteOffset(offset));
    return QRect(view()->viewport()->mapToGlobal(r.topLeft()), r.size());
}

int ConsoleAccessible::offsetAtPoint(const QPoint& point) const {
    return shownInt(view()->shownOffset(view()->offsetAt(view()->viewport()->mapFromGlobal(point))));
}

void ConsoleAccessible::scrollToSubstring(int startIndex, int) {
    view()->scrollToOffset(view()->byteOffset(startIndex));
}

QString ConsoleAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    *startOffset = 0;
    *endOffset = std::max(offset, characterCount());
    return {};
}

}  // namespace qtgui
