#include "gui/Application.h"

#include <QApplication>
#include <QThread>

#include "gui/Icons.h"

namespace gui {

void setUpApplication() {
    QApplication::setApplicationName("vexmond");
    QGuiApplication::setDesktopFileName("vexmond");
    QApplication::setWindowIcon(appIcon());
}

void leaveEventLoop() {
    if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(0);
}

}  // namespace gui
