#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Controls.h"
#include "platform/DatagramSource.h"
#include "platform/EventLoop.h"
#include "service/SystemWait.h"

namespace service {

// The service's event loop, on the system's wait: the session's timers, the
// socket's datagrams, what a pause posts, and the signals. A pass runs what
// is posted, then what waits for the input (a service has none), then tells
// that datagrams wait, then ticks each timer that fell due, once however late
// it is, in the order the window's loop hands over its messages. A pause
// watches only for the end: a reload waits until the broadcast is over.
class ServiceLoop : public platform::IEventLoop {
public:
    struct Handlers {
        std::function<void()> arrivals;  // datagrams wait in the socket
        std::function<void()> reload;
        std::function<void()> end;  // also in the middle of a pause
    };

    ServiceLoop(ISystemWait& system, platform::IDatagramSource& socket);
    ~ServiceLoop() override;
    ServiceLoop(const ServiceLoop&) = delete;
    ServiceLoop& operator=(const ServiceLoop&) = delete;

    // A timer that ticks on this loop by calling tick; it never queues
    // missed ticks.
    std::unique_ptr<platform::ITimer> timer(std::function<void()> tick);
    void setHandlers(Handlers handlers) { m_handlers = std::move(handlers); }

    // Runs until the end is signalled, or quit.
    void run();
    // Ends the loop as a signal to end would, in the middle of a pause too.
    void quit() { end(); }
    bool ended() const { return m_ended; }

    void wait(std::uint32_t milliseconds) override;
    std::int64_t milliseconds() const override { return m_system.now(); }
    void post(std::function<void()> function) override { m_posted.push_back(std::move(function)); }
    void afterInput(std::function<void()> function) override { m_afterInput.push_back(std::move(function)); }
    void reportArrivals(bool on) override { m_reporting = on; }

private:
    class Timer;
    bool pass();
    void end();

    ISystemWait& m_system;
    platform::IDatagramSource& m_socket;
    Handlers m_handlers;
    std::vector<Timer*> m_timers;
    std::deque<std::function<void()>> m_posted, m_afterInput;
    bool m_reporting = true;
    bool m_ended = false;
};

}  // namespace service
