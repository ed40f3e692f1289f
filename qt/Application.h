#pragma once

namespace qtgui {

// Names the application and its version, for the command line's answers.
void nameApplication();

// Names the running application and gives it its icon. No display name is
// set: the window system plugin would append it to every window title.
void setUpApplication();

// Ends the running event loop (and every loop nested in it) so that the one
// owner of the program's end takes over. Outside a running loop it does
// nothing: Qt would otherwise end the next loop at once.
void leaveEventLoop();

// True once leaveEventLoop() has ended a running loop, until the next
// resetLeaving(): a pause, which is not an event loop of its own, asks.
bool leavingEventLoop();
void resetLeaving();

}  // namespace qtgui
