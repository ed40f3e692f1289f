#include "support/CInfo.h"

#include "base/Bytes.h"
#include "support/RegKeyHandle.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "base/AppError.h"

namespace support {

namespace {

constexpr std::uint32_t kSpiGetBeep = 1, kSpiSetBeep = 2, kSpiGetScreenSaveTimeout = 14, kSpiSetScreenSaveTimeout = 15,
                        kSpiGetScreenSaveActive = 16, kSpiSetScreenSaveActive = 17;
constexpr std::uint32_t kSpifSendChange = 2;
constexpr std::uint32_t kLocaleEnglishLanguage = 0x1001;
constexpr const char* kAcmeKey = "Software\\Microsoft\\MS Setup (ACME)\\User Info";

std::string hex(std::uint64_t v) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(v));
    return buf;
}

std::int16_t toInteger(std::int64_t v) {
    if (v < std::numeric_limits<std::int16_t>::min() || v > std::numeric_limits<std::int16_t>::max())
        throw base::runtimeError(base::kErrOverflow);
    return static_cast<std::int16_t>(v);
}

std::int32_t toLong(std::int64_t v) {
    if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
        throw base::runtimeError(base::kErrOverflow);
    return static_cast<std::int32_t>(v);
}

void reportTo(platform::IMessageBox& box, const char* title, const std::exception& e) {
    base::skipOnFailure([&] { box.show(base::errorText(base::asAppError(e)), platform::mb::kOkOnly, title); });
}

}  // namespace

template <class T, class F>
T CInfo::member(const char* title, T result, F&& body) {
    try {
        body(result);
    } catch (const std::exception& e) {
        reportTo(m_messageBox, title, e);
    }
    return result;
}

// A text the platform writes into a buffer of the given size and filling.
template <class F>
std::string CInfo::bufferText(const char* title, std::size_t size, char fill, F&& call) {
    return member<std::string>(title, {}, [&](std::string& r) {
        std::string buffer(size, fill);
        call(buffer);
        r = TrimNulls(buffer);
    });
}

std::string CInfo::TrimNulls(const std::string& text) {
    return member<std::string>("TrimNulls", {}, [&](std::string& r) {
        const std::size_t nul = text.find('\0');
        r = nul == std::string::npos ? text : text.substr(0, nul);
    });
}

bool CInfo::Beep() {
    return member("Beep", false, [&](bool& r) {
        std::int32_t v = 0;
        m_machine.systemParametersGet(kSpiGetBeep, &v);
        r = v != 0;
    });
}

void CInfo::setBeep(bool value) {
    member("Beep", 0, [&](int&) { m_machine.systemParametersSet(kSpiSetBeep, value ? -1 : 0, kSpifSendChange); });
}

std::string CInfo::ComputerName() {
    return bufferText("ComputerName", 100, '\0', [&](std::string& b) { m_machine.computerName(b); });
}

void CInfo::setComputerName(const std::string& value) {
    member("ComputerName", 0, [&](int&) { m_machine.setComputerName(value); });
}

std::string CInfo::CurrentHardwareProfile() {
    return bufferText("CurrentHardwareProfile", 80, '\0', [&](std::string& b) { m_machine.currentHwProfileName(b); });
}

std::string CInfo::DefaultCompanyName() {
    return member<std::string>("DefaultCompanyName", {}, [&](std::string& r) {
        r = RegistryGetKeyValue(platform::kHKeyCurrentUser, kAcmeKey, "DefCompany").toText();
    });
}

std::string CInfo::DefaultUserName() {
    return member<std::string>("DefaultUserName", {}, [&](std::string& r) {
        r = RegistryGetKeyValue(platform::kHKeyCurrentUser, kAcmeKey, "DefName").toText();
    });
}

std::int32_t CInfo::DisplayColors() {
    return member<std::int32_t>("DisplayColors", 0, [&](std::int32_t& r) {
        const long long bits = static_cast<long long>(m_machine.deviceCaps(12)) * m_machine.deviceCaps(14);
        r = bits == 32 ? -1 : roundToLong(std::pow(2.0, static_cast<double>(bits)));
    });
}

std::string CInfo::GUID() {
    return member<std::string>("GUID", {}, [&](std::string& r) {
        platform::GuidValue g;
        m_machine.createGuid(&g);
        // The 16-bit fields are signed: one with its top bit set still shows four digits.
        std::string text = "{" + hex(g.data1) + "-" + hex(g.data2) + "-" + hex(g.data3) + "-";
        for (std::uint8_t b : g.data4) text += hex(b);
        r = text + "}";
    });
}

std::string CInfo::Language() {
    return member<std::string>("Language", {}, [&](std::string& r) {
        std::string buffer(100, ' ');
        m_machine.localeInfo(m_machine.userDefaultLcid(), kLocaleEnglishLanguage, buffer);
        r = TrimNulls(buffer);
    });
}

bool CInfo::LargeFonts() {
    return member("LargeFonts", false, [&](bool& r) { r = m_machine.deviceCaps(88) == 120; });
}

platform::VersionInfo CInfo::version() {
    platform::VersionInfo info;
    m_machine.versionEx(&info);
    return info;
}

std::string CInfo::OSAdditional() {
    return member<std::string>("OSAdditional", {}, [&](std::string& r) { r = TrimNulls(version().csdVersion); });
}

std::int32_t CInfo::OSBuild() {
    return member<std::int32_t>(
        "OSBuild", 0, [&](std::int32_t& r) { r = static_cast<std::int32_t>(version().buildNumber & 0x7FFF); });
}

std::int32_t CInfo::OSMajorVersion() {
    return member<std::int32_t>("OSMajorVersion", 0, [&](std::int32_t& r) { r = toLong(version().majorVersion); });
}

std::int32_t CInfo::OSMinorVersion() {
    return member<std::int32_t>("OSMinorVersion", 0, [&](std::int32_t& r) { r = toLong(version().minorVersion); });
}

std::int32_t CInfo::WindowsType() {
    return member<std::int32_t>("WindowsType", 0, [&](std::int32_t& r) { r = toLong(version().platformId); });
}

bool CInfo::ScreenSaverActive() {
    return member("ScreenSaverActive", false, [&](bool& r) {
        std::int32_t v = 0;
        m_machine.systemParametersGet(kSpiGetScreenSaveActive, &v);
        r = v != 0;
    });
}

void CInfo::setScreenSaverActive(bool value) {
    member("ScreenSaverActive", 0,
           [&](int&) { m_machine.systemParametersSet(kSpiSetScreenSaveActive, value ? -1 : 0, kSpifSendChange); });
}

std::int32_t CInfo::ScreenSaverTimeout() {
    return member<std::int32_t>("ScreenSaverTimeout", 0, [&](std::int32_t& r) {
        std::int32_t v = 0;
        m_machine.systemParametersGet(kSpiGetScreenSaveTimeout, &v);
        r = v;
    });
}

void CInfo::setScreenSaverTimeout(std::int32_t value) {
    member("ScreenSaverTimeout", 0,
           [&](int&) { m_machine.systemParametersSet(kSpiSetScreenSaveTimeout, value, kSpifSendChange); });
}

std::string CInfo::SystemDirectory() {
    return bufferText("SystemDirectory", 260, '\0', [&](std::string& b) { m_machine.systemDirectory(b); });
}

std::string CInfo::WindowsDirectory() {
    return bufferText("WindowsDirectory", 260, '\0', [&](std::string& b) { m_machine.windowsDirectory(b); });
}

std::string CInfo::TempPath() {
    return bufferText("TempPath", 255, ' ', [&](std::string& b) { m_machine.tempPath(b); });
}

// The unique number is not 0, so the name is only formed: the same prefix
// gives the same name every time, and no file is made.
std::string CInfo::TempFile(const std::string& prefix) {
    return member<std::string>("TempFile", {}, [&](std::string& r) {
        std::string path(255, ' ');
        m_machine.tempPath(path);
        std::string buffer(255, ' ');
        m_machine.tempFileName(path.substr(0, path.find('\0')), prefix, 1, buffer);
        r = TrimNulls(buffer);
    });
}

std::string CInfo::UserName() {
    return bufferText("UserName", 100, '\0', [&](std::string& b) { m_machine.userName(b); });
}

std::int32_t CInfo::WindowsUpTime() {
    return member<std::int32_t>("WindowsUpTime", 0, [&](std::int32_t& r) {
        r = roundToLong(static_cast<double>(m_machine.tickCount()) / 1000.0 / 60.0);
    });
}

void CInfo::GetWorkArea(std::int16_t& left, std::int16_t& top, std::int16_t& width, std::int16_t& height) {
    member("GetWorkArea", 0, [&](int&) {
        platform::Rect area;
        m_machine.workArea(&area);
        left = toInteger(area.left);
        top = toInteger(area.top);
        width = toInteger(static_cast<std::int64_t>(area.right) - area.left);
        height = toInteger(static_cast<std::int64_t>(area.bottom) - area.top);
    });
}

Variant CInfo::RegistryGetKeyValue(platform::RegKey root, const std::string& keyName, const std::string& valueName) {
    return member<Variant>("RegistryGetKeyValue", Variant(), [&](Variant& r) {
        RegKeyHandle handle(m_registry);
        if (m_registry.openKey(root, keyName, platform::kKeyQueryValue, handle.out()) != platform::kErrorSuccess)
            return;
        handle.opened();
        const platform::RegKey key = handle.get();
        std::uint32_t type = 0, size = 0;
        if (m_registry.queryValue(key, valueName, &type, nullptr, &size) == platform::kErrorSuccess) {
            if (type == platform::kRegSz && size > 0) {
                std::vector<std::uint8_t> buffer(size, 0);
                std::uint32_t got = size;
                if (m_registry.queryValue(key, valueName, &type, &buffer, &got) == platform::kErrorSuccess) {
                    const std::string text(buffer.begin(), buffer.begin() + std::min<std::uint32_t>(got, size));
                    r = Variant::String(text.substr(0, text.find('\0')));
                }
            } else if (type == platform::kRegSz) {
                r = Variant::String("");
            } else if (type == platform::kRegBinary) {
                // The byte array has one element more than the value (indices 0 to size).
                std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size) + 1, 0);
                std::uint32_t got = size;
                if (size == 0 || m_registry.queryValue(key, valueName, &type, &bytes, &got) == platform::kErrorSuccess)
                    r = Variant::ByteArray(size == 0 ? std::vector<std::uint8_t>{} : bytes);
            } else if (type == platform::kRegDword) {
                std::vector<std::uint8_t> buffer(4, 0);
                std::uint32_t got = 4;
                if (m_registry.queryValue(key, valueName, &type, &buffer, &got) == platform::kErrorSuccess)
                    r = Variant::Long(static_cast<std::int32_t>(base::loadLittleEndian32(buffer.data())));
            }
        }
    });
}

bool CSystem::feature(const char* title, std::uint32_t number) {
    try {
        return m_machine.processorFeature(number);
    } catch (const std::exception& e) {
        reportTo(m_messageBox, title, e);
        return false;
    }
}

bool CSystem::metric(const char* title, int bit) {
    try {
        return (m_machine.systemMetrics(73) & bit) != 0;
    } catch (const std::exception& e) {
        reportTo(m_messageBox, title, e);
        return false;
    }
}

namespace {
// One field of the processor record as a Long.
template <class Field>
std::int32_t recordField(platform::IMachineInfo& machine, platform::IMessageBox& box, const char* title,
                         Field platform::SystemInfo::*field) {
    try {
        platform::SystemInfo info;
        machine.systemInfo(&info);
        return toLong(static_cast<std::int64_t>(info.*field));
    } catch (const std::exception& e) {
        reportTo(box, title, e);
        return 0;
    }
}
}  // namespace

std::int32_t CSystem::AllocationGranularity() {
    return recordField(m_machine, m_messageBox, "AllocationGranularity", &platform::SystemInfo::allocationGranularity);
}
std::int32_t CSystem::NumberOfProcessors() {
    return recordField(m_machine, m_messageBox, "NumberOfProcessors", &platform::SystemInfo::numberOfProcessors);
}
std::int32_t CSystem::PageSize() {
    return recordField(m_machine, m_messageBox, "PageSize", &platform::SystemInfo::pageSize);
}
std::int32_t CSystem::ProcessorArchitecture() {
    return recordField(m_machine, m_messageBox, "ProcessorArchitecture", &platform::SystemInfo::processorArchitecture);
}
std::int32_t CSystem::ProcessorLevel() {
    return recordField(m_machine, m_messageBox, "ProcessorLevel", &platform::SystemInfo::processorLevel);
}
std::int32_t CSystem::ProcessorRevision() {
    return recordField(m_machine, m_messageBox, "ProcessorRevision", &platform::SystemInfo::processorRevision);
}
std::int32_t CSystem::ProcessorType() {
    return recordField(m_machine, m_messageBox, "ProcessorType", &platform::SystemInfo::processorType);
}
std::int32_t CSystem::ActiveProcessorMask() {
    return recordField(m_machine, m_messageBox, "ActiveProcessorMask", &platform::SystemInfo::activeProcessorMask);
}
std::int32_t CSystem::MaxAppAddress() {
    return recordField(m_machine, m_messageBox, "MaxAppAddress", &platform::SystemInfo::maximumApplicationAddress);
}
std::int32_t CSystem::MinAppAddress() {
    return recordField(m_machine, m_messageBox, "MinAppAddress", &platform::SystemInfo::minimumApplicationAddress);
}
bool CSystem::CompareExchangeDouble() { return feature("CompareExchangeDouble", 2); }
bool CSystem::FloatingPointEmulated() { return feature("FloatingPointEmulated", 1); }
bool CSystem::FloatingPointError() { return feature("FloatingPointError", 0); }
bool CSystem::MMXAvailable() { return feature("MMXAvailable", 3); }
bool CSystem::LowMemory() { return metric("LowMemory", 2); }
bool CSystem::SlowGraphics() { return metric("SlowGraphics", 4); }
bool CSystem::SlowMachine() { return metric("SlowMachine", 1); }

}  // namespace support
