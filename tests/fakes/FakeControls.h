#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/Controls.h"
#include "platform/DatagramSource.h"
#include "platform/Socket.h"
#include "base/AppError.h"

namespace fakes {

struct FakeTextField : platform::ITextField {
    std::string value;
    explicit FakeTextField(std::string initial = {}) : value(std::move(initial)) {}
    int focused = 0;
    std::string text() const override { return value; }
    void setText(const std::string& t) override { value = t; }
    void setFocus() override { ++focused; }
};

// As strict as the windows' consoles: a part or a head outside the text is
// refused, and the caret stays within the text.
struct FakeRichText : platform::IRichText {
    std::string value;
    std::int64_t caret = 0;
    std::string headLine;
    std::string text() const override { return value; }
    void setText(const std::string& t) override { value = t, caret = 0; }
    std::int64_t length() const override { return static_cast<std::int64_t>(value.size()); }
    void appendText(const std::string& t) override { value += t; }
    std::int64_t selStart() const override { return caret; }
    void setSelStart(std::int64_t p) override { caret = std::clamp<std::int64_t>(p, 0, length()); }
    std::string textPart(std::int64_t offset, std::int64_t count) const override {
        if (offset < 0 || offset > length() || count < 0) throw std::out_of_range("no such part");
        return value.substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(count));
    }
    void removeHead(std::int64_t count) override {
        if (count < 0 || count > length()) throw std::out_of_range("no such head");
        value.erase(0, static_cast<std::size_t>(count));
        caret = std::max<std::int64_t>(0, caret - count);
    }
    void setHeadLine(const std::string& line) override { headLine = line; }
};

struct FakeButton : platform::IButton {
    bool on = true;
    bool enabled() const override { return on; }
    void setEnabled(bool e) override { on = e; }
};

struct FakeNotice : platform::INotice {
    std::string shown;
    bool warned = false;
    std::string text() const override { return shown; }
    bool warning() const override { return warned; }
    void show(const std::string& t, bool w) override { shown = t, warned = w; }
};

struct FakeImage : platform::IImage {
    bool shown;
    explicit FakeImage(bool initial) : shown(initial) {}
    bool visible() const override { return shown; }
    void setVisible(bool v) override { shown = v; }
};

struct FakeTimer : platform::ITimer {
    bool on = false;
    std::int32_t period = 0;
    bool enabled() const override { return on; }
    void setEnabled(bool e) override { on = e; }
    std::int32_t interval() const override { return period; }
    void setInterval(std::int32_t ms) override { period = ms; }
};

struct FakeTool : platform::ITool {
    std::string toolId, caption;
    FakeTool(std::string id, std::string text) : toolId(std::move(id)), caption(std::move(text)) {}
    std::string id() const override { return toolId; }
    std::string text() const override { return caption; }
};

// The toolbar's collection in its order, so that tool 7 is the game box.
struct FakeToolbar : platform::IToolbar {
    std::vector<std::unique_ptr<FakeTool>> tools;
    platform::ToolbarLayout kept = {"Return to Castle Wolfenstein", {"ID_Game", "ID_SelectGame"}, "top", false, {}};
    std::vector<platform::ToolbarLayout> loaded;
    FakeToolbar() {
        const char* ids[] = {"ID_File",        "ID_Exit",  "ID_Game",       "ID_Help",
                             "ID_Information", "ID_About", "ID_SelectGame", "ID_Games"};
        for (const char* id : ids) tools.push_back(std::make_unique<FakeTool>(id, id));
        gameBox().caption = "Return to Castle Wolfenstein";
    }
    FakeTool& gameBox() { return *tools[6]; }
    platform::ITool* tool(int n) override {
        return n >= 1 && n <= static_cast<int>(tools.size()) ? tools[static_cast<std::size_t>(n - 1)].get() : nullptr;
    }
    platform::ToolbarLayout layout() const override {
        platform::ToolbarLayout l = kept;
        l.game = tools[6]->caption;
        return l;
    }
    void setLayout(const platform::ToolbarLayout& l) override {
        loaded.push_back(l);
        kept = l;
        gameBox().caption = l.game;
    }
};

// A 640 x 640 window on a 1920 x 1080 screen, its system menu's Close at
// position 6 until the window takes it away.
struct FakeForm : platform::IForm {
    std::string title = "frmMain";
    int destroyed = 0;
    bool closeEnabled = true;
    platform::WindowHandle hWnd() const override { return 4242; }
    double screenWidth() const override { return 1920; }
    double screenHeight() const override { return 1080; }
    double width() const override { return 640; }
    double height() const override { return 640; }
    void move(double, double) override {}
    std::int32_t systemMenuItemId(int position) const override { return position == 6 && closeEnabled ? 0xF060 : 0; }
    bool modifySystemMenuItem(std::int32_t id, std::uint32_t, std::int32_t newId, const std::string&) override {
        if (id != 0xF060 || !closeEnabled) return false;
        closeEnabled = newId == 0xF060;
        return true;
    }
    std::string caption() const override { return title; }
    void setCaption(const std::string& c) override { title = c; }
    void destroy() override { ++destroyed; }
    int statusesShown = 0;
    void statusChanged() override { ++statusesShown; }
};

// Knows the codes the window's cursor knows: 0 to 15.
struct FakeCursor : platform::ICursor {
    std::int32_t code = 0;
    std::vector<std::int32_t> history;
    std::int32_t current() const override { return code; }
    bool set(std::int16_t c) override {
        if (c < 0 || c > 15) return false;
        code = c;
        history.push_back(c);
        return true;
    }
};

// Records every box shown. A box with only OK answers OK; any other box takes
// the next scripted answer, which must be one of its buttons: a question the
// test did not answer, or an answer the box cannot give, fails the test.
struct FakeMessageBox : platform::IMessageBox {
    struct Shown {
        std::string text;
        int style;
        std::string title;
    };
    std::vector<Shown> shown;
    std::deque<int> answers;
    std::function<void()> during;  // runs while the box is up, as a test's probe
    int show(const std::string& text, int style, const std::string& title) override {
        shown.push_back({text, style, title});
        if (during) during();
        const std::vector<int> buttons = answersOf(style);
        if (buttons.size() == 1 && answers.empty()) return buttons[0];
        if (answers.empty()) {
            ADD_FAILURE() << "no answer scripted for the box \"" << text << "\"";
            return buttons.back();
        }
        const int a = answers.front();
        answers.pop_front();
        if (std::find(buttons.begin(), buttons.end(), a) == buttons.end())
            ADD_FAILURE() << "the box \"" << text << "\" (style " << style << ") has no answer " << a;
        return a;
    }
    // The answers of the window's button sets: Yes, No (4); Yes, No, Cancel
    // (3); OK, Cancel (1); OK for every other style.
    static std::vector<int> answersOf(int style) {
        switch (style & 0xF) {
        case 1: return {1, 2};
        case 3: return {6, 7, 2};
        case 4: return {6, 7};
        default: return {1};
        }
    }
};

// As strict as the real socket: a port outside 1 to 65535 (10014), no host
// (11001, as for any name under .invalid), a second bind (10022), a send on a closed socket (10058), a
// datagram over 65 507 bytes (10040). An error arranged with failNext is
// raised by the next send or read only, as the kernel reports a pending
// error once. A handle of its own while open, for a loop to watch.
struct FakeSocket : platform::ISocket, platform::IDatagramSource {
    std::string host;
    std::int32_t port = 0;
    bool open = false;
    bool failClose = false;
    std::int32_t failNext = 0;
    int closes = 0;
    std::vector<std::string> sent;
    std::deque<std::string> incoming;
    void setRemoteHost(const std::string& h) override { host = h; }
    void setRemotePort(std::int32_t p) override {
        if (p < 1 || p > 65535) fail(10014);
        port = p;
    }
    std::int16_t state() const override { return open ? 1 : 0; }
    void bind() override {
        if (open) fail(10022);
        // Names under .invalid never resolve (RFC 2606), here or anywhere.
        if (host.empty() || (host.size() > 8 && host.ends_with(".invalid"))) fail(11001);
        open = true;
    }
    void sendData(const std::string& d) override {
        if (!open) fail(10058);
        raisePending();
        if (d.size() > 65507) fail(10040);
        sent.push_back(d);
    }
    std::string getData() override {
        if (!open) return {};
        raisePending();
        if (incoming.empty()) return {};
        std::string d = incoming.front();
        incoming.pop_front();
        return d;
    }
    long pendingDatagramSize() override {
        return open && !incoming.empty() ? static_cast<long>(incoming.front().size()) : -1;
    }
    platform::SocketHandle descriptor() const override { return open ? 7 : -1; }
    void watch(std::function<void(platform::SocketHandle)>, std::function<void()>) override {}
    void close() override {
        ++closes;
        if (failClose) throw base::AppError(10038, "vexmond.Winsock", "not a socket");
        open = false;
        failNext = 0;
    }

private:
    [[noreturn]] static void fail(std::int32_t n) {
        throw base::AppError(n, "vexmond.Winsock", "socket says " + std::to_string(n));
    }
    void raisePending() {
        if (const std::int32_t n = std::exchange(failNext, 0)) fail(n);
    }
};

}  // namespace fakes
