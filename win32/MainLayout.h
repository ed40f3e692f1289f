#pragma once

#include <windows.h>

#include <cstddef>
#include <string_view>

#include "app/WindowFit.h"
#include "win32/ConsoleControl.h"
#include "win32/GameToolbar.h"
#include "win32/MessagePreview.h"
#include "win32/NamedControls.h"

namespace win32 {

// Where the main window's controls go in its client area: rows of fixed
// height, labels as wide as their texts, spacing in units of 96 dots per
// inch, and the areas that stretch with the window sharing the rest by the
// core's rule. It knows the window's shape from its last layout.
class MainLayout {
public:
    MainLayout(const NamedControls& controls, GameToolbar& toolbar, MessagePreview& preview, ConsoleControl& console)
        : m_controls(controls), m_toolbar(toolbar), m_preview(preview), m_console(console) {}

    // Lays the controls out in a client area of this size, at these dots per
    // inch, for a message of so many lines.
    void apply(int width, int height, int dpi, std::size_t messageLines);
    // The shape of the last layout: what does not stretch, the least width
    // and the width the window asks for.
    const app::WindowShape& shape() const { return m_shape; }
    // The smallest client area that shows every control.
    SIZE leastClient() const;

private:
    // Spacing, at the window's dots per inch, and the frames' bounds.
    struct Metrics {
        int margin, row, gap, top, pad, number, space;
        int inner;  // the frames' width
        int x;      // the frames' left inner edge
    };
    int scaled(int dip) const { return MulDiv(dip, m_dpi, 96); }
    int textWidth(const char* name) const;
    void place(const char* name, int x, int y, int width, int height) const;
    void flow(const char* name, int width);
    void spinBeside(const char* edit, const char* spin) const;
    app::LineMetrics metricsOf(std::string_view control) const;
    int fixedHeight(int top) const;
    int server(int y);
    int message(int y, int messageHeight, int previewHeight);
    int options(int y);
    int console(int y, int consoleHeight);
    void bottomRow(int y);

    const NamedControls& m_controls;
    GameToolbar& m_toolbar;
    MessagePreview& m_preview;
    ConsoleControl& m_console;
    int m_dpi = 96;
    Metrics m{};
    int m_leastWidth = 0;
    int m_flowX = 0, m_flowY = 0;  // where the next control of a row goes
    app::WindowShape m_shape;
};

}  // namespace win32
