#include "qt/SocketWatcher.h"

#include <algorithm>

namespace qtgui {

using namespace platform;

SocketWatcher::SocketWatcher(IDatagramSource& socket, const EventSleeper* hold, QObject* parent)
    : QObject(parent), m_socket(socket), m_hold(hold) {
    // The replies that waited are taken as soon as the hold is over, before
    // the input and the ticks that waited with them.
    if (m_hold) connect(m_hold, &EventSleeper::repliesReleased, this, &SocketWatcher::drain);
    const auto opened = [this](platform::SocketHandle fd) {
        m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] { drain(); });
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

void SocketWatcher::drain() {
    QPointer<QSocketNotifier> notifier = m_notifier;
    if (!notifier) return;
    // Not reported again while a handler runs (it may show a message box).
    notifier->setEnabled(false);
    if (m_hold && m_hold->repliesHeld()) return;
    for (int i = 0; i < kSlice && notifier == m_notifier && m_socket.descriptor() >= 0; ++i) {
        const long size = m_socket.pendingDatagramSize();
        if (size < 0) break;
        emit arrived(static_cast<std::int32_t>(std::min<long>(size, INT32_MAX)));
    }
    if (notifier && notifier == m_notifier) notifier->setEnabled(true);
}

}  // namespace qtgui
