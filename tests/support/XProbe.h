#pragma once

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

namespace testsupport {

// A second connection to the X display that looks at the program's windows
// as the window manager sees them.
class XProbe {
public:
    struct Rect {
        int x = 0, y = 0, width = 0, height = 0;
    };

    XProbe() : m_c(xcb_connect(nullptr, nullptr)) {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
        // Qt answers a ping on the root window with StructureNotify.
        const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_c, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_c);
    }
    ~XProbe() { xcb_disconnect(m_c); }
    XProbe(const XProbe&) = delete;
    XProbe& operator=(const XProbe&) = delete;

    bool ok() const { return xcb_connection_has_error(m_c) == 0; }
    xcb_window_t root() const { return m_root; }

    xcb_atom_t atom(const char* name) {
        auto* r = xcb_intern_atom_reply(
            m_c, xcb_intern_atom(m_c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
        const xcb_atom_t a = r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
        std::free(r);
        return a;
    }

    // The title the window manager shows: _NET_WM_NAME, else WM_NAME.
    std::string title(xcb_window_t w) {
        std::string t = property(w, atom("_NET_WM_NAME"));
        return t.empty() ? property(w, XCB_ATOM_WM_NAME) : t;
    }

    std::string property(xcb_window_t w, xcb_atom_t name) {
        auto* r =
            xcb_get_property_reply(m_c, xcb_get_property(m_c, 0, w, name, XCB_GET_PROPERTY_TYPE_ANY, 0, 4096), nullptr);
        if (!r) return {};
        std::string value(static_cast<const char*>(xcb_get_property_value(r)),
                          static_cast<std::size_t>(xcb_get_property_value_length(r)));
        std::free(r);
        return value;
    }

    // The outer rectangle on the screen: the window manager's frame around
    // the window where there is one, the window itself otherwise.
    Rect outer(xcb_window_t w) {
        xcb_window_t top = w;
        for (;;) {
            auto* tree = xcb_query_tree_reply(m_c, xcb_query_tree(m_c, top), nullptr);
            if (!tree) break;
            const xcb_window_t parent = tree->parent;
            std::free(tree);
            if (parent == m_root || parent == XCB_WINDOW_NONE) break;
            top = parent;
        }
        Rect r;
        if (auto* g = xcb_get_geometry_reply(m_c, xcb_get_geometry(m_c, top), nullptr)) {
            auto* t = xcb_translate_coordinates_reply(m_c, xcb_translate_coordinates(m_c, top, m_root, 0, 0), nullptr);
            r = Rect{t ? t->dst_x - g->border_width : g->x, t ? t->dst_y - g->border_width : g->y,
                     g->width + 2 * g->border_width, g->height + 2 * g->border_width};
            std::free(t);
            std::free(g);
        }
        return r;
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

    Rect screen() {
        const xcb_screen_t* s = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data;
        return Rect{0, 0, s->width_in_pixels, s->height_in_pixels};
    }

    // What the title bar's close button does: WM_DELETE_WINDOW to the window.
    void requestClose(xcb_window_t w) { sendProtocol(w, atom("WM_DELETE_WINDOW"), XCB_CURRENT_TIME); }

    // Sends the window manager's _NET_WM_PING to the window and waits for the
    // client's answer on the root window; the milliseconds it took, or -1.
    long ping(xcb_window_t w, int timeoutMs) {
        const xcb_atom_t pingAtom = atom("_NET_WM_PING");
        const std::uint32_t stamp = ++m_stamp;
        const auto start = std::chrono::steady_clock::now();
        sendProtocol(w, pingAtom, stamp);
        for (long elapsed = 0; elapsed <= timeoutMs;) {
            std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> e(xcb_poll_for_event(m_c), &std::free);
            const auto* m = reinterpret_cast<const xcb_client_message_event_t*>(e.get());
            elapsed =
                std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
            if (!e) std::this_thread::sleep_for(std::chrono::milliseconds(5));
            if (e && (e->response_type & 0x7f) == XCB_CLIENT_MESSAGE && m->window == m_root &&
                m->data.data32[0] == pingAtom && m->data.data32[1] == stamp)
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
    void sendProtocol(xcb_window_t w, xcb_atom_t protocol, std::uint32_t stamp) {
        xcb_client_message_event_t ev{};
        ev.response_type = XCB_CLIENT_MESSAGE;
        ev.format = 32;
        ev.window = w;
        ev.type = atom("WM_PROTOCOLS");
        ev.data.data32[0] = protocol;
        ev.data.data32[1] = stamp;
        ev.data.data32[2] = w;
        xcb_send_event(m_c, 0, w, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&ev));
        xcb_flush(m_c);
    }

    xcb_connection_t* m_c;
    xcb_window_t m_root = 0;
    std::uint32_t m_stamp = 1000;
};

}  // namespace testsupport
