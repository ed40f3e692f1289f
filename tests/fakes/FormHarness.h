#pragma once

#include <memory>

#include "tests/fakes/FakeComboBox.h"
#include "tests/fakes/FakeConsoleFiles.h"
#include "tests/fakes/FakePlayerTable.h"
#include "tests/support/TestServices.h"

namespace fakes {

// frmMain over fake controls, with the design contents of the window's
// fields, and the services of every form test.
struct FormHarness : testsupport::TestServices {
    FakeForm form;
    FakeToolbar toolbar;
    FakeComboBox txtIP;
    FakeTextField txtPort, txtPassword, txtMsg, txtSeverMessageTime{"5"}, txtMsgDelay{"15"}, txtMinPlayers{"0"},
        chkMsgRotate{"0"}, txtStatus{"1"}, txtSendCommand;
    FakeRichText txtOutput;
    FakeButton cmdStart;
    FakeImage imgConnected{false}, imgNotConnected{true};
    FakeTimer tmrServerMessage, tmrStatus, tmrHeard;
    FakeSocket udpPeerA;
    FakeNotice lblHeard;
    FakeConsoleFiles history;
    FakePlayerTable players;
    std::unique_ptr<app::frmMain> frm;

    FormHarness() { recreate(); }

    // A new window over the same store, as on the next run of the program
    // (of the profile named, or the default one).
    void recreate(const std::string& profile = {}) {
        frm.reset();
        frm = std::make_unique<app::frmMain>(app::FormControls{.form = form,
                                                               .SSActiveToolBars1 = toolbar,
                                                               .txtIP = txtIP,
                                                               .txtPort = txtPort,
                                                               .txtPassword = txtPassword,
                                                               .txtMsg = txtMsg,
                                                               .txtSeverMessageTime = txtSeverMessageTime,
                                                               .txtMsgDelay = txtMsgDelay,
                                                               .txtMinPlayers = txtMinPlayers,
                                                               .chkMsgRotate = chkMsgRotate,
                                                               .txtStatus = txtStatus,
                                                               .txtSendCommand = txtSendCommand,
                                                               .txtOutput = txtOutput,
                                                               .cmdStart = cmdStart,
                                                               .imgConnected = imgConnected,
                                                               .imgNotConnected = imgNotConnected,
                                                               .tmrServerMessage = tmrServerMessage,
                                                               .tmrStatus = tmrStatus,
                                                               .udpPeerA = udpPeerA,
                                                               .lblHeard = lblHeard,
                                                               .tmrHeard = tmrHeard,
                                                               .players = players},
                                             services(boxes, pauses, &history), app::Profile(profile));
    }

    // The running state as Start leaves it.
    void setRunning() {
        udpPeerA.open = true;
        tmrServerMessage.on = tmrStatus.on = true;
        frm->ShowRunning();
    }
};

}  // namespace fakes
