#pragma once

namespace app {

// The program's texts that more than the window's presenter use: the title
// of every box the program shows, the nine blanks after an input check's or
// a socket failure's message, and the answer to a command typed before any
// Start.
inline constexpr const char* kAppTitle = "Vexmond";
inline constexpr const char* kNineBlanks = "         ";
// The running indicator's tooltip, on both of its images.
inline constexpr const char* kIndicatorTip = "Toggles Port";
inline constexpr const char* kNoServerYet =
    "There is no server to send the command to yet. Press Start once to set the server; after that, commands can "
    "be sent to it even while Vexmond is stopped.";

}  // namespace app
