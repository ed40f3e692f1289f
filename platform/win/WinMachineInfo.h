#pragma once

#include "platform/MachineInfo.h"

namespace platform::win {

// The system-information calls themselves: here every question has its
// Windows meaning.
class WinMachineInfo : public IMachineInfo {
public:
    bool systemParametersGet(std::uint32_t action, std::int32_t* value) override;
    bool systemParametersSet(std::uint32_t action, std::int32_t value, std::uint32_t updateFlags) override;
    bool workArea(Rect* area) override;
    bool computerName(std::string& buffer) override;
    bool setComputerName(const std::string& name) override;
    bool currentHwProfileName(std::string& buffer) override;
    int deviceCaps(int index) override;
    bool createGuid(GuidValue* guid) override;
    std::uint32_t userDefaultLcid() override;
    int localeInfo(std::uint32_t lcid, std::uint32_t item, std::string& buffer) override;
    bool versionEx(VersionInfo* info) override;
    bool systemDirectory(std::string& buffer) override;
    bool windowsDirectory(std::string& buffer) override;
    bool tempPath(std::string& buffer) override;
    bool tempFileName(const std::string& path, const std::string& prefix, std::uint32_t unique,
                      std::string& buffer) override;
    bool userName(std::string& buffer) override;
    std::uint32_t tickCount() override;
    void systemInfo(SystemInfo* info) override;
    bool processorFeature(std::uint32_t feature) override;
    int systemMetrics(int index) override;
};

}  // namespace platform::win
