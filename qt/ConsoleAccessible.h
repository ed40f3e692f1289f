#pragma once

#include <QAccessibleWidget>

namespace qtgui {

class ConsoleView;

// What assistive technology reads of the console: a read-only multi-line
// text over what the view shows, with its caret and selection, and the line
// above the text as its description.
class ConsoleAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ConsoleAccessible(ConsoleView* view);
    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    ConsoleView* view() const;
};

// Makes the console's accessible interface the one Qt gives out for it; once.
void installConsoleAccessibility();

}  // namespace qtgui
