#include "qt/EventSleeper.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <chrono>
#include <thread>

#include "qt/Application.h"

namespace qtgui {

using namespace platform;

class EventSleeper::Hold {
public:
    explicit Hold(EventSleeper& owner) : m_owner(owner) {
        if (m_owner.m_depth++ > 0) return;
        m_owner.m_releasing = true;
        m_owner.m_inputPassed = false;
    }
    ~Hold() {
        if (--m_owner.m_depth > 0) return;
        // Queued, so that nothing held back runs inside the handler that is
        // still on the stack (a broadcast between two of its lines).
        QMetaObject::invokeMethod(&m_owner, &EventSleeper::release, Qt::QueuedConnection);
    }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

private:
    EventSleeper& m_owner;
};

void EventSleeper::release() {
    if (m_depth > 0 || !m_releasing) return;
    if (!m_inputPassed) {
        // The replies now; then one more pass of the event loop, ticks still
        // held, in which the window system hands over the keys and clicks it
        // kept back. That pass looks at the window system's queue because a
        // posted event is pending: this call, queued once more.
        m_inputPassed = true;
        QMetaObject::invokeMethod(this, &EventSleeper::release, Qt::QueuedConnection);
        emit repliesReleased();
        return;
    }
    m_releasing = false;
    emit released();
}

void EventSleeper::sleep(std::uint32_t milliseconds) {
    using clock = std::chrono::steady_clock;
    Hold hold(*this);
    const auto deadline = clock::now() + std::chrono::milliseconds(milliseconds);
    // Painting, window-manager messages (pings, exposures), posted events and
    // socket notifiers go on: the signal pipe and the session manager end the
    // program from here. Keys and clicks wait in the window system's queue;
    // timers are not dispatched; the socket watcher holds the replies itself.
    const auto flags = QEventLoop::ExcludeUserInputEvents | QEventLoop::X11ExcludeTimers;
    for (;;) {
        QCoreApplication::processEvents(flags);
        if (m_endNow && leavingEventLoop()) m_endNow();
        const auto now = clock::now();
        if (now >= deadline) break;
        std::this_thread::sleep_for(std::min<clock::duration>(deadline - now, std::chrono::milliseconds(10)));
    }
}

void EventSleeper::holdEvents(const std::function<void()>& body) {
    Hold hold(*this);
    body();
}

}  // namespace qtgui
