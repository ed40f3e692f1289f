#include "win32/MainLayout.h"

#include <commctrl.h>

#include <algorithm>
#include <numeric>
#include <string>

#include "win32/Win32Controls.h"

namespace win32 {

void MainLayout::place(const char* name, int x, int y, int width, int height) const {
    MoveWindow(m_controls[name], x, y, std::max(width, 0), std::max(height, 0), FALSE);
}

// The next control of a row, after the last one and a space.
void MainLayout::flow(const char* name, int width) {
    place(name, m_flowX, m_flowY, width, m.row);
    m_flowX += width + m.space;
}

void MainLayout::spinBeside(const char* edit, const char* spin) const {
    SendMessageA(m_controls[spin], UDM_SETBUDDY, reinterpret_cast<WPARAM>(m_controls[edit]), 0);
}

int MainLayout::textWidth(const char* name) const {
    HWND hwnd = m_controls[name];
    std::string text = windowText(hwnd);
    std::erase(text, '&');  // a mnemonic's mark takes no room (no caption here shows an ampersand)
    return win32::textWidth(hwnd, reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0)), text) + scaled(4);
}

// The message's field in lines of the preview's font, the console in its own.
app::LineMetrics MainLayout::metricsOf(std::string_view control) const {
    if (control == "txtOutput") return {m_console.lineHeight(), m.pad};
    if (control == "txtMsgPreview") return {m_preview.lineHeight(), m_preview.heightFor(1) - m_preview.lineHeight()};
    return {m_preview.lineHeight(), m.pad};
}

// Everything but the stretching areas, from the top of the message's frame down.
int MainLayout::fixedHeight(int top) const {
    const int middle = m.top + m.row + m.gap + m.margin, fixedStatus = m.top + m.row + m.gap * 2;
    return top + m.top + 2 * m.row + m.gap * 4 + m.margin + middle + fixedStatus + m.margin / 2 + m.row + m.margin;
}

void MainLayout::apply(int width, int height, int dpi, std::size_t messageLines) {
    m_dpi = dpi;
    m = Metrics{.margin = scaled(8),
                .row = scaled(24),
                .gap = scaled(6),
                .top = scaled(18),
                .pad = scaled(8),
                .number = scaled(48),
                .space = scaled(4),
                .inner = width - 2 * scaled(8),
                .x = scaled(16)};
    m_toolbar.resize(width);
    m_leastWidth = 0;
    const int y = server(m_toolbar.height() + m.margin / 2);
    const auto areas = app::stretchAreas([this](std::string_view c) { return metricsOf(c); }, messageLines);
    m_shape = app::WindowShape{.fixedHeight = fixedHeight(y),
                               .leastWidth = 0,
                               .preferredWidth = scaled(app::kPreferredWindowWidth),
                               .areas = areas};
    const auto heights = app::shareHeight(areas, height - m_shape.fixedHeight);
    const auto heightOf = [&heights](std::string_view control) {
        for (std::size_t i = 0; i < heights.size(); ++i)
            if (app::kStretchAreas[i].control == control) return heights[i];
        return 0;
    };
    const int below = message(y, heightOf("txtMsg"), heightOf("txtMsgPreview"));
    bottomRow(console(options(below), heightOf("txtOutput")));
    m_shape.leastWidth = m_leastWidth;
    InvalidateRect(m_controls.parent(), nullptr, TRUE);
}

SIZE MainLayout::leastClient() const {
    const int least = std::accumulate(m_shape.areas.begin(), m_shape.areas.end(), m_shape.fixedHeight,
                                      [](int sum, const app::StretchArea& a) { return sum + a.least; });
    return SIZE{m_shape.leastWidth, least};
}

// Server information: two rows.
int MainLayout::server(int y) {
    const int height = m.top + 2 * m.row + 2 * m.gap, x = m.x, inner = m.inner;
    place("fraServer", m.margin, y, inner, height);
    const int buttonWidth = scaled(110), labelWidth = std::max({scaled(64), textWidth("lblIP"), textWidth("lblPort")}),
              passwordLabel = textWidth("lblRconPass");
    place("lblIP", x, y + m.top, labelWidth, m.row);
    place("txtIP", x + labelWidth, y + m.top, inner - labelWidth - buttonWidth - scaled(24), scaled(200));
    place("cmdIP", m.margin + inner - buttonWidth - m.pad, y + m.top, buttonWidth, m.row);
    const int y2 = y + m.top + m.row + m.gap;
    place("lblPort", x, y2, labelWidth, m.row);
    place("txtPort", x + labelWidth, y2, scaled(90), m.row);
    place("lblRconPass", x + labelWidth + scaled(100), y2, passwordLabel, m.row);
    place("txtPassword", x + labelWidth + scaled(102) + passwordLabel, y2,
          inner - labelWidth - scaled(118) - passwordLabel, m.row);
    m_leastWidth = x + labelWidth + scaled(102) + passwordLabel + scaled(80) + m.pad + m.margin;
    return y + height + m.margin;
}

// The message, its preview and its timing.
int MainLayout::message(int y, int messageHeight, int previewHeight) {
    const int height = m.top + messageHeight + m.gap + previewHeight + m.gap + 2 * m.row + 2 * m.gap;
    place("Frame2", m.margin, y, m.inner, height);
    place("txtMsg", m.x, y + m.top, m.inner - 2 * m.pad, messageHeight);
    place("txtMsgPreview", m.x, y + m.top + messageHeight + m.gap, m.inner - 2 * m.pad, previewHeight);
    m_flowX = m.x;
    m_flowY = y + m.top + messageHeight + m.gap + previewHeight + m.gap;
    flow("lblMinutes", textWidth("lblMinutes"));
    flow("txtSeverMessageTime", m.number);
    spinBeside("txtSeverMessageTime", "spnSeverMessageTime");
    m_flowX += m.space;
    flow("lblMinutes2", textWidth("lblMinutes2"));
    flow("txtMsgDelay", m.number);
    spinBeside("txtMsgDelay", "spnMsgDelay");
    m_flowX += m.space;
    flow("lblSeconds", textWidth("lblSeconds"));
    const int warning = textWidth("lblWarning");
    place("lblWarning", m_flowX, m_flowY, std::max(warning, m.margin + m.inner - m.pad - m_flowX), m.row);
    m_leastWidth = std::max(m_leastWidth, m_flowX + warning + m.pad + m.margin);
    // Which lines go, and when: the check box at the left, the players at the right.
    m_flowX = m.x;
    m_flowY += m.row + m.gap;
    const int check = textWidth("chkMsgRotate") + scaled(20);
    flow("chkMsgRotate", check);
    const int players = textWidth("lblMinPlayers") + m.number + textWidth("lblPlayersOn") + 2 * m.space;
    m_flowX = std::max(m_flowX, m.margin + m.inner - m.pad - players);
    flow("lblMinPlayers", textWidth("lblMinPlayers"));
    flow("txtMinPlayers", m.number);
    spinBeside("txtMinPlayers", "spnMinPlayers");
    flow("lblPlayersOn", textWidth("lblPlayersOn"));
    m_leastWidth = std::max(m_leastWidth, m.x + check + m.space + players + m.pad + m.margin);
    return y + height + m.margin;
}

// Options and the manual command, side by side.
int MainLayout::options(int y) {
    const int middle = m.top + m.row + m.gap + m.margin;
    const int optionsWidth = std::max(
        scaled(240), 2 * m.pad + textWidth("lblStatusEvery") + m.number + 3 * m.space + textWidth("lblStatusMinutes"));
    place("Frame1", m.margin, y, optionsWidth, middle - m.margin);
    m_flowX = m.x;
    m_flowY = y + m.top;
    flow("lblStatusEvery", textWidth("lblStatusEvery"));
    flow("txtStatus", m.number);
    spinBeside("txtStatus", "spnStatus");
    m_flowX += m.space;
    flow("lblStatusMinutes", textWidth("lblStatusMinutes"));
    place("fraManualRcon", m.margin + optionsWidth + m.margin, y, m.inner - optionsWidth - m.margin, middle - m.margin);
    place("txtSendCommand", m.margin * 2 + optionsWidth + m.pad, y + m.top,
          m.inner - optionsWidth - m.margin - scaled(96), m.row);
    place("cmdSend", m.margin + m.inner - scaled(80), y + m.top, scaled(72), m.row);
    m_leastWidth = std::max(m_leastWidth, optionsWidth + 3 * m.margin + scaled(96) + scaled(120));
    return y + middle;
}

// The console and its buttons.
int MainLayout::console(int y, int consoleHeight) {
    const int fixedStatus = m.top + m.row + m.gap * 2, buttons = y + m.top + consoleHeight + m.gap;
    place("fraStatus", m.margin, y, m.inner, fixedStatus + consoleHeight);
    place("txtOutput", m.x, y + m.top, m.inner - 2 * m.pad, consoleHeight);
    place("tblPlayers", m.x, y + m.top, m.inner - 2 * m.pad, consoleHeight);
    // The link stands under the console, so that the row of the indicator
    // has room for what the server made of the last broadcast.
    place("SSHotLink1", m.x, buttons, textWidth("SSHotLink1"), m.row);
    place("cmdPlayers", m.margin + m.inner - scaled(252), buttons, scaled(76), m.row);
    place("cmdSave", m.margin + m.inner - scaled(168), buttons, scaled(76), m.row);
    place("cmdClear", m.margin + m.inner - scaled(84), buttons, scaled(76), m.row);
    return y + fixedStatus + consoleHeight + m.margin / 2;
}

// Start, stop, close, and the running indicator.
void MainLayout::bottomRow(int y) {
    m_flowX = m.margin;
    m_flowY = y;
    flow("cmdStart", scaled(76));
    flow("cmdStop", scaled(76));
    flow("cmdClose", scaled(76));
    m_flowX += scaled(16);
    flow("lblRunning", textWidth("lblRunning"));
    const int light = scaled(18);
    place("imgConnected", m_flowX, y + (m.row - light) / 2, light, light);
    place("imgNotConnected", m_flowX, y + (m.row - light) / 2, light, light);
    m_flowX += scaled(22);
    flow("lblOnLine", textWidth("lblOnLine"));
    place("lblHeard", m_flowX + scaled(8), y, std::max(0, m.margin + m.inner - m_flowX - scaled(8)), m.row);
    m_leastWidth = std::max(m_leastWidth, m_flowX + scaled(16) + m.margin);
}

}  // namespace win32
