#include "support/CFileOpenSaveDialog.h"

#include <cmath>

#include "base/AppError.h"
#include "base/ErrorTable.h"
#include "support/Text.h"

namespace support {

namespace {

const base::ErrorTable& errors() {
    static const base::ErrorTable table(".CFileOpenSaveDialog", CFileOpenSaveDialog::kErrComponentFailure,
                                        {{CFileOpenSaveDialog::kErrInvalidWindowHandle, "Invalid window handle"}});
    return table;
}

template <class F>
decltype(auto) guarded(F&& body) {
    return errors().guard(std::forward<F>(body));
}

std::string padded(const std::string& text) {
    if (text.size() > CFileOpenSaveDialog::kBufferSize) throw std::length_error("buffer");
    return text + std::string(CFileOpenSaveDialog::kBufferSize - text.size(), '\0');
}

}  // namespace

void CFileOpenSaveDialog::checkOwner(platform::WindowHandle hwnd) {
    if (hwnd > 0 && !m_dialogs.isWindow(hwnd)) throw errors().error(kErrInvalidWindowHandle);
}

void CFileOpenSaveDialog::setHWndOwner(platform::WindowHandle v) {
    guarded([&] {
        checkOwner(v);
        m_lHWndOwner = v;
    });
}

void CFileOpenSaveDialog::Init(const std::string& filter, std::int16_t defaultFilter, const std::string& initialDir,
                               const std::string& fileName, const std::string& dialogTitle,
                               platform::WindowHandle hwndOwner, std::int32_t flags) {
    guarded([&] {
        m_sFilter = filter;
        m_iDefaultFilter = defaultFilter;
        m_sInitialDir = initialDir;
        m_sFileName = fileName;
        m_sDialogTitle = dialogTitle;
        checkOwner(hwndOwner);
        m_lHWndOwner = hwndOwner;
        m_lFlags = flags;
    });
}

std::string CFileOpenSaveDialog::GetNextFileName(std::int16_t index) const {
    return guarded([&]() -> std::string {
        if (index >= 1 && m_iFileCount != 1 && index <= m_iFileCount)
            return m_sSelectedPath + m_dialogs.separator() + m_asSelectedNames.at(static_cast<std::size_t>(index));
        return m_sFileName;
    });
}

bool CFileOpenSaveDialog::Show(std::int32_t dialogType) {
    return guarded([&]() -> bool {
        if (m_bCenterDialog) m_lFlags |= platform::kOfnEnableHook;
        platform::DialogHookProc hook = nullptr;
        if (m_lFlags & platform::kOfnEnableHook)
            hook = (m_lFlags & platform::kOfnExplorer) ? MFileOpenSaveDialog::ExplorerDialogHook
                                                       : MFileOpenSaveDialog::OldStyleDialogHook;
        if (m_sFilter.size() > 32767) throw std::length_error("filter");
        std::string filter = replaceAll(m_sFilter, "|", std::string(1, '\0'));
        filter += std::string(2, '\0');

        platform::OpenFileNameRequest request;
        request.hwndOwner = m_lHWndOwner;
        request.lpstrFilter = filter;
        request.nFilterIndex = m_iDefaultFilter;
        request.lpstrFile = padded(m_sFileName);
        request.nMaxFile = static_cast<std::int32_t>(kBufferSize);
        request.lpstrFileTitle = padded(m_sFileTitle);
        request.nMaxFileTitle = static_cast<std::int32_t>(kBufferSize);
        request.lpstrInitialDir = m_sInitialDir;
        request.lpstrTitle = m_sDialogTitle;
        request.Flags = m_lFlags;
        request.lpstrDefExt = m_sDefaultExt;
        request.lpfnHook = hook;

        bool confirmed = false;
        if (dialogType == 0)
            confirmed = m_dialogs.getOpenFileName(request);
        else if (dialogType == 1)
            confirmed = m_dialogs.getSaveFileName(request);
        if (!confirmed) return false;
        m_sFileName = ParseFileBuffer(request.lpstrFile, 1);
        m_sFileTitle = ParseFileBuffer(request.lpstrFileTitle, 2);
        return true;
    });
}

std::string CFileOpenSaveDialog::ParseFileBuffer(const std::string& input, std::int16_t part) {
    return guarded([&]() -> std::string {
        if (trimBlanks(input).empty()) return {};
        std::string buffer = input;
        const std::size_t pair = buffer.find(std::string(2, '\0'));
        if (pair != std::string::npos && pair >= 1) buffer.resize(pair);

        if (part == 2) {
            const std::size_t nul = buffer.find('\0');
            return nul == std::string::npos ? buffer : buffer.substr(0, nul);
        }
        if (part != 1) return {};

        if (!(m_lFlags & platform::kOfnAllowMultiSelect)) {
            const std::size_t nul = buffer.find('\0');
            if (nul != std::string::npos) buffer.resize(nul);
            m_iFileCount = 1;
            const std::size_t sep = buffer.rfind(m_dialogs.separator());
            if (sep != std::string::npos) m_sSelectedPath = buffer.substr(0, sep + 1);
            return buffer;
        }

        m_asSelectedNames = splitText(buffer, std::string(1, '\0'));
        if (m_asSelectedNames.size() - 1 > 32767) throw std::overflow_error("file count");
        m_iFileCount = static_cast<std::int16_t>(m_asSelectedNames.size() - 1);
        if (m_iFileCount > 1) {
            std::string dir = m_asSelectedNames[0];
            if (!dir.empty() && dir.back() == m_dialogs.separator())
                dir.pop_back();  // the root keeps no separator of its own
            m_sSelectedPath = dir;
            return m_sSelectedPath + m_dialogs.separator() + m_asSelectedNames[1];
        }
        // The root "/" stands where a drive root's separator does, so any
        // separator at all gives the directory.
        const std::size_t sep = buffer.rfind(m_dialogs.separator());
        m_sSelectedPath = sep != std::string::npos ? buffer.substr(0, sep + 1) : std::string();
        m_iFileCount = 1;
        return m_asSelectedNames[0];
    });
}

namespace MFileOpenSaveDialog {

namespace {
std::intptr_t centre(platform::IDialogWindow& windows, platform::WindowHandle window) {
    try {
        const platform::Rect desk = windows.desktopRect();
        const platform::Rect r = windows.windowRect(window);
        const std::int32_t width = r.right - r.left, height = r.bottom - r.top;
        // Halves go to the even neighbour (511.5 to 512, 510.5 to 510).
        const auto x = static_cast<std::int32_t>(std::nearbyint(((desk.right - desk.left) - width) / 2.0));
        const auto y = static_cast<std::int32_t>(std::nearbyint(((desk.bottom - desk.top) - height) / 2.0));
        windows.moveWindow(window, x, y, width, height, true);
    } catch (...) {
        // A hook never lets a failure reach the dialog.
    }
    return 0;
}
}  // namespace

std::intptr_t ExplorerDialogHook(platform::IDialogWindow& windows, platform::WindowHandle window, std::uint32_t message,
                                 std::intptr_t, std::intptr_t) {
    if (message != platform::kWmInitDialog) return 0;
    try {
        return centre(windows, windows.parentOf(window));
    } catch (...) {
        return 0;
    }
}

std::intptr_t OldStyleDialogHook(platform::IDialogWindow& windows, platform::WindowHandle window, std::uint32_t message,
                                 std::intptr_t, std::intptr_t) {
    if (message != platform::kWmInitDialog) return 0;
    return centre(windows, window);
}

}  // namespace MFileOpenSaveDialog

}  // namespace support
