#pragma once

#include <string>

#include "app/frmMain.h"
#include "settings/CAppSettings.h"
#include "tests/fakes/FakeControls.h"
#include "tests/fakes/FakeProfileLocks.h"
#include "tests/fakes/FakeServices.h"
#include "tests/support/NativeFiles.h"
#include "tests/support/NativeStore.h"
#include "tests/support/TempDir.h"

namespace testsupport {

// What the window's logic is given besides its controls, as every form test
// sets it up: the platform's real settings store and data directory in a
// temporary directory of the test's own (the console's files in its cache);
// boxes, dialogs, the clock, pauses,
// the pointer and the sockets library recorded.
struct TestServices {
    enum class Real { nothing, boxesAndPauses };  // what a live window takes of its own
    TempDir tmp;
    ScopedEnv dataHome{kDataHomeVariable, tmp / "data"};
    NativeStore store{tmp};
    fakes::FakeMessageBox boxes;
    fakes::FakeFileDialogs dialogs;
    NativeFileSystem files;
    NativeConsoleFiles consoleFiles{tmp / "cache"};
    fakes::FakeClock clock;
    fakes::FakeEventLoop sleeper;
    app::Pauses pauses{sleeper};
    fakes::FakeCursor cursor;
    fakes::FakeSocketsLibrary sockets;
    fakes::FakeLockTable lockTable;
    fakes::FakeProfileLocks locks{lockTable, 4242};

    // The services with these boxes and pauses: the recorded ones, or a window's own.
    app::FormServices services(platform::IMessageBox& boxesShown, app::Pauses& held,
                               platform::IConsoleFiles* console = nullptr) {
        return {.registry = store.registry(),
                .messageBox = boxesShown,
                .fileDialogs = dialogs,
                .fileSystem = files,
                .clock = clock,
                .sleeper = held,
                .cursor = cursor,
                .sockets = sockets,
                .profileLocks = locks,
                .consoleFiles = console ? *console : consoleFiles};
    }
    // The window's own settings, read and written as the next run does.
    settings::CAppSettings settings() {
        settings::CAppSettings s(store.registry());
        s.Init("Quorlan", "_Vexmond");
        return s;
    }
    std::string stored(const std::string& section, const std::string& name) {
        return settings().GetSetting(section, name, support::Variant::String("<missing>")).toText();
    }
    void save(const std::string& section, const std::string& name, const std::string& value) {
        settings().SaveSetting(section, name, support::Variant::String(value));
    }
    // A file of the program's own data directory.
    std::string dataFile(const std::string& name) const {
        return tmp / ("data" + (kSeparator + std::string(kDataDirectoryName)) + kSeparator + name);
    }
};

}  // namespace testsupport
