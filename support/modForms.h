#pragma once

#include "platform/Controls.h"

namespace support::modForms {

// Moves the window to the middle of the whole screen, size unchanged.
void CenterForm(platform::IForm& form, platform::IMessageBox& messageBox);
// Takes away the window's own close command (the Close item of its system
// menu and the title bar's close button).
void DisableCloseMenu(platform::IForm& form, platform::IMessageBox& messageBox);
// Whether the window still has its own close command.
bool CloseMenuEnabled(const platform::IForm& form);

}  // namespace support::modForms
