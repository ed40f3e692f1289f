#pragma once

#include <cstdint>
#include <string>

#include "platform/Clock.h"
#include "platform/Controls.h"
#include "platform/FileSystem.h"
#include "base/AppError.h"

namespace support {

// The box that tells the user of a reported failure.
struct ErrorMessage {
    std::string text;
    int style;
    std::string title;
};

// Reports a caught failure: merges its details with the caller's, appends a
// dated entry to the log file, tells the user, and raises it again or clears it.
class modErrorLog {
public:
    modErrorLog(platform::IFileSystem& files, platform::IClock& clock, platform::IMessageBox& messageBox)
        : m_files(files), m_clock(clock), m_messageBox(&messageBox) {}
    // For an owner with no one to show a box to: it takes the message as
    // data (Report) and tells it its own way.
    modErrorLog(platform::IFileSystem& files, platform::IClock& clock) : m_files(files), m_clock(clock) {}

    void LogError(const std::string& description, const std::string& source, std::int32_t number, bool showMessage,
                  bool raise, bool writeLog, const base::AppError* caught, const std::string& logFile);

    // The failure's details merged with the caller's, the entry written when
    // asked, and the box that tells of it.
    ErrorMessage Report(const std::string& description, const std::string& source, std::int32_t number, bool writeLog,
                        const base::AppError* caught, const std::string& logFile);

    bool WriteLogEntry(const std::string& entry, const std::string& fileName, bool addTimeStamp, bool addSeparator,
                       bool startNewFile);

    // The file of the last entry; empty until the first.
    const std::string& lastFileName() const { return m_sLogFileName; }
    std::string defaultLogFile();

private:
    platform::IFileSystem& m_files;
    platform::IClock& m_clock;
    platform::IMessageBox* m_messageBox = nullptr;
    std::string m_sLogFileName;
};

}  // namespace support
