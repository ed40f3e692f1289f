#pragma once

#include <windows.h>

namespace win32 {

// The command numbers of the main window's controls that report to it; the
// other controls are numbered from 2000 as they are made.
enum : WORD {
    kFirstControl = 1000,
    kCmdIP = kFirstControl,
    kCmdSend,
    kCmdSave,
    kCmdClear,
    kCmdStart,
    kCmdStop,
    kCmdClose,
    kCmdPlayers,
    kTxtIP,
    kTxtMsg,
    kLink,
    kSpinMessageTime,
    kSpinMsgDelay,
    kSpinStatus,
};

}  // namespace win32
