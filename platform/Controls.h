#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Geometry.h"

namespace platform {

// The window's controls as the logic sees them. Texts are 8-bit, one byte per
// character; a multi-line text separates its lines with CR LF.

class ITextField {  // edit boxes, multi-line edit boxes and spin fields
public:
    virtual ~ITextField() = default;
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
    virtual void setFocus() = 0;
};

// The output console's view: plain text with a caret, holding the newest
// text of the console (the core keeps the rest in a history file). Appending costs
// in proportion to the appended text, however long the view has grown.
// Offsets outside the text are refused with std::out_of_range.
class IRichText {
public:
    virtual ~IRichText() = default;
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
    virtual std::int64_t length() const = 0;
    // Text = Text + text, in one piece.
    virtual void appendText(const std::string& text) = 0;
    // Up to count bytes of the text from the offset (at most its length).
    virtual std::string textPart(std::int64_t offset, std::int64_t count) const = 0;
    // Takes the first count bytes out of the view; the caret keeps its place in the text after them.
    virtual void removeHead(std::int64_t count) = 0;
    virtual std::int64_t selStart() const = 0;
    virtual void setSelStart(std::int64_t position) = 0;
    // A line shown above the text and no part of it; empty for none.
    virtual void setHeadLine(const std::string& line) = 0;
};

// A line the window shows beside its running indicator: what the server made
// of the last broadcast, or a warning.
class INotice {
public:
    virtual ~INotice() = default;
    virtual std::string text() const = 0;
    virtual bool warning() const = 0;
    virtual void show(const std::string& text, bool warning) = 0;
};

class IButton {
public:
    virtual ~IButton() = default;
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
};

class IImage {
public:
    virtual ~IImage() = default;
    virtual bool visible() const = 0;
    virtual void setVisible(bool visible) = 0;
};

// A window timer: ticks on the event loop every interval milliseconds while
// enabled, never queueing missed ticks.
class ITimer {
public:
    virtual ~ITimer() = default;
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual std::int32_t interval() const = 0;
    virtual void setInterval(std::int32_t milliseconds) = 0;
};

// One tool of the toolbar: an id such as "ID_Exit", and its text (the caption,
// or what a combo-box tool holds).
class ITool {
public:
    virtual ~ITool() = default;
    virtual std::string id() const = 0;
    virtual std::string text() const = 0;
};

// What the toolbar keeps between runs: the game box's text, the tool row's
// arrangement and the console's colours.
struct ToolbarLayout {
    std::string game;
    std::vector<std::string> row;  // the row's tools in order, by id ("ID_Game", "ID_SelectGame")
    std::string place;             // where the row stands: "top", "bottom", "left" or "right"
    bool consoleColours = false;
    // An arrangement in the form an earlier version of the toolbar wrote it,
    // for the toolbar that wrote it; empty once the row is known.
    std::string earlierState;
};

class IToolbar {
public:
    virtual ~IToolbar() = default;
    // The tool at a number from 1 in the collection, or nullptr.
    virtual ITool* tool(int number) = 0;
    virtual ToolbarLayout layout() const = 0;
    virtual void setLayout(const ToolbarLayout& layout) = 0;
};

// The window itself.
class IForm {
public:
    virtual ~IForm() = default;
    virtual std::string caption() const = 0;
    virtual void setCaption(const std::string& caption) = 0;
    // The window's handle, for dialogs it owns.
    virtual WindowHandle hWnd() const = 0;

    // Placement, in the window system's own units.
    virtual double screenWidth() const = 0;
    virtual double screenHeight() const = 0;
    virtual double width() const = 0;
    virtual double height() const = 0;
    virtual void move(double left, double top) = 0;

    // The window's system menu: the command number of the item at a position
    // (from 0; -1 when there is none), and changing an item by its command
    // number (flags: 1 greyed). Position 6 is Close, and an item that no
    // longer carries the close command takes the window's own close away.
    virtual std::int32_t systemMenuItemId(int position) const = 0;
    virtual bool modifySystemMenuItem(std::int32_t id, std::uint32_t flags, std::int32_t newId,
                                      const std::string& text) = 0;
    // Takes the window down for good, after its unload has run.
    virtual void destroy() = 0;
    // A new status has come: what shows the server's values (the message's
    // placeholders in the preview) shows them again.
    virtual void statusChanged() = 0;
};

// The application-wide mouse pointer, by the classic pointer codes (0 the
// default, 11 the hourglass, 13 arrow and hourglass, ...).
inline constexpr std::int16_t kPointerDefault = 0;
inline constexpr std::int16_t kPointerHourglass = 11;

class ICursor {
public:
    virtual ~ICursor() = default;
    virtual std::int32_t current() const = 0;
    // False when the platform has no pointer of that code.
    virtual bool set(std::int16_t code) = 0;
};

// Message boxes with the classic style numbers: buttons OK 0, Yes/No 4;
// icons critical 16, question 32, exclamation 48, information 64; second
// button default 256; system modal 4096. Answers OK 1, Yes 6, No 7.
class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    virtual int show(const std::string& text, int style, const std::string& title) = 0;
};

namespace mb {
inline constexpr int kOkOnly = 0;
inline constexpr int kYesNo = 4;
inline constexpr int kCritical = 16;
inline constexpr int kQuestion = 32;
inline constexpr int kExclamation = 48;
inline constexpr int kInformation = 64;
inline constexpr int kDefaultButton2 = 256;
inline constexpr int kSystemModal = 4096;
inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;
}  // namespace mb

}  // namespace platform
