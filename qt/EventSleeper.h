#pragma once

#include <QObject>
#include <functional>

#include "platform/Sleeper.h"

namespace qtgui {

// The program's pauses and failure boxes on the Qt event loop. While one is
// under way the window keeps painting and answering the window manager's
// pings, and the keys and clicks wait in the window system's queue; timer
// ticks are not dispatched, and the socket watcher and the window look at
// held() and leave the replies and ticks that reach them for later.
//
// Once the last one is over, and the handler that paused has returned, what
// waited runs in the order Windows gives its messages (posted ones, then
// input, and a timer message only when nothing else waits): repliesReleased()
// lets the replies be taken at once, then one more pass of the event loop
// hands over the keys and clicks, ticks still held, so a Stop clicked during
// a broadcast stops the timers before their ticks can run; then released()
// lets the ticks that fell due run.
class EventSleeper : public QObject, public platform::ISleeper {
    Q_OBJECT
public:
    using QObject::QObject;
    void sleep(std::uint32_t milliseconds) override;
    void holdEvents(const std::function<void()>& body) override;
    bool held() const { return m_depth > 0 || m_releasing; }
    bool repliesHeld() const { return m_depth > 0; }

    // What to do when the program is asked to end (a signal, the end of the
    // desktop session) in the middle of a pause: the pause does not hold it.
    void setEndNow(std::function<void()> endNow) { m_endNow = std::move(endNow); }

signals:
    void repliesReleased();
    void released();

private:
    class Hold;
    void release();

    int m_depth = 0;
    bool m_releasing = false;
    bool m_inputPassed = false;
    std::function<void()> m_endNow;
};

}  // namespace qtgui
