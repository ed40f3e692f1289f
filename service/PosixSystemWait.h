#pragma once

#include "service/SystemWait.h"

namespace service {

// The wait on POSIX: poll() on the socket and on a pipe that the signal
// handlers write to (SIGTERM and SIGINT end the service, SIGHUP reloads
// it), with the monotonic clock. One at a time: it owns those signals'
// handlers while it lives.
class PosixSystemWait : public ISystemWait {
public:
    PosixSystemWait();
    ~PosixSystemWait() override;
    PosixSystemWait(const PosixSystemWait&) = delete;
    PosixSystemWait& operator=(const PosixSystemWait&) = delete;

    std::int64_t now() override;
    void waitUntil(std::int64_t deadline, platform::SocketHandle socket, unsigned wakeFor) override;
    unsigned takeSignals(unsigned which) override;

private:
    int m_pipe[2] = {-1, -1};
};

}  // namespace service
