#pragma once

// The platform's file system and where it keeps the program's own directory:
// below the variable's directory, in a directory of this name.
#ifdef _WIN32
#include "platform/win/WinConsoleFiles.h"
#include "platform/win/WinFileSystem.h"
#else
#include "platform/posix/PosixConsoleFiles.h"
#include "platform/posix/PosixFileSystem.h"
#endif

namespace testsupport {

#ifdef _WIN32
using NativeFileSystem = platform::win::WinFileSystem;
using NativeConsoleFiles = platform::win::WinConsoleFiles;
inline constexpr const char* kDataHomeVariable = "LOCALAPPDATA";
inline constexpr const char* kDataDirectoryName = "Vexmond";
#else
using NativeFileSystem = platform::posix::PosixFileSystem;
using NativeConsoleFiles = platform::posix::PosixConsoleFiles;
inline constexpr const char* kDataHomeVariable = "XDG_DATA_HOME";
inline constexpr const char* kDataDirectoryName = "vexmond";
#endif

}  // namespace testsupport
