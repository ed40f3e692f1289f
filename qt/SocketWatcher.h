#pragma once

#include <QObject>
#include <QPointer>
#include <QSocketNotifier>
#include <cstdint>

#include "platform/DatagramSource.h"

namespace qtgui {

// Watches the UDP socket on the event loop and tells when datagrams wait;
// the receiver takes them. Its reports can be switched off (while they are
// held, or one is being taken) and on again.
class SocketWatcher : public QObject {
    Q_OBJECT
public:
    explicit SocketWatcher(platform::IDatagramSource& socket, QObject* parent = nullptr);
    ~SocketWatcher() override;

    void setReporting(bool on);

signals:
    // Datagrams wait in the socket, the first of this many bytes.
    void arrived(std::int32_t bytes);

private:
    platform::IDatagramSource& m_socket;
    QPointer<QSocketNotifier> m_notifier;
    bool m_reporting = true;
};

}  // namespace qtgui
