#pragma once

#include <QObject>

namespace app {
class frmMain;
}

namespace qtgui {

class EventLoop;

// The one owner of the program's end. Close and Exit unload the window
// themselves; everything else that ends the program (SIGTERM, SIGINT, SIGHUP,
// the end of the desktop session, which Qt turns into a quit) only leaves
// the event loop, and run() unloads the window once the loop is over. A
// session save point or a logout the user cancels does not end anything.
// In the middle of a pause the window is unloaded there and then, and the
// process ends: the paused broadcast would go on sending otherwise.
class Lifetime : public QObject {
    Q_OBJECT
public:
    // The end is not held by the waits of the window's pauses (loop), if given.
    explicit Lifetime(app::frmMain& form, EventLoop* loop = nullptr);
    ~Lifetime() override;
    Lifetime(const Lifetime&) = delete;
    Lifetime& operator=(const Lifetime&) = delete;

    // Runs the event loop, then the unload if nothing has run it yet.
    int run();

private:
    void takeSignals();

    app::frmMain& m_form;
    EventLoop* m_loop;
    int m_pipe[2] = {-1, -1};
};

}  // namespace qtgui
