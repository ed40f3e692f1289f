#include "gui/Application.h"

#include <QApplication>
#include <QThread>

#include "gui/Icons.h"

namespace gui {

void nameApplication() {
    QCoreApplication::setApplicationName("vexmond");
    QCoreApplication::setApplicationVersion(VEXMOND_VERSION);
}

void setUpApplication() {
    nameApplication();
    QGuiApplication::setDesktopFileName("vexmond");
    QApplication::setWindowIcon(appIcon());
}

void leaveEventLoop() {
    if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(0);
}

}  // namespace gui
