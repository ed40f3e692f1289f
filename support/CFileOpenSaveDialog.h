#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/FileDialog.h"

namespace support {

// The common Open and Save file dialogs: set the properties (or Init), Show,
// then read FileName (and for several files FileCount, SelectedPath and
// GetNextFileName).
class CFileOpenSaveDialog {
public:
    static constexpr std::int32_t kErrInvalidWindowHandle = 17461;
    static constexpr std::int32_t kErrComponentFailure = 17462;
    static constexpr std::size_t kBufferSize = 1024;

    explicit CFileOpenSaveDialog(platform::IFileDialogs& dialogs) : m_dialogs(dialogs) {}

    void Init(const std::string& filter, std::int16_t defaultFilter = 0, const std::string& initialDir = {},
              const std::string& fileName = {}, const std::string& dialogTitle = {},
              platform::WindowHandle hwndOwner = 0, std::int32_t flags = 0);

    bool CenterDialog() const { return m_bCenterDialog; }
    void setCenterDialog(bool v) { m_bCenterDialog = v; }
    const std::string& DefaultExt() const { return m_sDefaultExt; }
    void setDefaultExt(const std::string& v) { m_sDefaultExt = v; }
    std::int16_t DefaultFilter() const { return m_iDefaultFilter; }
    void setDefaultFilter(std::int16_t v) { m_iDefaultFilter = v; }
    const std::string& DialogTitle() const { return m_sDialogTitle; }
    void setDialogTitle(const std::string& v) { m_sDialogTitle = v; }
    std::int16_t FileCount() const { return m_iFileCount; }
    const std::string& FileName() const { return m_sFileName; }
    void setFileName(const std::string& v) { m_sFileName = v; }
    const std::string& FileTitle() const { return m_sFileTitle; }
    void setFileTitle(const std::string& v) { m_sFileTitle = v; }
    const std::string& Filter() const { return m_sFilter; }
    void setFilter(const std::string& v) { m_sFilter = v; }
    std::int32_t Flags() const { return m_lFlags; }
    void setFlags(std::int32_t v) { m_lFlags = v; }
    platform::WindowHandle HWndOwner() const { return m_lHWndOwner; }
    void setHWndOwner(platform::WindowHandle v);
    const std::string& InitialDir() const { return m_sInitialDir; }
    void setInitialDir(const std::string& v) { m_sInitialDir = v; }
    std::int16_t MaxFileSize() const { return m_iMaxFileSize; }
    void setMaxFileSize(std::int16_t v) { m_iMaxFileSize = v; }
    const std::string& SelectedPath() const { return m_sSelectedPath; }

    std::string GetNextFileName(std::int16_t index = 0) const;
    bool Show(std::int32_t dialogType);

private:
    std::string ParseFileBuffer(const std::string& buffer, std::int16_t part);
    void checkOwner(platform::WindowHandle hwnd);

    platform::IFileDialogs& m_dialogs;
    bool m_bCenterDialog = false;
    std::int32_t m_lFlags = platform::kOfnLongNames | platform::kOfnExplorer;
    std::int16_t m_iFileCount = 0;
    std::int16_t m_iDefaultFilter = 1;
    std::int16_t m_iMaxFileSize = 1024;
    platform::WindowHandle m_lHWndOwner = 0;
    std::string m_sDefaultExt, m_sDialogTitle, m_sFileName, m_sFileTitle, m_sFilter, m_sInitialDir, m_sSelectedPath;
    std::vector<std::string> m_asSelectedNames{std::string()};
};

// The hook procedures that centre the dialog on the screen when it opens.
namespace MFileOpenSaveDialog {
std::intptr_t ExplorerDialogHook(platform::IDialogWindow& windows, platform::WindowHandle window, std::uint32_t message,
                                 std::intptr_t wParam, std::intptr_t lParam);
std::intptr_t OldStyleDialogHook(platform::IDialogWindow& windows, platform::WindowHandle window, std::uint32_t message,
                                 std::intptr_t wParam, std::intptr_t lParam);
}  // namespace MFileOpenSaveDialog

}  // namespace support
