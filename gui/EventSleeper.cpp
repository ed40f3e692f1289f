#include "gui/EventSleeper.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <chrono>
#include <thread>

namespace gui {

using namespace platform;

class EventSleeper::Hold {
public:
    explicit Hold(EventSleeper& owner) : m_owner(owner) { ++m_owner.m_depth; }
    ~Hold() {
        if (--m_owner.m_depth > 0) return;
        // Queued, so that nothing held back runs inside the handler that is
        // still on the stack (a broadcast between two of its lines).
        QMetaObject::invokeMethod(
            &m_owner,
            [owner = &m_owner] {
                if (!owner->held()) emit owner->released();
            },
            Qt::QueuedConnection);
    }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

private:
    EventSleeper& m_owner;
};

void EventSleeper::sleep(std::uint32_t milliseconds) {
    using clock = std::chrono::steady_clock;
    Hold hold(*this);
    const auto deadline = clock::now() + std::chrono::milliseconds(milliseconds);
    // Painting, window-manager messages (pings, exposures) and posted events
    // go on; keys and clicks wait in the window system's queue, timer ticks and
    // the socket wait for the loop after the pause.
    const auto flags =
        QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers | QEventLoop::X11ExcludeTimers;
    for (;;) {
        QCoreApplication::processEvents(flags);
        const auto now = clock::now();
        if (now >= deadline) break;
        std::this_thread::sleep_for(std::min<clock::duration>(deadline - now, std::chrono::milliseconds(10)));
    }
}

void EventSleeper::holdEvents(const std::function<void()>& body) {
    Hold hold(*this);
    body();
}

}  // namespace gui
