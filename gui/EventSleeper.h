#pragma once

#include <QObject>

#include "platform/Sleeper.h"

namespace gui {

// The program's pauses and failure boxes on the Qt event loop. While one is
// under way the window keeps painting and answering the window manager's
// pings, but the timer ticks and replies that fall due are held back: the
// window and the socket watcher look at held() and take them up once
// released() is emitted, from the event loop after the handler that paused
// has returned.
class EventSleeper : public QObject, public platform::ISleeper {
    Q_OBJECT
public:
    using QObject::QObject;
    void sleep(std::uint32_t milliseconds) override;
    void holdEvents(const std::function<void()>& body) override;
    bool held() const { return m_depth > 0; }

signals:
    void released();

private:
    class Hold;
    int m_depth = 0;
};

}  // namespace gui
