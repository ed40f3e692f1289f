#pragma once

#include <string>

#include "platform/ProfileLocks.h"

namespace platform::posix {

// The locks as files NAME.lock in a directory (made 0700 when missing), each
// held by flock on an open file of its own: another open file of the same
// process is refused too, and the system lets the lock go when the process
// ends. The holder writes its process and text into the file and empties
// it when it lets go; the file itself stays, since one removed while
// another process waits on it would let two hold the "same" lock.
class PosixProfileLocks : public IProfileLocks {
public:
    explicit PosixProfileLocks(std::string directory);
    LockAttempt take(const std::string& name, const std::string& holder) override;

private:
    std::string m_directory;
};

}  // namespace platform::posix
