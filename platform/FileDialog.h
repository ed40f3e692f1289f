#pragma once

#include <cstdint>
#include <string>

#include "platform/Geometry.h"

namespace platform {

// The common file dialogs' flag bits the program uses.
inline constexpr std::int32_t kOfnOverwritePrompt = 0x2;
inline constexpr std::int32_t kOfnHideReadOnly = 0x4;
inline constexpr std::int32_t kOfnEnableHook = 0x20;
inline constexpr std::int32_t kOfnAllowMultiSelect = 0x200;
inline constexpr std::int32_t kOfnFileMustExist = 0x1000;
inline constexpr std::int32_t kOfnExplorer = 0x80000;
inline constexpr std::int32_t kOfnLongNames = 0x200000;

inline constexpr std::uint32_t kWmInitDialog = 0x110;

enum class DialogHook { None, Explorer, OldStyle };

// The window functions a dialog hook uses on the dialog being opened.
class IDialogWindow {
public:
    virtual ~IDialogWindow() = default;
    virtual WindowHandle parentOf(WindowHandle window) = 0;
    virtual Rect desktopRect() = 0;
    virtual Rect windowRect(WindowHandle window) = 0;
    virtual void moveWindow(WindowHandle window, std::int32_t x, std::int32_t y, std::int32_t width,
                            std::int32_t height, bool repaint) = 0;
};

// A hook procedure: called with the window it is given and WM_INITDIALOG
// when the dialog opens.
using DialogHookProc = std::intptr_t (*)(IDialogWindow& windows, WindowHandle window, std::uint32_t message,
                                         std::intptr_t wParam, std::intptr_t lParam);

// The request record of the Open and Save dialogs. Texts are 8-bit; the
// filter is pairs of description and pattern, each ended by a NUL, the list
// by a second NUL. The file buffer comes back as one full path, or (several
// files) the directory and the names separated by single NULs and ended by
// two; the title buffer as the bare name.
struct OpenFileNameRequest {
    std::int32_t lStructSize = 76;
    WindowHandle hwndOwner = 0;
    std::intptr_t hInstance = 0;
    std::string lpstrFilter;
    std::int32_t nFilterIndex = 0;
    std::string lpstrFile;
    std::int32_t nMaxFile = 0;
    std::string lpstrFileTitle;
    std::int32_t nMaxFileTitle = 0;
    std::string lpstrInitialDir;
    std::string lpstrTitle;
    std::int32_t Flags = 0;
    std::string lpstrDefExt;
    std::intptr_t lCustData = 0;
    DialogHookProc lpfnHook = nullptr;
};

class IFileDialogs {
public:
    virtual ~IFileDialogs() = default;
    // Modal; true when the user confirmed a choice.
    virtual bool getOpenFileName(OpenFileNameRequest& request) = 0;
    virtual bool getSaveFileName(OpenFileNameRequest& request) = 0;
    virtual bool isWindow(WindowHandle window) = 0;
    // The separator of the paths the dialogs answer with. On POSIX "/" stands
    // for "\", and the root "/" for a drive root "C:\".
    virtual char separator() const { return '/'; }
};

}  // namespace platform
