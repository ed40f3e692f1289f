#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

#include "platform/EventLoop.h"
#include "qt/SocketWatcher.h"

namespace qtgui {

// Qt's event loop as a pause needs it. A wait goes on painting and answering
// the window manager's pings and lets posted events and socket notifiers run
// (the signal pipe and the session manager end the program from there);
// keys and clicks wait in the window system's queue, and timers are not
// dispatched. What runs after the input that waited runs one more pass of
// the event loop later: xcb's event source looks at its queue only in a pass
// that was woken, and a posted event pending makes it so.
class EventLoop : public QObject, public platform::IEventLoop {
    Q_OBJECT
public:
    using QObject::QObject;
    void wait(std::uint32_t milliseconds) override;
    std::int64_t milliseconds() const override;
    void post(std::function<void()> function) override;
    void afterInput(std::function<void()> function) override;
    void reportArrivals(bool on) override;

    // The watcher whose reports reportArrivals() switches.
    void setWatcher(SocketWatcher* watcher) { m_watcher = watcher; }
    // What to do when the program is asked to end (a signal, the end of the
    // desktop session) in the middle of a wait: the wait does not hold it.
    void setEndNow(std::function<void()> endNow) { m_endNow = std::move(endNow); }

private:
    QPointer<SocketWatcher> m_watcher;
    std::function<void()> m_endNow;
};

}  // namespace qtgui
