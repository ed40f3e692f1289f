#include "qt/Application.h"

#include <QApplication>
#include <QThread>

#include "qt/Icons.h"

namespace qtgui {

void nameApplication() {
    QCoreApplication::setApplicationName("vexmond");
    QCoreApplication::setApplicationVersion(VEXMOND_VERSION);
}

void setUpApplication() {
    nameApplication();
    QGuiApplication::setDesktopFileName("vexmond");
    QApplication::setWindowIcon(appIcon());
}

namespace {
bool g_leaving = false;
}

void leaveEventLoop() {
    if (QThread::currentThread()->loopLevel() == 0) return;
    g_leaving = true;
    QCoreApplication::exit(0);
}

bool leavingEventLoop() { return g_leaving; }
void resetLeaving() { g_leaving = false; }

}  // namespace qtgui
