#include "qt/SocketWatcher.h"

#include <algorithm>

namespace qtgui {

using namespace platform;

SocketWatcher::SocketWatcher(IDatagramSource& socket, QObject* parent) : QObject(parent), m_socket(socket) {
    const auto opened = [this](platform::SocketHandle fd) {
        m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        m_notifier->setEnabled(m_reporting);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] {
            emit arrived(static_cast<std::int32_t>(std::min<long>(m_socket.pendingDatagramSize(), INT32_MAX)));
        });
    };
    // The notifier may be in the middle of reporting when a handler stops
    // everything: it goes once control is back in the event loop.
    const auto closing = [this] {
        if (!m_notifier) return;
        m_notifier->setEnabled(false);
        m_notifier->deleteLater();
        m_notifier = nullptr;
    };
    m_socket.watch(opened, closing);
    if (m_socket.descriptor() >= 0) opened(m_socket.descriptor());
}

SocketWatcher::~SocketWatcher() { m_socket.watch(nullptr, nullptr); }

void SocketWatcher::setReporting(bool on) {
    m_reporting = on;
    if (m_notifier) m_notifier->setEnabled(on);
}

}  // namespace qtgui
