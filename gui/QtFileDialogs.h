#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/FileDialog.h"

namespace gui {

using namespace platform;

// The Open and Save dialogs on QFileDialog, answering in the buffer form of
// the request record. Window handles are the native ids of top-level windows.
class QtFileDialogs : public IFileDialogs {
public:
    bool getOpenFileName(OpenFileNameRequest& request) override { return run(request, false); }
    bool getSaveFileName(OpenFileNameRequest& request) override { return run(request, true); }
    bool isWindow(std::int32_t window) override;

    static std::int32_t handleOf(QWidget* window);

private:
    bool run(OpenFileNameRequest& request, bool save);
};

}  // namespace gui
