#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/FileDialog.h"

namespace qtgui {

// The Open and Save dialogs on QFileDialog, answering in the buffer form of
// the request record. Window handles are the native ids of top-level windows.
class QtFileDialogs : public platform::IFileDialogs {
public:
    bool getOpenFileName(platform::OpenFileNameRequest& request) override { return run(request, false); }
    bool getSaveFileName(platform::OpenFileNameRequest& request) override { return run(request, true); }
    bool isWindow(platform::WindowHandle window) override;

    static platform::WindowHandle handleOf(QWidget* window);

private:
    bool run(platform::OpenFileNameRequest& request, bool save);
};

}  // namespace qtgui
