#pragma once

#include <memory>

#include "app/frmMain.h"
#include "settings/CAppSettings.h"
#include "tests/fakes/FakeComboBox.h"
#include "tests/fakes/FakeControls.h"
#include "tests/fakes/FakeServices.h"
#include "tests/support/NativeFiles.h"
#include "tests/support/NativeStore.h"
#include "tests/support/TempDir.h"

namespace fakes {

// frmMain over fake controls and services, and the platform's real settings
// store and data directory in places of the test's own, with the design
// contents of the window's fields.
struct FormHarness {
    testsupport::TempDir tmp;
    testsupport::ScopedEnv dataHome{testsupport::kDataHomeVariable, tmp / "data"};
    testsupport::NativeStore store{tmp};
    platform::IRegistry& registry = store.registry();
    FakeMessageBox messageBox;
    FakeFileDialogs fileDialogs;
    testsupport::NativeFileSystem fileSystem;
    FakeClock clock;
    FakeSleeper sleeper;
    FakeCursor cursor;
    FakeSocketsLibrary sockets;
    FakeForm form;
    FakeToolbar toolbar;
    FakeComboBox txtIP;
    FakeTextField txtPort, txtPassword, txtMsg, txtSeverMessageTime{"5"}, txtMsgDelay{"15"}, txtStatus{"1"},
        txtSendCommand;
    FakeRichText txtOutput;
    FakeButton cmdStart;
    FakeImage imgConnected{false}, imgNotConnected{true};
    FakeTimer tmrServerMessage, tmrStatus;
    FakeSocket udpPeerA;
    std::unique_ptr<app::frmMain> frm;

    FormHarness() { recreate(); }

    app::FormControls controls(platform::ISocket& socket) {
        return {.form = form,
                .SSActiveToolBars1 = toolbar,
                .txtIP = txtIP,
                .txtPort = txtPort,
                .txtPassword = txtPassword,
                .txtMsg = txtMsg,
                .txtSeverMessageTime = txtSeverMessageTime,
                .txtMsgDelay = txtMsgDelay,
                .txtStatus = txtStatus,
                .txtSendCommand = txtSendCommand,
                .txtOutput = txtOutput,
                .cmdStart = cmdStart,
                .imgConnected = imgConnected,
                .imgNotConnected = imgNotConnected,
                .tmrServerMessage = tmrServerMessage,
                .tmrStatus = tmrStatus,
                .udpPeerA = socket};
    }
    app::FormServices services() {
        return {.registry = registry,
                .messageBox = messageBox,
                .fileDialogs = fileDialogs,
                .fileSystem = fileSystem,
                .clock = clock,
                .sleeper = sleeper,
                .cursor = cursor,
                .sockets = sockets};
    }

    // A new window over the same store, as on the next run of the program.
    void recreate() {
        frm.reset();
        frm = std::make_unique<app::frmMain>(controls(udpPeerA), services());
    }

    // The running state as Start leaves it.
    void setRunning() {
        udpPeerA.open = true;
        tmrServerMessage.on = tmrStatus.on = true;
        frm->ShowRunning();
    }

    // The window's own settings, read as the next run reads them.
    settings::CAppSettings settings() {
        settings::CAppSettings s(registry);
        s.Init("Quorlan", "_Vexmond");
        return s;
    }
    std::string dataFile(const std::string& name) const {
        using testsupport::kSeparator;
        return tmp / ("data" + (kSeparator + std::string(testsupport::kDataDirectoryName)) + kSeparator + name);
    }
    std::string stored(const std::string& section, const std::string& name) {
        return settings().GetSetting(section, name, support::Variant::String("<missing>")).toText();
    }
    // A store that reads but cannot save.
    void setReadOnly(bool readOnly) { store.setReadOnly(readOnly); }
};

}  // namespace fakes
