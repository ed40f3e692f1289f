#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/Geometry.h"

namespace platform {

struct GuidValue {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::array<std::uint8_t, 8> data4{};
};

// The version record (148 bytes on the platform): its numbers and the
// 128-character service-pack text, NUL-filled.
struct VersionInfo {
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
    std::uint32_t buildNumber = 0;
    std::uint32_t platformId = 0;
    std::string csdVersion = std::string(128, '\0');
};

// The processor record the system fills in.
struct SystemInfo {
    std::int16_t processorArchitecture = 0;
    std::uint32_t pageSize = 0;
    std::uint64_t minimumApplicationAddress = 0;
    std::uint64_t maximumApplicationAddress = 0;
    std::uint64_t activeProcessorMask = 0;
    std::uint32_t numberOfProcessors = 0;
    std::uint32_t processorType = 0;
    std::uint32_t allocationGranularity = 0;
    std::int16_t processorLevel = 0;
    std::uint16_t processorRevision = 0;  // model x 256 + stepping, as an unsigned word
};

// What the machine-information classes ask the platform. Text answers are
// written into the caller's buffer as the platform functions do: the text,
// a NUL, and the rest of the buffer as it was.
class IMachineInfo {
public:
    virtual ~IMachineInfo() = default;
    // SystemParametersInfo: the value an action reports, or sets.
    virtual bool systemParametersGet(std::uint32_t action, std::int32_t* value) = 0;
    virtual bool systemParametersSet(std::uint32_t action, std::int32_t value, std::uint32_t updateFlags) = 0;
    virtual bool workArea(Rect* area) = 0;
    virtual bool computerName(std::string& buffer) = 0;
    virtual bool setComputerName(const std::string& name) = 0;
    virtual bool currentHwProfileName(std::string& buffer) = 0;  // 80 characters
    virtual int deviceCaps(int index) = 0;                       // of the screen
    virtual bool createGuid(GuidValue* guid) = 0;
    virtual std::uint32_t userDefaultLcid() = 0;
    virtual int localeInfo(std::uint32_t lcid, std::uint32_t item, std::string& buffer) = 0;
    virtual bool versionEx(VersionInfo* info) = 0;
    virtual bool systemDirectory(std::string& buffer) = 0;
    virtual bool windowsDirectory(std::string& buffer) = 0;
    virtual bool tempPath(std::string& buffer) = 0;
    virtual bool tempFileName(const std::string& path, const std::string& prefix, std::uint32_t unique,
                              std::string& buffer) = 0;
    virtual bool userName(std::string& buffer) = 0;
    virtual std::uint32_t tickCount() = 0;
    virtual void systemInfo(SystemInfo* info) = 0;
    virtual bool processorFeature(std::uint32_t feature) = 0;
    virtual int systemMetrics(int index) = 0;
};

// Writes a platform answer into a buffer: the text and a NUL, cut to fit.
inline void fillBuffer(std::string& buffer, const std::string& text) {
    if (buffer.empty()) return;
    const std::size_t n = std::min(text.size(), buffer.size() - 1);
    buffer.replace(0, n, text, 0, n);
    buffer[n] = '\0';
}

}  // namespace platform
