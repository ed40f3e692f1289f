#include "support/modForms.h"

#include <string>

#include "base/AppError.h"

namespace support::modForms {

namespace {

template <class F>
void reporting(const char* title, platform::IMessageBox& box, F&& body) {
    try {
        body();
    } catch (const std::exception& e) {
        box.show(base::errorText(base::asAppError(e)), platform::mb::kOkOnly, title);
    }
}

constexpr int kClosePosition = 6;
constexpr std::int32_t kScClose = 0xF060;
constexpr std::uint32_t kByCommandGreyed = 1;
constexpr std::int32_t kNoCommand = -10;

}  // namespace

void CenterForm(platform::IForm& form, platform::IMessageBox& messageBox) {
    reporting("CenterForm", messageBox, [&] {
        const double left = (form.screenWidth() - form.width()) / 2;
        const double top = (form.screenHeight() - form.height()) / 2;
        form.move(left, top);
    });
}

void DisableCloseMenu(platform::IForm& form, platform::IMessageBox& messageBox) {
    reporting("DisableCloseMenu", messageBox, [&] {
        const std::int32_t id = form.systemMenuItemId(kClosePosition);
        if (id == -1) return;  // no item there: left as it is
        form.modifySystemMenuItem(id, kByCommandGreyed, kNoCommand, "Close");
    });
}

bool CloseMenuEnabled(const platform::IForm& form) { return form.systemMenuItemId(kClosePosition) == kScClose; }

}  // namespace support::modForms
