#include "support/modErrorLog.h"

#include <cstdio>

#include "base/ExeName.h"

namespace support {

namespace {
constexpr const char* kCrLf = "\r\n";
}

std::string modErrorLog::defaultLogFile() {
    std::string dir = m_files.programDirectory();
    if (dir.empty() || dir.back() != m_files.separator()) dir += m_files.separator();
    return dir + base::kExeName + ".log";
}

namespace {

// The caller's details, completed by the caught failure's.
base::AppError merged(const std::string& description, const std::string& source, std::int32_t number,
                      const base::AppError* caught) {
    if (!caught) return base::AppError(number, source, description);
    return base::AppError(
        number == 0 ? caught->number() : number,
        source.empty() ? caught->source() : source + " (" + caught->source() + ")",
        description.empty() ? caught->description() : description + "(" + caught->description() + ")");
}

}  // namespace

ErrorMessage modErrorLog::Report(const std::string& description, const std::string& source, std::int32_t number,
                                 bool writeLog, const base::AppError* caught, const std::string& logFile) {
    const base::AppError e = merged(description, source, number, caught);
    const std::string num = std::to_string(e.number());
    if (writeLog)
        WriteLogEntry("Error " + num + " in " + e.source() + ":" + kCrLf + e.description(), logFile, true, true, false);
    return ErrorMessage{std::string("Following error occurred in this application:") + kCrLf + kCrLf + e.description() +
                            kCrLf + "Number: " + num + kCrLf + "Source: " + e.source(),
                        platform::mb::kCritical + platform::mb::kSystemModal, std::string(base::kExeName) + " Error"};
}

void modErrorLog::LogError(const std::string& description, const std::string& source, std::int32_t number,
                           bool showMessage, bool raise, bool writeLog, const base::AppError* caught,
                           const std::string& logFile) {
    const ErrorMessage message = Report(description, source, number, writeLog, caught, logFile);
    if (showMessage && m_messageBox) m_messageBox->show(message.text, message.style, message.title);
    if (raise) throw merged(description, source, number, caught);
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
