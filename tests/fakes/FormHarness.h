#pragma once

#include <memory>

#include "app/frmMain.h"
#include "tests/fakes/FakeComboBox.h"
#include "tests/fakes/FakeControls.h"
#include "tests/fakes/FakeRegistry.h"
#include "tests/fakes/FakeServices.h"

namespace fakes {

// frmMain over fake controls and services, with the design contents of the
// window's fields.
struct FormHarness {
    FakeRegistry registry;
    FakeMessageBox messageBox;
    FakeFileDialogs fileDialogs;
    FakeFileSystem fileSystem;
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

    // A new window over the same store, as on the next run of the program.
    void recreate() {
        frm.reset();
        frm = std::make_unique<app::frmMain>(app::FormControls{.form = form,
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
                                                               .udpPeerA = udpPeerA},
                                             app::FormServices{.registry = registry,
                                                               .messageBox = messageBox,
                                                               .fileDialogs = fileDialogs,
                                                               .fileSystem = fileSystem,
                                                               .clock = clock,
                                                               .sleeper = sleeper,
                                                               .cursor = cursor,
                                                               .sockets = sockets});
    }

    // The running state as Start leaves it.
    void setRunning() {
        udpPeerA.open = true;
        tmrServerMessage.on = tmrStatus.on = true;
        frm->ShowRunning();
    }

    std::string stored(const std::string& section, const std::string& name) {
        const auto* v = registry.value(platform::kHKeyLocalMachine, "Software\\Quorlan\\_Vexmond\\" + section, name);
        if (!v) return "<missing>";
        return std::string(v->data.begin(), v->data.end() - (v->data.empty() ? 0 : 1));
    }
};

}  // namespace fakes
