#include "app/frmMain.h"

#include <utility>

#include "app/FormFields.h"
#include "app/PlayerActions.h"
#include "app/SocketMessages.h"
#include "app/modIP.h"
#include "settings/CAppSettings.h"
#include "settings/CSmartComboBox.h"
#include "base/AppError.h"

#include "base/ExeName.h"
#include "support/CCursor.h"
#include "support/CFile.h"
#include "support/CFileOpenSaveDialog.h"
#include "support/modForms.h"
#include "support/Variant.h"

namespace app {

using base::skipOnFailure;
using support::Variant;
namespace mb = platform::mb;

namespace {

constexpr const char* kSection = kFieldsSection;
constexpr std::int16_t kKeyEnter = 13;
constexpr const char* kCrLf = "\r\n";

std::string withBlanks(const std::string& text) { return text + kNineBlanks; }

}  // namespace

frmMain::frmMain(const FormControls& controls, const FormServices& services, Profile profile)
    : m_c(controls),
      m_s(services),
      m_profile(std::move(profile)),
      m_console(controls.txtOutput, services.consoleFiles, m_profile),
      m_oErrorLog(services.fileSystem, services.clock, services.messageBox),
      m_session(controls.udpPeerA, controls.tmrServerMessage, controls.tmrStatus, controls.tmrHeard, services.sleeper,
                services.clock, *this),
      m_broadcast(services.profileLocks, m_profile, kWindowHolder) {}

frmMain::~frmMain() { stopListening(); }

void frmMain::stopListening() {
    if (std::exchange(m_bListening, false)) skipOnFailure([&] { m_c.txtIP.unsubscribe(this); });
}

void frmMain::Form_Load() {
    skipOnFailure([&] { m_c.form.setCaption(m_profile.caption()); });
    skipOnFailure([&] { m_console.removeAbandoned(); });
    skipOnFailure([&] {
        m_oAppSettings = std::make_unique<settings::CAppSettings>(m_s.registry);
        m_oIPHistory = std::make_unique<settings::CSmartComboBox>();
    });
    skipOnFailure([&] { m_oAppSettings->Init("Quorlan", m_profile.appName()); });
    skipOnFailure([&] {
        m_oIPHistory->Init(&m_c.txtIP, true, true, m_oAppSettings.get(), kHistorySection, kHistoryCount);
        m_oIPHistory->Load();
    });
    skipOnFailure([&] {
        m_c.txtIP.subscribe(this);
        m_bListening = true;
    });
    skipOnFailure([&] {
        m_c.players.setEvents(this);
        showPlayers();
    });

    // A setting that cannot be read leaves its control with its design content.
    for (const FormField& f : formFields()) {
        if (f.store != FieldStore::fieldsSection) continue;
        skipOnFailure([&] {
            fieldControl(f.field).setText(
                m_oAppSettings->GetSetting(kSection, f.name, Variant::String(f.missing)).toText());
        });
    }

    skipOnFailure([&] {
        if (const auto layout = readLayout(m_profile, *m_oAppSettings, m_s.fileSystem))
            m_c.SSActiveToolBars1.setLayout(*layout);
    });
    skipOnFailure([&] {
        support::modForms::DisableCloseMenu(m_c.form, m_s.messageBox);
        support::modForms::CenterForm(m_c.form, m_s.messageBox);
    });
    // A settings file that could not be read is said once, not met in silence.
    skipOnFailure([&] {
        if (const std::string notice = m_s.registry.takeNotice(); !notice.empty())
            m_s.messageBox.show(notice, mb::kOkOnly + mb::kExclamation, kAppTitle);
    });
}

std::string frmMain::layoutFile() { return layoutFilePath(m_s.fileSystem); }

void frmMain::SaveFormSettings() {
    for (const FormField& f : formFields())
        if (f.store == FieldStore::fieldsSection)
            m_oAppSettings->SaveSetting(kSection, f.name, Variant::String(fieldControl(f.field).text()));
}

namespace {

// Why the settings could not be saved, as the user is told.
std::string saveFailureText(const std::exception& e) {
    std::string reason;
    if (const auto* app = dynamic_cast<const base::AppError*>(&e))
        reason = app->description() + " (error " + std::to_string(app->number()) + ")";
    else
        reason = e.what();
    return std::string("Vexmond could not save its settings:") + kCrLf + kCrLf + reason + kCrLf + kCrLf;
}

}  // namespace

void frmMain::saveSettingsOrThrow() {
    if (!m_oAppSettings) throw base::runtimeError(base::kErrObjectNotSet);
    SaveFormSettings();
}

// A store that refuses to write (a read-only hive) must not trap the user in
// the program: say what failed and let them close anyway.
bool frmMain::saveSettingsOrAsk() {
    try {
        saveSettingsOrThrow();
        return true;
    } catch (const std::exception& e) {
        const std::string text = saveFailureText(e) +
                                 "Close anyway? The port, password, message and timings typed since the last save "
                                 "will be lost.";
        return m_s.messageBox.show(text, mb::kYesNo + mb::kExclamation + mb::kDefaultButton2, kAppTitle) ==
               mb::kAnswerYes;
    }
}

// Start saves the fields; a store that cannot be written (one the user made
// read-only) is said once and does not keep the broadcast from starting.
void frmMain::saveSettingsForStart() {
    try {
        saveSettingsOrThrow();
    } catch (const std::exception& e) {
        if (m_bToldSaveFailed) return;
        m_bToldSaveFailed = true;
        m_s.messageBox.show(saveFailureText(e) +
                                "The broadcast starts with the fields as they stand; they are not kept "
                                "for the next run.",
                            mb::kOkOnly + mb::kExclamation, kAppTitle);
    }
}

void frmMain::cmdClose_Click() {
    try {
        if (m_session.running()) {
            const int answer =
                m_s.messageBox.show(withBlanks("Vexmond is currently running, do you still wish to exit?"),
                                    mb::kYesNo + mb::kQuestion + mb::kDefaultButton2, kAppTitle);
            if (answer != mb::kAnswerYes) return;
            StopMessaging();
        }
        if (!saveSettingsOrAsk()) return;
        Unload();
    } catch (const std::exception& e) {
        showFailure("cmdClose_Click", e);
    }
}

void frmMain::Form_Unload(bool& cancel) {
    (void)cancel;  // never set: the window always goes
    m_session.stop();
    m_broadcast.release();
    skipOnFailure([&] { m_oIPHistory->Save(); });
    skipOnFailure([&] { writeLayout(m_profile, m_c.SSActiveToolBars1.layout(), *m_oAppSettings, m_s.fileSystem); });
    stopListening();
    skipOnFailure([&] { m_c.players.setEvents(nullptr); });
    skipOnFailure([&] { m_oIPHistory.reset(); });
    skipOnFailure([&] { m_oAppSettings.reset(); });
    skipOnFailure([&] { m_console.close(); });
}

void frmMain::Unload() {
    if (m_bUnloaded) return;
    m_bUnloaded = true;
    bool cancel = false;
    Form_Unload(cancel);
    m_c.form.destroy();
}

void frmMain::SSActiveToolBars1_ToolClick(const platform::ITool& tool) {
    try {
        const std::string id = tool.id();
        if (id == "ID_Exit")
            cmdClose_Click();
        else if (id == "ID_Information")
            ShowInformation();
        else if (id == "ID_About")
            ShowAbout();
    } catch (const std::exception& e) {
        showFailure("SSActiveToolBars1_ToolClick", e);
    }
}

std::string frmMain::gameName() {
    platform::ITool* gameBox = m_c.SSActiveToolBars1.tool(kGameBoxTool);
    if (!gameBox) throw base::runtimeError(base::kErrObjectNotSet);
    return gameBox->text();
}

void frmMain::ApplyGameProfile() { m_session.applyGame(gameName()); }

void frmMain::SSActiveToolBars1_ComboSelChange(const platform::ITool& tool) {
    try {
        m_session.applyGame(tool.text());
        showPlayers();  // the names in the game's colours
    } catch (const std::exception& e) {
        showFailure("SSActiveToolBars1_ComboSelChange", e);
    }
}

void frmMain::txtIP_KeyDown(std::int16_t& keyCode, std::int16_t) {
    if (keyCode != kKeyEnter) return;
    if (!m_oIPHistory) throw base::runtimeError(base::kErrObjectNotSet);
    m_oIPHistory->AddCurrentItem();
}

void frmMain::ShowAbout() { m_s.messageBox.show(aboutText(), mb::kOkOnly + mb::kInformation, aboutTitle()); }

void frmMain::ShowInformation() { m_s.messageBox.show(informationText(), mb::kOkOnly + mb::kInformation, kAppTitle); }

void frmMain::ShowRunning() {
    m_c.cmdStart.setEnabled(false);
    m_c.imgConnected.setVisible(true);
    m_c.imgNotConnected.setVisible(false);
}

void frmMain::StopMessaging() {
    m_session.stop();
    m_broadcast.release();
    skipOnFailure([&] { m_c.cmdStart.setEnabled(true); });
    skipOnFailure([&] { m_c.imgConnected.setVisible(false); });
    skipOnFailure([&] { m_c.imgNotConnected.setVisible(true); });
}

void frmMain::cmdStop_Click() {
    try {
        StopMessaging();
    } catch (const std::exception& e) {
        showFailure("cmdStop_Click", e);
    }
}

void frmMain::txtIP_Failed(const std::exception& e) { showFailure("txtIP_KeyDown", e); }

void frmMain::Form_QueryUnload(bool& cancel) { cancel = !support::modForms::CloseMenuEnabled(m_c.form); }

void frmMain::AppendToConsole(const std::string& text) {
    m_console.append(text);
    MoveCaretToEnd();
}

void frmMain::MoveCaretToEnd() { m_c.txtOutput.setSelStart(m_c.txtOutput.length()); }

void frmMain::cmdClear_Click() {
    try {
        if (m_console.length() == 0) return;
        if (m_s.messageBox.show("Clear log?", mb::kYesNo + mb::kQuestion, kAppTitle) == mb::kAnswerYes)
            m_console.clear();
    } catch (const std::exception& e) {
        showFailure("cmdClear_Click", e);
    }
}

void frmMain::cmdSave_Click() {
    try {
        saveConsole();
    } catch (const std::exception& e) {
        showFailure("cmdSave_Click", e);
    }
}

void frmMain::saveConsole() {
    if (m_console.length() == 0) return;
    support::CFileOpenSaveDialog dialog(m_s.fileDialogs);
    dialog.setCenterDialog(true);
    dialog.setDialogTitle("Save log");
    dialog.setFilter("All Files (*.*)|*.*");
    dialog.setFlags(platform::kOfnExplorer | platform::kOfnAllowMultiSelect | platform::kOfnHideReadOnly);
    dialog.setHWndOwner(m_c.form.hWnd());
    dialog.setMaxFileSize(255);
    if (!dialog.Show(1)) return;
    const std::string path = dialog.FileName();
    try {
        m_console.save(path);
    } catch (const std::exception& e) {
        // The console keeps its text; the user can pick another place.
        m_s.messageBox.show(std::string("The log could not be saved to ") + path + ":" + kCrLf + kCrLf + e.what(),
                            mb::kOkOnly + mb::kExclamation, kAppTitle);
        return;
    }
    m_s.messageBox.show("File has been saved", mb::kOkOnly + mb::kInformation, kAppTitle);
}

void frmMain::showFailure(const std::string& procedure, const std::exception& e) {
    m_s.messageBox.show(base::errorText(base::asAppError(e)), mb::kOkOnly + mb::kExclamation,
                        std::string(kAppTitle) + " - " + procedure);
}

platform::ITextField& frmMain::fieldControl(std::string ServerFields::*field) {
    if (field == &ServerFields::password) return m_c.txtPassword;
    if (field == &ServerFields::port) return m_c.txtPort;
    if (field == &ServerFields::message) return m_c.txtMsg;
    if (field == &ServerFields::messageInterval) return m_c.txtSeverMessageTime;
    if (field == &ServerFields::lineDelay) return m_c.txtMsgDelay;
    if (field == &ServerFields::minPlayers) return m_c.txtMinPlayers;
    if (field == &ServerFields::rotate) return m_c.chkMsgRotate;
    return m_c.txtStatus;
}

ServerFields frmMain::fields() {
    return ServerFields{.address = m_c.txtIP.text(),
                        .port = m_c.txtPort.text(),
                        .password = m_c.txtPassword.text(),
                        .message = m_c.txtMsg.text(),
                        .messageInterval = m_c.txtSeverMessageTime.text(),
                        .lineDelay = m_c.txtMsgDelay.text(),
                        .statusInterval = m_c.txtStatus.text(),
                        .minPlayers = m_c.txtMinPlayers.text(),
                        .rotate = m_c.chkMsgRotate.text()};
}

void frmMain::reply(const std::string& consoleText) { AppendToConsole(consoleText); }

void frmMain::requestsSent() { MoveCaretToEnd(); }

// The password's refusal stays until the next Start; what a broadcast's
// echoes showed stands until the next one's.
void frmMain::heard(const Hearing::Verdict& verdict) {
    if (!m_c.lblHeard.warning()) m_c.lblHeard.show(heardText(verdict), false);
}

void frmMain::passwordRefused(const std::string& reply) { m_c.lblHeard.show("Password refused: " + reply, true); }

void frmMain::broadcastSkipped(const std::string& notice) {
    if (!m_c.lblHeard.warning()) m_c.lblHeard.show(notice, false);
}

void frmMain::statusRead(const ServerStatus&, const std::optional<StatusChange>&) { showStatus(); }

void frmMain::showStatus() {
    skipOnFailure([&] { showPlayers(); });
    skipOnFailure([&] { m_c.form.statusChanged(); });
}

void frmMain::showPlayers() {
    const ServerStatus* status = m_session.status();
    if (!status) {
        m_c.players.showPlayers({}, kNoStatusYet);
        return;
    }
    m_c.players.showPlayers(playerRows(*status, nameColourCodes(status->format, gameName())), statusSummary(*status));
}

PlaceholderValues frmMain::placeholderValues() const {
    return app::placeholderValues(m_session.status(), m_s.clock.now());
}

void frmMain::refreshClicked() {
    if (m_session.requestStatus() == RconSession::CommandResult::noServerYet)
        m_s.messageBox.show(kNoServerYet, mb::kOkOnly + mb::kExclamation, kAppTitle);
}

bool frmMain::stillThere(const platform::PlayerRow& row) {
    const ServerStatus* status = m_session.status();
    if (status && slotStillHolds(*status, row)) return true;
    m_s.messageBox.show(slotChangedText(row), mb::kOkOnly + mb::kExclamation, kAppTitle);
    return false;
}

// An action goes to the player the row showed, or not at all: his slot is
// checked by the last status before asking, and again after (a status may
// have come while the question stood).
void frmMain::actionChosen(const platform::PlayerRow& shownRow, platform::PlayerAction action) {
    // A copy: a status that comes while the question stands replaces the table's rows.
    const platform::PlayerRow row = shownRow;
    try {
        if (action == platform::kCopyAddress || !stillThere(row)) return;
        if (action == platform::kMessage) {
            const ServerStatus& status = *m_session.status();
            m_c.txtSendCommand.setText(messageCommandStart(status.format, *status.inSlot(row.slot)));
            m_c.txtSendCommand.setFocus();
            return;
        }
        if (m_s.messageBox.show(actionQuestion(row, action), mb::kYesNo + mb::kQuestion + mb::kDefaultButton2,
                                kAppTitle) != mb::kAnswerYes ||
            !stillThere(row))
            return;
        const ServerStatus& status = *m_session.status();
        const std::string command = actionCommand(status.format, *status.inSlot(row.slot), action);
        if (command.empty())  // gone meanwhile: his slot not free yet, nobody to kick
            m_s.messageBox.show(slotChangedText(row), mb::kOkOnly + mb::kExclamation, kAppTitle);
        else
            m_session.sendCommand(command);
    } catch (const std::exception& e) {
        showFailure(kSendProcedure, e);
    }
}

// The window's failure path: one box (or the error log's entry), then the
// full stop.
void frmMain::failed(const SessionFailure& failure) {
    skipOnFailure([&] {
        const support::ErrorMessage message = tellFailure(failure, m_oErrorLog);
        m_s.messageBox.show(message.text, message.style, message.title);
    });
    cmdStop_Click();
}

// Start does nothing while its button is disabled (the broadcast runs):
// a shortcut or the command line's --start may press it all the same.
void frmMain::cmdStart_Click() {
    if (!m_c.cmdStart.enabled()) return;
    try {
        if (const std::string held = m_broadcast.take(); !held.empty()) {
            m_s.messageBox.show(held, mb::kOkOnly + mb::kExclamation, kAppTitle);
            return;
        }
        const StartResult started = m_session.start(fields(), gameName());
        if (started.outcome == StartResult::Outcome::refused) {
            m_broadcast.release();
            m_s.messageBox.show(withBlanks(started.refusal), mb::kOkOnly + mb::kExclamation, kAppTitle);
        } else if (started.outcome == StartResult::Outcome::started) {
            ShowRunning();
            showStatus();  // none yet from another server
        }
        // A failure has been told, and has stopped the window (and let the profile go), on the session's failure path.
    } catch (const std::exception& e) {
        m_session.fail(kStartProcedure, e);
    }
}

void frmMain::starting() {
    m_c.lblHeard.show("", false);
    saveSettingsForStart();
}

void frmMain::tmrServerMessage_Timer() { m_session.messageTimerTicked(); }

void frmMain::tmrStatus_Timer() { m_session.statusTimerTicked(); }

void frmMain::tmrHeard_Timer() { m_session.heardTimerTicked(); }

void frmMain::cmdSend_Click() {
    if (m_session.sendCommand(m_c.txtSendCommand.text()) == RconSession::CommandResult::noServerYet)
        m_s.messageBox.show(kNoServerYet, mb::kOkOnly + mb::kExclamation, kAppTitle);
}

void frmMain::udpPeerA_DataArrival(std::int32_t) { m_session.datagramsWaiting(); }

void frmMain::cmdIP_Click() {
    std::unique_ptr<support::CCursor> cursor;
    skipOnFailure([&] {
        cursor = std::make_unique<support::CCursor>(m_s.cursor);
        cursor->SetCursor(platform::kPointerHourglass);
    });
    skipOnFailure([&] { m_c.txtIP.setText(modIP::GetLocalAddress(m_s.sockets, m_s.messageBox)); });
    skipOnFailure([&] {
        if (cursor) cursor->RestoreCursor();
    });
    skipOnFailure([&] { m_c.txtIP.setFocus(); });
    skipOnFailure([&] { cursor.reset(); });
}

}  // namespace app
