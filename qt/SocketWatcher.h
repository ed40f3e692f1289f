#pragma once

#include <QObject>
#include <QPointer>
#include <QSocketNotifier>
#include <cstdint>

#include "platform/DatagramSource.h"
#include "qt/EventSleeper.h"

namespace qtgui {

// Watches the UDP socket on the event loop and reports each datagram that
// has arrived, one signal per datagram. Each pass takes every datagram that is
// waiting (the console shows them in one insertion after the pass), up to a
// slice, so that the window stays responsive during a flood.
class SocketWatcher : public QObject {
    Q_OBJECT
public:
    // While hold holds the replies (a pause, a failure box) no datagram is
    // reported; they wait in the socket until it lets them go.
    explicit SocketWatcher(platform::IDatagramSource& socket, const EventSleeper* hold = nullptr,
                           QObject* parent = nullptr);
    ~SocketWatcher() override;

    static constexpr int kSlice = 1024;

signals:
    // A datagram of this many bytes waits in the socket; the receiver reads it.
    void arrived(std::int32_t bytes);

private:
    void drain();

    platform::IDatagramSource& m_socket;
    const EventSleeper* m_hold;
    QPointer<QSocketNotifier> m_notifier;
};

}  // namespace qtgui
