#pragma once

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>
#include <xcb/xtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

namespace testsupport {

// A second connection to the X display that looks at the program's windows
// as the window manager sees them, through the EWMH properties and messages
// (libxcb-ewmh), and clicks as a user does.
class XProbe {
public:
    struct Rect {
        int x = 0, y = 0, width = 0, height = 0;
    };

    XProbe() : m_c(xcb_connect(nullptr, nullptr)) {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
        xcb_ewmh_init_atoms_replies(&m_ewmh, xcb_ewmh_init_atoms(m_c, &m_ewmh), nullptr);
        // Qt answers a ping on the root window with StructureNotify.
        const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_c, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_c);
    }
    ~XProbe() {
        xcb_ewmh_connection_wipe(&m_ewmh);
        xcb_disconnect(m_c);
    }
    XProbe(const XProbe&) = delete;
    XProbe& operator=(const XProbe&) = delete;

    bool ok() const { return xcb_connection_has_error(m_c) == 0; }

    // A window manager has taken over the display (_NET_SUPPORTING_WM_CHECK).
    bool managed() {
        xcb_window_t check = 0;
        return xcb_ewmh_get_supporting_wm_check_reply(&m_ewmh, xcb_ewmh_get_supporting_wm_check(&m_ewmh, m_root),
                                                      &check, nullptr) &&
               check != 0;
    }

    // The title the window manager shows (_NET_WM_NAME).
    std::string title(xcb_window_t w) {
        xcb_ewmh_get_utf8_strings_reply_t name;
        if (!xcb_ewmh_get_wm_name_reply(&m_ewmh, xcb_ewmh_get_wm_name(&m_ewmh, w), &name, nullptr)) return {};
        std::string t(name.strings, name.strings_len);
        xcb_ewmh_get_utf8_strings_reply_wipe(&name);
        return t;
    }

    // A shown window with this title, among the root's children and theirs
    // (a window manager's frame holds the program's window); 0 if none.
    xcb_window_t findShown(const std::string& wanted, xcb_window_t parent = 0, int depth = 2) {
        auto* tree = xcb_query_tree_reply(m_c, xcb_query_tree(m_c, parent ? parent : m_root), nullptr);
        if (!tree) return 0;
        const xcb_window_t* children = xcb_query_tree_children(tree);
        xcb_window_t found = 0;
        for (int i = 0; i < xcb_query_tree_children_length(tree) && !found; ++i) {
            auto* a = xcb_get_window_attributes_reply(m_c, xcb_get_window_attributes(m_c, children[i]), nullptr);
            const bool shown = a && a->map_state == XCB_MAP_STATE_VIEWABLE;
            std::free(a);
            if (shown && title(children[i]) == wanted)
                found = children[i];
            else if (shown && depth > 1)
                found = findShown(wanted, children[i], depth - 1);
        }
        std::free(tree);
        return found;
    }

    // The outer rectangle on the screen: the window with the frame the
    // window manager gives it (_NET_FRAME_EXTENTS), if any.
    Rect outer(xcb_window_t w) {
        xcb_ewmh_get_extents_reply_t frame{};
        if (!xcb_ewmh_get_frame_extents_reply(&m_ewmh, xcb_ewmh_get_frame_extents(&m_ewmh, w), &frame, nullptr))
            frame = {};
        Rect r;
        auto* g = xcb_get_geometry_reply(m_c, xcb_get_geometry(m_c, w), nullptr);
        auto* t = xcb_translate_coordinates_reply(m_c, xcb_translate_coordinates(m_c, w, m_root, 0, 0), nullptr);
        if (g && t)
            r = Rect{t->dst_x - static_cast<int>(frame.left), t->dst_y - static_cast<int>(frame.top),
                     g->width + static_cast<int>(frame.left + frame.right),
                     g->height + static_cast<int>(frame.top + frame.bottom)};
        std::free(t);
        std::free(g);
        return r;
    }

    Rect screen() {
        const xcb_screen_t* s = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data;
        return Rect{0, 0, s->width_in_pixels, s->height_in_pixels};
    }

    // What the title bar's close button does: WM_DELETE_WINDOW to the window.
    void requestClose(xcb_window_t w) {
        const char* name = "WM_DELETE_WINDOW";
        auto* a = xcb_intern_atom_reply(
            m_c, xcb_intern_atom(m_c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
        sendProtocol(w, a ? a->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE), XCB_CURRENT_TIME);
        std::free(a);
    }

    // Sends the window manager's _NET_WM_PING to the window and waits for the
    // client's answer on the root window; the milliseconds it took, or -1.
    long ping(xcb_window_t w, int timeoutMs) {
        const std::uint32_t stamp = ++m_stamp;
        const auto start = std::chrono::steady_clock::now();
        sendProtocol(w, m_ewmh._NET_WM_PING, stamp);
        for (long elapsed = 0; elapsed <= timeoutMs;) {
            std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> e(xcb_poll_for_event(m_c), &std::free);
            const auto* m = reinterpret_cast<const xcb_client_message_event_t*>(e.get());
            elapsed =
                std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
            if (!e) std::this_thread::sleep_for(std::chrono::milliseconds(5));
            if (e && (e->response_type & 0x7f) == XCB_CLIENT_MESSAGE && m->window == m_root &&
                m->data.data32[0] == m_ewmh._NET_WM_PING && m->data.data32[1] == stamp)
                return elapsed;
        }
        return -1;
    }

    // A real click of the left button at a point of the screen, through the
    // X server's input queue as a user's click goes (XTEST).
    void click(int x, int y) {
        xcb_test_fake_input(m_c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, m_root, static_cast<std::int16_t>(x),
                            static_cast<std::int16_t>(y), 0);
        xcb_test_fake_input(m_c, XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_test_fake_input(m_c, XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_flush(m_c);
    }

private:
    // A WM_PROTOCOLS message to the client that made the window, as a
    // window manager sends it (libxcb-ewmh's own helper sends it to the
    // window's substructure, where the client does not listen).
    void sendProtocol(xcb_window_t w, xcb_atom_t protocol, std::uint32_t stamp) {
        xcb_client_message_event_t ev{};
        ev.response_type = XCB_CLIENT_MESSAGE;
        ev.format = 32;
        ev.window = w;
        ev.type = m_ewmh.WM_PROTOCOLS;
        ev.data.data32[0] = protocol;
        ev.data.data32[1] = stamp;
        ev.data.data32[2] = w;
        xcb_send_event(m_c, 0, w, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&ev));
        xcb_flush(m_c);
    }

    xcb_connection_t* m_c;
    xcb_ewmh_connection_t m_ewmh{};
    xcb_window_t m_root = 0;
    std::uint32_t m_stamp = 1000;
};

}  // namespace testsupport
