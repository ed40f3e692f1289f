#include "platform/qt/Application.h"

#include <QApplication>
#include <QThread>

#include "platform/qt/Icons.h"

namespace platform::qt {

void setUpApplication() {
    QApplication::setApplicationName("vexmond");
    QGuiApplication::setDesktopFileName("vexmond");
    QApplication::setWindowIcon(appIcon());
}

void leaveEventLoop() {
    if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(0);
}

}  // namespace platform::qt
