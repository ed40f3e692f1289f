#include "win32/Win32Controls.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "platform/ListSearch.h"
#include "support/LeadingNumber.h"

namespace win32 {

std::string windowText(HWND hwnd) {
    const int n = GetWindowTextLengthA(hwnd);
    if (n <= 0) return {};
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(hwnd, text.data(), n + 1)));
    return text;
}

namespace {

// The window's device context with the font chosen, for the length of one measure.
class FontContext {
public:
    FontContext(HWND window, HFONT font) : m_window(window), m_dc(GetDC(window)), m_old(SelectObject(m_dc, font)) {}
    ~FontContext() {
        SelectObject(m_dc, m_old);
        ReleaseDC(m_window, m_dc);
    }
    FontContext(const FontContext&) = delete;
    FontContext& operator=(const FontContext&) = delete;
    HDC dc() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
    HGDIOBJ m_old;
};

}  // namespace

TEXTMETRICA fontMetrics(HWND window, HFONT font) {
    const FontContext context(window, font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(context.dc(), &metrics);
    return metrics;
}

int textWidth(HWND window, HFONT font, const std::string& text) {
    const FontContext context(window, font);
    SIZE size{};
    GetTextExtentPoint32A(context.dc(), text.data(), static_cast<int>(text.size()), &size);
    return static_cast<int>(size.cx);
}

namespace {

// The edit's text with its selection replaced by the text typed or pasted.
std::string replacingSelection(HWND edit, const std::string& typed) {
    std::string text = windowText(edit);
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    start = std::min<DWORD>(start, static_cast<DWORD>(text.size()));
    end = std::clamp<DWORD>(end, start, static_cast<DWORD>(text.size()));
    return text.replace(start, end - start, typed);
}

LRESULT CALLBACK fieldProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    const auto& field = *reinterpret_cast<const app::FormField*>(data);
    std::string typed;
    if (message == WM_CHAR && wParam >= 0x20) typed = std::string(1, static_cast<char>(wParam));
    if (message == WM_PASTE) typed = clipboardText(hwnd);
    if ((message == WM_CHAR && wParam >= 0x20) || message == WM_PASTE) {
        const std::string after = replacingSelection(hwnd, typed);
        if (!app::acceptsText(field, after) && after.size() >= windowText(hwnd).size()) {
            MessageBeep(MB_OK);
            return 0;
        }
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

std::string clipboardText(HWND owner) {
    std::string text;
    if (!OpenClipboard(owner)) return text;
    if (HANDLE data = GetClipboardData(CF_TEXT))
        if (const auto* chars = static_cast<const char*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    CloseClipboard();
    return text;
}

void setClipboardText(HWND owner, const std::string& text) {
    if (!OpenClipboard(owner)) return;
    EmptyClipboard();
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
        std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
}

void keepToField(HWND edit, const app::FormField& field) {
    if (field.maxLength > 0) SendMessageA(edit, EM_LIMITTEXT, static_cast<WPARAM>(field.maxLength), 0);
    SetWindowSubclass(edit, &fieldProcedure, 2, reinterpret_cast<DWORD_PTR>(&field));
}

void registerControlClass(HINSTANCE instance, const char* name, WNDPROC procedure, HBRUSH background, LPCSTR cursor,
                          UINT style) {
    WNDCLASSA c{};
    c.style = style;
    c.lpfnWndProc = procedure;
    c.hInstance = instance;
    c.hCursor = LoadCursorA(nullptr, cursor);
    c.hbrBackground = background;
    c.lpszClassName = name;
    RegisterClassA(&c);
}

void EditText::step(int delta, int low, int high) { setText(support::steppedNumber(text(), delta, low, high)); }

void WindowTimer::setEnabled(bool enabled) {
    m_enabled = enabled;
    // An interval of 0 stops the timer, as the classic timer control does.
    if (enabled && m_interval > 0)
        SetTimer(m_window, m_id, static_cast<UINT>(m_interval), nullptr);
    else
        KillTimer(m_window, m_id);
}

void WindowTimer::setInterval(std::int32_t milliseconds) {
    m_interval = std::max<std::int32_t>(0, milliseconds);
    setEnabled(m_enabled);  // a new interval starts counting again
}

ComboText::ComboText(HWND combo) : m_combo(combo) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(combo, &info)) m_edit = info.hwndItem;
    if (m_edit) SetWindowSubclass(m_edit, &ComboText::editProcedure, 1, reinterpret_cast<DWORD_PTR>(this));
}

ComboText::~ComboText() {
    if (m_edit) RemoveWindowSubclass(m_edit, &ComboText::editProcedure, 1);
}

void ComboText::setText(const std::string& text) {
    if (windowText(m_combo) == text) return;
    SetWindowTextA(m_combo, text.c_str());
    m_selStart = static_cast<int>(text.size());
    changed();  // Windows reports only what is typed; a text set counts as a change too
}

int ComboText::listCount() const { return static_cast<int>(SendMessageA(m_combo, CB_GETCOUNT, 0, 0)); }

std::string ComboText::list(int index) const {
    if (index < 0 || index >= listCount()) throw std::out_of_range("combo box index");
    const auto n = SendMessageA(m_combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    std::string text(static_cast<std::size_t>(std::max<LRESULT>(n, 0)) + 1, '\0');
    const auto got =
        SendMessageA(m_combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(std::max<LRESULT>(got, 0)));
    return text;
}

std::vector<std::string> ComboText::items() const {
    std::vector<std::string> out;
    for (int i = 0; i < listCount(); ++i) out.push_back(list(i));
    return out;
}

// Changes of the list leave the edit line as it is.
void ComboText::addItem(const std::string& text) {
    const std::string edit = windowText(m_combo);
    SendMessageA(m_combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (windowText(m_combo) != edit) SetWindowTextA(m_combo, edit.c_str());
}

void ComboText::removeItem(int index) {
    if (index < 0 || index >= listCount()) throw std::out_of_range("combo box index");
    const std::string edit = windowText(m_combo);
    SendMessageA(m_combo, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
    if (windowText(m_combo) != edit) SetWindowTextA(m_combo, edit.c_str());
}

void ComboText::clear() {
    const std::string edit = windowText(m_combo);
    SendMessageA(m_combo, CB_RESETCONTENT, 0, 0);
    SetWindowTextA(m_combo, edit.c_str());
}

void ComboText::setSelStart(int start) {
    m_selStart = std::clamp(start, 0, static_cast<int>(text().size()));
    SendMessageA(m_combo, CB_SETEDITSEL, 0, MAKELPARAM(m_selStart, m_selStart));
}

void ComboText::setSelLength(int length) {
    const int end = m_selStart + std::clamp(length, 0, std::max(0, static_cast<int>(text().size()) - m_selStart));
    SendMessageA(m_combo, CB_SETEDITSEL, 0, MAKELPARAM(m_selStart, end));
}

int ComboText::findString(const std::string& text) const { return platform::findStringInList(items(), text, false); }
int ComboText::findStringExact(const std::string& text) const {
    return platform::findStringInList(items(), text, true);
}

LRESULT CALLBACK ComboText::editProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR data) {
    auto* self = reinterpret_cast<ComboText*>(data);
    if (message == WM_GETDLGCODE && lParam && reinterpret_cast<MSG*>(lParam)->wParam == VK_RETURN)
        return DLGC_WANTALLKEYS;                         // Enter keeps the address, it is no default button's
    if (message == WM_CHAR && wParam == '\r') return 0;  // no beep
    if (message == WM_KEYDOWN) {
        const auto shift =
            static_cast<std::int16_t>((GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
                                      (GetKeyState(VK_MENU) < 0 ? 4 : 0));
        self->m_listeners.keyDown(static_cast<std::int16_t>(wParam), shift);
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

int MessageBoxes::show(const std::string& text, int style, const std::string& title) {
    const HWND owner = IsWindow(m_owner) && IsWindowVisible(m_owner) ? m_owner : nullptr;
    return MessageBoxA(owner, text.c_str(), title.c_str(), static_cast<UINT>(style));
}

namespace {

// The dialog as the request's hook sees it.
class HookWindows : public platform::IDialogWindow {
public:
    platform::WindowHandle parentOf(platform::WindowHandle window) override {
        return reinterpret_cast<platform::WindowHandle>(GetParent(reinterpret_cast<HWND>(window)));
    }
    platform::Rect desktopRect() override {
        return windowRect(reinterpret_cast<platform::WindowHandle>(GetDesktopWindow()));
    }
    platform::Rect windowRect(platform::WindowHandle window) override {
        RECT r{};
        GetWindowRect(reinterpret_cast<HWND>(window), &r);
        return platform::Rect{r.left, r.top, r.right, r.bottom};
    }
    void moveWindow(platform::WindowHandle window, std::int32_t x, std::int32_t y, std::int32_t width,
                    std::int32_t height, bool repaint) override {
        MoveWindow(reinterpret_cast<HWND>(window), x, y, width, height, repaint);
    }
};

platform::DialogHookProc g_hook = nullptr;  // the hook of the dialog open now; one at a time

UINT_PTR CALLBACK hookTrampoline(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    HookWindows windows;
    return g_hook ? static_cast<UINT_PTR>(g_hook(windows, reinterpret_cast<platform::WindowHandle>(dialog), message,
                                                 static_cast<std::intptr_t>(wParam), lParam))
                  : 0;
}

// A buffer of the request as the dialog writes it: its size, NUL-filled.
std::vector<char> buffer(const std::string& text, std::int32_t size) {
    std::vector<char> out(static_cast<std::size_t>(std::max<std::int32_t>(size, 1)) + 1, '\0');
    std::copy_n(text.begin(), std::min(text.size(), out.size() - 1), out.begin());
    return out;
}

}  // namespace

bool FileDialogs::run(platform::OpenFileNameRequest& request, bool save) {
    std::string filter = request.lpstrFilter;
    filter.append(2, '\0');  // the list ends with two NULs, whatever the caller left
    std::vector<char> file = buffer(request.lpstrFile, request.nMaxFile);
    std::vector<char> title = buffer(request.lpstrFileTitle, request.nMaxFileTitle);
    OPENFILENAMEA o{};
    o.lStructSize = sizeof o;
    o.hwndOwner = reinterpret_cast<HWND>(request.hwndOwner);
    o.lpstrFilter = filter.c_str();
    o.nFilterIndex = static_cast<DWORD>(request.nFilterIndex);
    o.lpstrFile = file.data();
    o.nMaxFile = static_cast<DWORD>(file.size() - 1);
    o.lpstrFileTitle = title.data();
    o.nMaxFileTitle = static_cast<DWORD>(title.size() - 1);
    o.lpstrInitialDir = request.lpstrInitialDir.empty() ? nullptr : request.lpstrInitialDir.c_str();
    o.lpstrTitle = request.lpstrTitle.empty() ? nullptr : request.lpstrTitle.c_str();
    o.Flags = static_cast<DWORD>(request.Flags);
    o.lpstrDefExt = request.lpstrDefExt.empty() ? nullptr : request.lpstrDefExt.c_str();
    o.lCustData = request.lCustData;
    if (request.Flags & platform::kOfnEnableHook) {
        g_hook = request.lpfnHook;
        o.lpfnHook = &hookTrampoline;
    }
    const BOOL ok = save ? GetSaveFileNameA(&o) : GetOpenFileNameA(&o);
    g_hook = nullptr;
    if (!ok) return false;
    request.lpstrFile.assign(file.begin(), file.end() - 1);
    request.lpstrFileTitle.assign(title.begin(), title.end() - 1);
    request.nFilterIndex = static_cast<std::int32_t>(o.nFilterIndex);
    return true;
}

}  // namespace win32
