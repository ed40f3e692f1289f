#include "platform/win/WinMachineInfo.h"

#include <windows.h>

#include <objbase.h>

#include <cstring>

namespace platform::win {

namespace {

// Calls a text function of the platform into a buffer of its own and answers
// into the caller's as the call would: the text and a NUL when they fit,
// nothing otherwise.
template <class Call>
bool answer(std::string& buffer, Call call) {
    std::string text(32768, '\0');
    const DWORD n = call(text.data(), static_cast<DWORD>(text.size()));
    if (n == 0 || n >= text.size()) return false;
    text.resize(n);
    if (text.size() + 1 > buffer.size()) return false;
    fillBuffer(buffer, text);
    return true;
}

}  // namespace

bool WinMachineInfo::systemParametersGet(std::uint32_t action, std::int32_t* value) {
    int v = 0;
    if (!SystemParametersInfoA(action, 0, &v, 0)) return false;
    *value = v;
    return true;
}

bool WinMachineInfo::systemParametersSet(std::uint32_t action, std::int32_t value, std::uint32_t updateFlags) {
    return SystemParametersInfoA(action, static_cast<UINT>(value), nullptr, updateFlags) != 0;
}

bool WinMachineInfo::workArea(Rect* area) {
    RECT r{};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0)) return false;
    *area = Rect{r.left, r.top, r.right, r.bottom};
    return true;
}

bool WinMachineInfo::computerName(std::string& buffer) {
    return answer(buffer, [](char* text, DWORD size) {
        DWORD n = size;
        return GetComputerNameA(text, &n) ? n : 0;
    });
}

bool WinMachineInfo::setComputerName(const std::string& name) { return SetComputerNameA(name.c_str()) != 0; }

bool WinMachineInfo::currentHwProfileName(std::string& buffer) {
    HW_PROFILE_INFOA profile{};
    if (!GetCurrentHwProfileA(&profile)) return false;
    fillBuffer(buffer, profile.szHwProfileName);
    return true;
}

int WinMachineInfo::deviceCaps(int index) {
    const HDC screen = GetDC(nullptr);
    if (!screen) return 0;
    const int value = GetDeviceCaps(screen, index);
    ReleaseDC(nullptr, screen);
    return value;
}

bool WinMachineInfo::createGuid(GuidValue* guid) {
    GUID g{};
    if (CoCreateGuid(&g) != S_OK) return false;
    guid->data1 = g.Data1;
    guid->data2 = g.Data2;
    guid->data3 = g.Data3;
    std::memcpy(guid->data4.data(), g.Data4, sizeof g.Data4);
    return true;
}

std::uint32_t WinMachineInfo::userDefaultLcid() { return GetUserDefaultLCID(); }

int WinMachineInfo::localeInfo(std::uint32_t lcid, std::uint32_t item, std::string& buffer) {
    if (buffer.empty()) return 0;
    return GetLocaleInfoA(lcid, item, buffer.data(), static_cast<int>(buffer.size()));
}

bool WinMachineInfo::versionEx(VersionInfo* info) {
    OSVERSIONINFOA v{};
    v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&v)) return false;
#pragma GCC diagnostic pop
    info->majorVersion = v.dwMajorVersion;
    info->minorVersion = v.dwMinorVersion;
    info->buildNumber = v.dwBuildNumber;
    info->platformId = v.dwPlatformId;
    info->csdVersion.assign(v.szCSDVersion, sizeof v.szCSDVersion);
    return true;
}

bool WinMachineInfo::systemDirectory(std::string& buffer) {
    return answer(buffer, [](char* text, DWORD size) { return GetSystemDirectoryA(text, size); });
}

bool WinMachineInfo::windowsDirectory(std::string& buffer) {
    return answer(buffer, [](char* text, DWORD size) { return GetWindowsDirectoryA(text, size); });
}

bool WinMachineInfo::tempPath(std::string& buffer) {
    return answer(buffer, [](char* text, DWORD size) { return GetTempPathA(size, text); });
}

// With a unique number other than 0 the platform only forms the name.
bool WinMachineInfo::tempFileName(const std::string& path, const std::string& prefix, std::uint32_t unique,
                                  std::string& buffer) {
    if (unique == 0) return false;
    char name[MAX_PATH + 1] = {};
    if (!GetTempFileNameA(path.c_str(), prefix.c_str(), unique, name)) return false;
    if (std::strlen(name) + 1 > buffer.size()) return false;
    fillBuffer(buffer, name);
    return true;
}

bool WinMachineInfo::userName(std::string& buffer) {
    return answer(buffer, [](char* text, DWORD size) {
        DWORD n = size;
        // The count includes the NUL.
        return GetUserNameA(text, &n) && n > 0 ? n - 1 : 0;
    });
}

std::uint32_t WinMachineInfo::tickCount() { return GetTickCount(); }

void WinMachineInfo::systemInfo(SystemInfo* info) {
    SYSTEM_INFO s{};
    GetSystemInfo(&s);
    info->processorArchitecture = static_cast<std::int16_t>(s.wProcessorArchitecture);
    info->pageSize = s.dwPageSize;
    info->minimumApplicationAddress = reinterpret_cast<std::uintptr_t>(s.lpMinimumApplicationAddress);
    info->maximumApplicationAddress = reinterpret_cast<std::uintptr_t>(s.lpMaximumApplicationAddress);
    info->activeProcessorMask = s.dwActiveProcessorMask;
    info->numberOfProcessors = s.dwNumberOfProcessors;
    info->processorType = s.dwProcessorType;
    info->allocationGranularity = s.dwAllocationGranularity;
    info->processorLevel = static_cast<std::int16_t>(s.wProcessorLevel);
    info->processorRevision = s.wProcessorRevision;
}

bool WinMachineInfo::processorFeature(std::uint32_t feature) { return IsProcessorFeaturePresent(feature) != 0; }

int WinMachineInfo::systemMetrics(int index) { return GetSystemMetrics(index); }

}  // namespace platform::win
