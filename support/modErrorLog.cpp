#include "support/modErrorLog.h"

#include <cstdio>

#include "platform/ExeName.h"

namespace support {

namespace {
constexpr const char* kCrLf = "\r\n";
}

std::string modErrorLog::defaultLogFile() {
    std::string dir = m_files.programDirectory();
    if (dir.empty() || dir.back() != m_files.separator()) dir += m_files.separator();
    return dir + platform::kExeName + ".log";
}

void modErrorLog::LogError(const std::string& description, const std::string& source, std::int32_t number,
                           bool showMessage, bool raise, bool writeLog, const base::AppError* caught,
                           const std::string& logFile) {
    std::string desc = description;
    std::string src = source;
    std::int32_t num = number;
    if (caught) {
        desc = desc.empty() ? caught->description() : desc + "(" + caught->description() + ")";
        src = src.empty() ? caught->source() : src + " (" + caught->source() + ")";
        if (num == 0) num = caught->number();
    }
    if (writeLog)
        WriteLogEntry("Error " + std::to_string(num) + " in " + src + ":" + kCrLf + desc, logFile, true, true, false);
    if (showMessage)
        m_messageBox.show(std::string("Following error occurred in this application:") + kCrLf + kCrLf + desc + kCrLf +
                              "Number: " + std::to_string(num) + kCrLf + "Source: " + src,
                          platform::mb::kCritical + platform::mb::kSystemModal,
                          std::string(platform::kExeName) + " Error");
    if (raise) throw base::AppError(num, src, desc);
}

bool modErrorLog::WriteLogEntry(const std::string& entry, const std::string& fileName, bool addTimeStamp,
                                bool addSeparator, bool startNewFile) {
    try {
        std::string file = fileName.empty() ? m_sLogFileName : fileName;
        if (file.empty()) file = defaultLogFile();
        m_sLogFileName = file;
        if (startNewFile && !m_files.truncateFile(file)) return false;
        std::string text;
        if (addSeparator) text += std::string(78, '-') + kCrLf;
        if (addTimeStamp) {
            const platform::LocalDateTime t = m_clock.now();
            const char d = m_clock.dateSeparator(), c = m_clock.timeSeparator();
            char stamp[64];
            std::snprintf(stamp, sizeof stamp, "---%02d%c%02d%c%04d %02d%c%02d%c%02d---", t.month, d, t.day, d, t.year,
                          t.hour, c, t.minute, c, t.second);
            text += std::string(stamp) + kCrLf;
        }
        text += entry + kCrLf;
        return m_files.appendToFile(file, text);
    } catch (...) {
        return false;
    }
}

}  // namespace support
