#pragma once

#include <string>

#include "platform/ProfileLocks.h"

namespace platform::win {

// The locks as files NAME.lock in a directory (made when missing), each held
// by LockFileEx on a handle of its own: another handle of the same process
// is refused too, and the system lets the lock go when the process ends.
// The locked byte lies far past the file's text, which the holder writes
// (its process and text) for the refused to read; the holder empties it when
// it lets go.
class WinProfileLocks : public IProfileLocks {
public:
    explicit WinProfileLocks(std::string directory);
    LockAttempt take(const std::string& name, const std::string& holder) override;

private:
    std::string m_directory;
};

}  // namespace platform::win
