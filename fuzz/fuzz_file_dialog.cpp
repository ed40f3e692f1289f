// The file dialog's answer buffer, as any dialog might write it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "support/CFileOpenSaveDialog.h"
#include "tests/fakes/FakeServices.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint8_t flags = data[0];
    std::string answer(reinterpret_cast<const char*>(data + 1), size - 1);
    if (answer.size() > 1024) answer.resize(1024);
    const std::size_t split = answer.find('\x01');
    fakes::FakeFileDialogs dialogs;
    dialogs.answers.push_back(
        {true, answer.substr(0, split), split == std::string::npos ? "" : answer.substr(split + 1)});
    support::CFileOpenSaveDialog dialog(dialogs);
    dialog.setFlags((flags & 1) ? 0x80204 : 0x80004);
    dialog.setCenterDialog(flags & 2);
    if (!dialog.Show(flags & 4 ? 1 : 0)) return 0;
    const std::int16_t count = dialog.FileCount();
    for (std::int16_t i = -1; i <= count + 1 && i < 40; ++i) (void)dialog.GetNextFileName(i);
    if (count < 0) __builtin_trap();
    return 0;
}
