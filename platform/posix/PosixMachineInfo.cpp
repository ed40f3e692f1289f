#include "platform/posix/PosixMachineInfo.h"

#include <pwd.h>
#include <sys/random.h>
#include <sys/utsname.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace platform::posix {

namespace {

struct Language {
    const char* code;
    std::uint32_t lcid;
    const char* englishName;
};

constexpr Language kLanguages[] = {
    {"en", 0x0409, "English"},   {"de", 0x0407, "German"},  {"fr", 0x040C, "French"},     {"es", 0x0C0A, "Spanish"},
    {"it", 0x0410, "Italian"},   {"nl", 0x0413, "Dutch"},   {"pt", 0x0816, "Portuguese"}, {"ru", 0x0419, "Russian"},
    {"pl", 0x0415, "Polish"},    {"sv", 0x041D, "Swedish"}, {"fi", 0x040B, "Finnish"},    {"da", 0x0406, "Danish"},
    {"nb", 0x0414, "Norwegian"}, {"cs", 0x0405, "Czech"},   {"hu", 0x040E, "Hungarian"},  {"tr", 0x041F, "Turkish"},
    {"ja", 0x0411, "Japanese"},  {"zh", 0x0804, "Chinese"}, {"ko", 0x0412, "Korean"},     {"el", 0x0408, "Greek"},
};

std::string cpuInfoField(const std::string& name) {
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(name, 0) == 0) {
            const auto colon = line.find(':');
            return colon == std::string::npos ? std::string() : line.substr(colon + 2);
        }
    return {};
}

}  // namespace

// Beep and the screen saver have no desktop-independent setting on Linux:
// the bell counts as on, the screen saver as off with no time-out, and a
// change is not applied.
bool PosixMachineInfo::systemParametersGet(std::uint32_t action, std::int32_t* value) {
    switch (action) {
    case 1: *value = 1; return true;
    case 14:
    case 16: *value = 0; return true;
    default: return false;
    }
}

bool PosixMachineInfo::systemParametersSet(std::uint32_t, std::int32_t, std::uint32_t) { return false; }

bool PosixMachineInfo::workArea(Rect* area) {
    *area = m_display.workArea;
    return true;
}

bool PosixMachineInfo::computerName(std::string& buffer) {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return false;
    fillBuffer(buffer, name);
    return true;
}

// Renaming the machine is the administrator's business, not this program's.
bool PosixMachineInfo::setComputerName(const std::string&) { return false; }

bool PosixMachineInfo::currentHwProfileName(std::string& buffer) {
    fillBuffer(buffer, "Default");
    return true;
}

int PosixMachineInfo::deviceCaps(int index) {
    switch (index) {
    case 12: return m_display.bitsPerPixel;
    case 14: return m_display.planes;
    case 88: return m_display.dotsPerInchX;
    default: return 0;
    }
}

bool PosixMachineInfo::createGuid(GuidValue* guid) {
    std::uint8_t bytes[16];
    if (::getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) return false;
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);  // version 4, random
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);  // the RFC 4122 variant
    guid->data1 =
        (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) | (std::uint32_t{bytes[2]} << 8) | bytes[3];
    guid->data2 = static_cast<std::uint16_t>((bytes[4] << 8) | bytes[5]);
    guid->data3 = static_cast<std::uint16_t>((bytes[6] << 8) | bytes[7]);
    std::memcpy(guid->data4.data(), bytes + 8, 8);
    return true;
}

// The language of LC_ALL, LC_MESSAGES or LANG, as its Windows locale number.
std::uint32_t PosixMachineInfo::userDefaultLcid() {
    const char* lang = nullptr;
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if ((lang = std::getenv(var)) && *lang) break;
    if (!lang) return 0x0409;
    for (const auto& l : kLanguages)
        if (std::strncmp(lang, l.code, 2) == 0) return l.lcid;
    return 0x0409;
}

int PosixMachineInfo::localeInfo(std::uint32_t lcid, std::uint32_t item, std::string& buffer) {
    if (item != 0x1001) return 0;
    for (const auto& l : kLanguages)
        if (l.lcid == lcid) {
            fillBuffer(buffer, l.englishName);
            return static_cast<int>(std::strlen(l.englishName) + 1);
        }
    return 0;
}

// The kernel's release ("6.1.0-18-amd64" gives 6, 1 and 0) and its version
// text as the service-pack text.
bool PosixMachineInfo::versionEx(VersionInfo* info) {
    utsname u{};
    if (::uname(&u) != 0) return false;
    unsigned major = 0, minor = 0, build = 0;
    std::sscanf(u.release, "%u.%u.%u", &major, &minor, &build);
    info->majorVersion = major;
    info->minorVersion = minor;
    info->buildNumber = build;
    info->platformId = 0;
    fillBuffer(info->csdVersion, u.version);
    return true;
}

bool PosixMachineInfo::systemDirectory(std::string& buffer) {
    fillBuffer(buffer, "/usr/lib");
    return true;
}

bool PosixMachineInfo::windowsDirectory(std::string& buffer) {
    fillBuffer(buffer, "/usr");
    return true;
}

bool PosixMachineInfo::tempPath(std::string& buffer) {
    const char* dir = std::getenv("TMPDIR");
    std::string path = dir && *dir == '/' ? dir : "/tmp";
    if (path.back() != '/') path += '/';
    fillBuffer(buffer, path);
    return true;
}

// As the platform forms it: the directory, up to three characters of the
// prefix, the unique number in hexadecimal and ".TMP". Nothing is created.
bool PosixMachineInfo::tempFileName(const std::string& path, const std::string& prefix, std::uint32_t unique,
                                    std::string& buffer) {
    std::string dir = path;
    if (!dir.empty() && dir.back() != '/') dir += '/';
    char number[16];
    std::snprintf(number, sizeof number, "%X", unique);
    fillBuffer(buffer, dir + prefix.substr(0, 3) + number + ".TMP");
    return true;
}

bool PosixMachineInfo::userName(std::string& buffer) {
    const passwd* pw = ::getpwuid(::geteuid());
    if (!pw) return false;
    fillBuffer(buffer, pw->pw_name);
    return true;
}

// Milliseconds since the machine started, wrapping after 49.7 days like
// the platform's 32-bit tick count.
std::uint32_t PosixMachineInfo::tickCount() {
    timespec t{};
    ::clock_gettime(CLOCK_BOOTTIME, &t);
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(t.tv_sec) * 1000u +
                                      static_cast<std::uint64_t>(t.tv_nsec) / 1000000u);
}

void PosixMachineInfo::systemInfo(SystemInfo* info) {
    const long processors = ::sysconf(_SC_NPROCESSORS_ONLN);
    const long page = ::sysconf(_SC_PAGESIZE);
    info->numberOfProcessors = processors > 0 ? static_cast<std::uint32_t>(processors) : 1;
    info->activeProcessorMask = info->numberOfProcessors >= 64 ? ~0ull : ((1ull << info->numberOfProcessors) - 1);
    info->pageSize = page > 0 ? static_cast<std::uint32_t>(page) : 4096;
    info->allocationGranularity = info->pageSize;  // mmap maps whole pages
    info->minimumApplicationAddress = 0x10000;     // vm.mmap_min_addr's usual value
#if defined(__x86_64__) || defined(__aarch64__)
    info->maximumApplicationAddress = 0x7FFFFFFFFFFFull;
#else
    info->maximumApplicationAddress = 0xBFFFFFFFull;
#endif
#if defined(__x86_64__)
    info->processorArchitecture = 9;  // AMD64
    info->processorType = 8664;
#elif defined(__aarch64__)
    info->processorArchitecture = 12;  // ARM64
    info->processorType = 0;
#elif defined(__i386__)
    info->processorArchitecture = 0;  // Intel
    info->processorType = 586;
#endif
    const std::string family = cpuInfoField("cpu family");
    const std::string model = cpuInfoField("model\t");
    const std::string stepping = cpuInfoField("stepping");
    info->processorLevel = static_cast<std::int16_t>(std::atoi(family.c_str()));
    info->processorRevision = processorRevisionOf(std::atoi(model.c_str()), std::atoi(stepping.c_str()));
}

std::uint16_t processorRevisionOf(int model, int stepping) {
    return static_cast<std::uint16_t>(((static_cast<unsigned>(model) & 0xFFu) << 8) |
                                      (static_cast<unsigned>(stepping) & 0xFFu));
}

bool PosixMachineInfo::processorFeature(std::uint32_t feature) {
    const std::string flags = " " + cpuInfoField("flags") + " ";
    switch (feature) {
    case 2: return flags.find(" cx8 ") != std::string::npos;
    case 3: return flags.find(" mmx ") != std::string::npos;
    default: return false;  // no Pentium divide errata, no emulated floating point
    }
}

int PosixMachineInfo::systemMetrics(int) { return 0; }

}  // namespace platform::posix
