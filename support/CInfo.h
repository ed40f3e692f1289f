#pragma once

#include <cstdint>
#include <string>

#include "platform/Controls.h"
#include "platform/MachineInfo.h"
#include "platform/Registry.h"
#include "support/Variant.h"

namespace support {

// Questions about the user, the computer, the system, the display and the
// desktop. Every property asks the platform afresh; a failure shows
// "Error: N. D" titled with the member's name and returns what the member
// held at that moment.
class CInfo {
public:
    CInfo(platform::IMachineInfo& machine, platform::IRegistry& registry, platform::IMessageBox& messageBox)
        : m_machine(machine), m_registry(registry), m_messageBox(messageBox) {}

    bool Beep();
    void setBeep(bool value);
    std::string ComputerName();
    void setComputerName(const std::string& value);
    std::string CurrentHardwareProfile();
    std::string DefaultCompanyName();
    std::string DefaultUserName();
    std::int32_t DisplayColors();
    std::string GUID();
    std::string Language();
    bool LargeFonts();
    std::string OSAdditional();
    std::int32_t OSBuild();
    std::int32_t OSMajorVersion();
    std::int32_t OSMinorVersion();
    bool ScreenSaverActive();
    void setScreenSaverActive(bool value);
    std::int32_t ScreenSaverTimeout();
    void setScreenSaverTimeout(std::int32_t value);
    std::string SystemDirectory();
    std::string TempFile(const std::string& prefix);
    std::string TempPath();
    std::string UserName();
    std::string WindowsDirectory();
    std::int32_t WindowsType();
    std::int32_t WindowsUpTime();
    void GetWorkArea(std::int16_t& left, std::int16_t& top, std::int16_t& width, std::int16_t& height);

    // Exposed for the tests: the two private routines.
    Variant RegistryGetKeyValue(platform::RegKey root, const std::string& keyName, const std::string& valueName);
    std::string TrimNulls(const std::string& text);

private:
    template <class T, class F>
    T member(const char* title, T result, F&& body);
    template <class F>
    std::string bufferText(const char* title, std::size_t size, char fill, F&& call);
    platform::VersionInfo version();

    platform::IMachineInfo& m_machine;
    platform::IRegistry& m_registry;
    platform::IMessageBox& m_messageBox;
};

// The processor and memory layout.
class CSystem {
public:
    CSystem(platform::IMachineInfo& machine, platform::IMessageBox& messageBox)
        : m_machine(machine), m_messageBox(messageBox) {}

    std::int32_t ActiveProcessorMask();
    std::int32_t AllocationGranularity();
    bool CompareExchangeDouble();
    bool FloatingPointEmulated();
    bool FloatingPointError();
    bool LowMemory();
    std::int32_t MaxAppAddress();
    std::int32_t MinAppAddress();
    bool MMXAvailable();
    std::int32_t NumberOfProcessors();
    std::int32_t PageSize();
    std::int32_t ProcessorArchitecture();
    std::int32_t ProcessorLevel();
    std::int32_t ProcessorRevision();
    std::int32_t ProcessorType();
    bool SlowGraphics();
    bool SlowMachine();

private:
    bool feature(const char* title, std::uint32_t number);
    bool metric(const char* title, int bit);

    platform::IMachineInfo& m_machine;
    platform::IMessageBox& m_messageBox;
};

}  // namespace support
