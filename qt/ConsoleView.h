#pragma once

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QTimer>
#include <optional>
#include <string>

#include "app/ColourCodes.h"
#include "app/ConsoleLines.h"
#include "platform/Controls.h"

namespace qtgui {

// The output console: a view of its own over the exact bytes it is given and
// the index of their lines (as the Win32 console keeps them), because a text
// document costs several times the text it holds. It paints only the lines
// in sight, in the game's colours when asked, and a line above the text that
// is no part of it. It selects with the mouse and the keyboard, copies, and
// tells assistive technology its text (ConsoleAccessible). Nothing in it is
// read as markup; a NUL shows as the control picture of NUL, and so does a
// carriage return that ends no line.
//
// Appends reach the screen after the pass of the event loop that made them,
// and during a flood at most every kFlushMs, so that a burst of replies is
// laid out and painted once, not once a reply.
class ConsoleView : public QAbstractScrollArea, public platform::IRichText {
    Q_OBJECT
public:
    explicit ConsoleView(QWidget* parent = nullptr);
    static constexpr int kFlushMs = 25;

    std::string text() const override { return m_lines.text(); }
    void setText(const std::string& text) override;
    std::int64_t length() const override { return m_lines.size(); }
    void appendText(const std::string& text) override;
    std::string textPart(std::int64_t offset, std::int64_t count) const override;
    void removeHead(std::int64_t count) override;
    std::int64_t selStart() const override { return m_caret; }
    void setSelStart(std::int64_t position) override;
    void setHeadLine(const std::string& line) override;

    // Colours the text by the game's codes, or shows it plain.
    void setColours(std::optional<app::ColourCodes> rule);
    // Brings the screen up to the text now rather than on the next pass.
    void flush();

    // The text as it is shown between two offsets of the bytes: lines joined
    // by line feeds, what copying and assistive technology get.
    QString shownText(std::int64_t from, std::int64_t to) const;
    // Offsets of the shown text and of the bytes, one into the other.
    std::int64_t shownOffset(std::int64_t byte) const;
    std::int64_t byteOffset(std::int64_t shown) const;
    const QString& headLine() const { return m_headLine; }
    std::int64_t anchor() const { return m_anchor; }
    void select(std::int64_t anchor, std::int64_t caret);
    // Where the byte at the offset is drawn, in the viewport; and the offset drawn at a point.
    QRect byteRect(std::int64_t offset) const;
    std::int64_t offsetAt(QPoint point) const;
    void scrollToOffset(std::int64_t offset);
    // The memory the view holds: its bytes and their index.
    std::size_t heldBytes() const { return m_lines.heldBytes(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int headRows() const { return m_headLine.isEmpty() ? 0 : 1; }
    int visibleRows() const;
    void refreshLater();
    void updateScrollBars();
    void showCaret();
    void copySelection() const;
    void paintLine(class QPainter& painter, std::size_t line, int y) const;

    app::ConsoleLines m_lines;
    QString m_headLine;
    std::optional<app::ColourCodes> m_rule;
    std::int64_t m_anchor = 0, m_caret = 0;
    int m_lineHeight = 16;
    qreal m_charWidth = 8, m_ascent = 12;
    bool m_dragging = false;
    bool m_caretUnshown = false;
    std::int64_t m_shownUpTo = 0;  // the bytes assistive technology has been told of
    QTimer m_flushTimer;
    QElapsedTimer m_sinceFlush;
};

}  // namespace qtgui
