#pragma once

#include <QObject>
#include <QPointer>
#include <QSocketNotifier>
#include <functional>

#include "platform/DatagramSource.h"
#include "gui/EventSleeper.h"

namespace gui {

// Watches the UDP socket on the event loop and reports each datagram that
// has arrived, one call per datagram. Each pass takes every datagram that is
// waiting (the console shows them in one insertion after the pass), up to a
// slice, so that the window stays responsive during a flood.
class SocketWatcher : public QObject {
    Q_OBJECT
public:
    // While hold is held (a pause, a failure box) no datagram is reported;
    // they wait in the socket until it is released.
    SocketWatcher(platform::IDatagramSource& socket, std::function<void(std::int32_t bytes)> onArrival,
                  const EventSleeper* hold = nullptr, QObject* parent = nullptr);
    ~SocketWatcher() override;

    static constexpr int kSlice = 1024;

private:
    void drain();

    platform::IDatagramSource& m_socket;
    std::function<void(std::int32_t)> m_onArrival;
    const EventSleeper* m_hold;
    QPointer<QSocketNotifier> m_notifier;
};

}  // namespace gui
