#include "qt/EventLoop.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <chrono>
#include <thread>

#include "qt/Application.h"
#include "qt/SocketWatcher.h"

namespace qtgui {

void EventLoop::wait(std::uint32_t milliseconds) {
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + std::chrono::milliseconds(milliseconds);
    const auto flags = QEventLoop::ExcludeUserInputEvents | QEventLoop::X11ExcludeTimers;
    for (;;) {
        QCoreApplication::processEvents(flags);
        if (m_endNow && leavingEventLoop()) m_endNow();
        const auto now = clock::now();
        if (now >= deadline) break;
        std::this_thread::sleep_for(std::min<clock::duration>(deadline - now, std::chrono::milliseconds(10)));
    }
}

std::int64_t EventLoop::milliseconds() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void EventLoop::post(std::function<void()> function) {
    QMetaObject::invokeMethod(this, std::move(function), Qt::QueuedConnection);
}

void EventLoop::afterInput(std::function<void()> function) {
    post([this, function = std::move(function)] { post(function); });
}

void EventLoop::reportArrivals(bool on) {
    if (m_watcher) m_watcher->setReporting(on);
}

}  // namespace qtgui
