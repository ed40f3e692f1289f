#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "app/PlayerActions.h"
#include "platform/PlayerTable.h"

namespace win32 {

// The players of the last status, in a frame of their own: the line above
// them with the Refresh button, and a report-mode list view named "Players"
// on the game's dark ground whose names are drawn in their colours (the
// item's text, which screen readers read, has no codes), bots in italics,
// sorted by the header clicked. A row's menu opens on a right click, the
// menu key or Shift+F10, and lists what the row offers.
class PlayerList : public platform::IPlayerTable {
public:
    static constexpr const char* kClassName = "VexmondPlayers";
    static void registerClass(HINSTANCE instance);

    PlayerList(HWND parent, HINSTANCE instance, HFONT font);
    ~PlayerList() override;
    PlayerList(const PlayerList&) = delete;
    PlayerList& operator=(const PlayerList&) = delete;

    HWND handle() const { return m_hwnd; }
    HWND list() const { return m_list; }
    HWND refreshButton() const { return m_refresh; }
    HWND summaryLabel() const { return m_summary; }
    void setFont(HFONT font);

    void showPlayers(const std::vector<platform::PlayerRow>& rows, const std::string& summary) override;
    std::vector<platform::PlayerRow> rows() const override { return m_rows; }
    std::string summary() const override;
    bool refreshEnabled() const override { return IsWindowEnabled(m_refresh) != FALSE; }
    void setRefreshEnabled(bool enabled) override { EnableWindow(m_refresh, enabled); }
    void setEvents(platform::IPlayerTableEvents* events) override { m_events = events; }

private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK listProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                          DWORD_PTR self);
    void layout();
    void fill();
    LRESULT customDraw(NMLVCUSTOMDRAW& draw);
    void openMenu(int item, POINT at);
    void openMenuOfFocusedRow();

    HWND m_hwnd = nullptr;
    HWND m_summary = nullptr;
    HWND m_refresh = nullptr;
    HWND m_list = nullptr;
    HFONT m_font = nullptr;
    HFONT m_italic = nullptr;
    std::vector<platform::PlayerRow> m_rows;  // as shown
    app::PlayerOrder m_order;
    platform::IPlayerTableEvents* m_events = nullptr;
};

}  // namespace win32
