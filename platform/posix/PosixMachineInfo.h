#pragma once

#include "platform/DisplayFacts.h"
#include "platform/MachineInfo.h"

namespace platform::posix {

// The nearest Linux equivalents of the Windows machine information; the
// README lists what each one means here.
class PosixMachineInfo : public IMachineInfo {
public:
    void setDisplay(const DisplayFacts& facts) { m_display = facts; }

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

private:
    DisplayFacts m_display;
};

// The processor's revision word: model in the high byte, stepping in the low
// one (model 143, stepping 8 gives 36616).
std::uint16_t processorRevisionOf(int model, int stepping);

}  // namespace platform::posix
