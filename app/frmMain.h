#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/AboutTexts.h"
#include "app/BroadcastLock.h"
#include "app/ConsoleHistory.h"
#include "app/Pauses.h"
#include "app/Profile.h"
#include "app/Toolbar.h"
#include "app/Placeholders.h"
#include "app/RconSession.h"
#include "app/Texts.h"
#include "platform/Clock.h"
#include "platform/ComboBox.h"
#include "platform/ConsoleFiles.h"
#include "platform/Controls.h"
#include "platform/PlayerTable.h"
#include "platform/FileDialog.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/Socket.h"
#include "platform/SocketsLibrary.h"
#include "support/modErrorLog.h"

namespace settings {
class CAppSettings;
class CSmartComboBox;
}  // namespace settings

namespace app {

// The controls of the main window, under their names.
struct FormControls {
    platform::IForm& form;
    platform::IToolbar& SSActiveToolBars1;
    platform::IComboBox& txtIP;
    platform::ITextField& txtPort;
    platform::ITextField& txtPassword;
    platform::ITextField& txtMsg;
    platform::ITextField& txtSeverMessageTime;
    platform::ITextField& txtMsgDelay;
    // Under the timing: the fewest players on for a broadcast to go, and
    // one line each time, in turn (a check box, "1" when checked).
    platform::ITextField& txtMinPlayers;
    platform::ITextField& chkMsgRotate;
    platform::ITextField& txtStatus;
    platform::ITextField& txtSendCommand;
    platform::IRichText& txtOutput;
    platform::IButton& cmdStart;
    platform::IImage& imgConnected;
    platform::IImage& imgNotConnected;
    platform::ITimer& tmrServerMessage;
    platform::ITimer& tmrStatus;
    platform::ISocket& udpPeerA;
    // Beside the indicator: what the server made of the last broadcast, and
    // the timer of the wait for its echoes.
    platform::INotice& lblHeard;
    platform::ITimer& tmrHeard;
    // The players of the last status, with their menu and Refresh.
    platform::IPlayerTable& players;
};

// The platform services the window's logic uses.
struct FormServices {
    platform::IRegistry& registry;
    platform::IMessageBox& messageBox;
    platform::IFileDialogs& fileDialogs;
    platform::IFileSystem& fileSystem;
    platform::IClock& clock;
    Pauses& sleeper;
    platform::ICursor& cursor;
    platform::ISocketsLibrary& sockets;
    platform::IProfileLocks& profileLocks;
    platform::IConsoleFiles& consoleFiles;
};

// The main window's presenter: every event procedure of the window is a
// member of the same name. It hands the fields to the rcon session of the
// server and the session's replies, failures and state to the console, the
// indicators and the message boxes; it keeps the window's own settings, the
// address history and the toolbar's layout. A front-end (qt/, win32/) builds
// the controls and calls these procedures on their events.
class frmMain : private ISessionEvents, private platform::IComboBoxEvents, private platform::IPlayerTableEvents {
public:
    // The window of one profile: the default one, or a named server's.
    frmMain(const FormControls& controls, const FormServices& services, Profile profile = {});
    ~frmMain() override;
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

    // Start-up, close and unload.
    void Form_Load();
    void cmdClose_Click();
    void Form_Unload(bool& cancel);
    // Runs the unload and takes the window down, once; also what the window
    // calls when the platform ends it (session end, SIGTERM).
    void Unload();

    // Toolbar.
    void SSActiveToolBars1_ToolClick(const platform::ITool& tool);
    void SSActiveToolBars1_ComboSelChange(const platform::ITool& tool);
    void ApplyGameProfile();

    // Enter in the address box keeps the address in the history; the
    // history's failures pass through. The window listens to the box after
    // the history (from Form_Load to Form_Unload): its keys reach
    // txtIP_KeyDown once the history has had them, and a failure of either
    // reaches txtIP_Failed, which shows it.
    void txtIP_KeyDown(std::int16_t& keyCode, std::int16_t shift);
    void txtIP_Failed(const std::exception& e);
    // A close the window system asks for (the title bar's close button) is
    // cancelled once the window's own close command has been taken away: it
    // is closed only by Close and Exit.
    void Form_QueryUnload(bool& cancel);
    void ShowAbout();
    void ShowInformation();
    void SaveFormSettings();

    // Idle and running.
    void ShowRunning();
    void StopMessaging();
    void cmdStop_Click();

    // The broadcast, the status poll, the manual command and the replies:
    // the timers' ticks and the socket's report that datagrams wait are
    // handed to the session, which holds them during a pause.
    void cmdStart_Click();
    void tmrServerMessage_Timer();
    void tmrStatus_Timer();
    void tmrHeard_Timer();
    void cmdSend_Click();
    void udpPeerA_DataArrival(std::int32_t bytesTotal);

    // The local address button (the lookup is modIP's).
    void cmdIP_Click();

    // The toolbar's layout file in the program's own directory.
    std::string layoutFile();
    const Profile& profile() const { return m_profile; }

    // The output console.
    void cmdClear_Click();
    void cmdSave_Click();
    void AppendToConsole(const std::string& text);
    void MoveCaretToEnd();

    const RconSession& session() const { return m_session; }
    // What the message's placeholders stand for now, as the preview fills them in.
    PlaceholderValues placeholderValues() const;

private:
    // IComboBoxEvents: the address box, after its history.
    void comboChanged() override {}
    void comboKeyDown(std::int16_t keyCode, std::int16_t shift) override { txtIP_KeyDown(keyCode, shift); }
    void comboFailed(const std::exception& failure) override { txtIP_Failed(failure); }

    // ISessionEvents: the fields, and what the session tells.
    ServerFields fields() override;
    // The field that holds a stored value.
    platform::ITextField& fieldControl(std::string ServerFields::*field);
    void starting() override;
    void reply(const std::string& consoleText) override;
    void failed(const SessionFailure& failure) override;
    void requestsSent() override;
    void heard(const Hearing::Verdict& verdict) override;
    void passwordRefused(const std::string& reply) override;
    void statusRead(const ServerStatus& status, const std::optional<StatusChange>& change) override;
    void broadcastSkipped(const std::string& notice) override;

    // IPlayerTableEvents: Refresh, and a row's menu.
    void refreshClicked() override;
    void actionChosen(const platform::PlayerRow& row, platform::PlayerAction action) override;
    void showPlayers();
    // The players and the preview's values of the status the session holds now.
    void showStatus();
    // Whether the row's slot still holds its player by the last status; says so when not.
    bool stillThere(const platform::PlayerRow& row);

    // The game box's text; throws when the toolbar has no game box.
    std::string gameName();
    void stopListening();
    void showFailure(const std::string& procedure, const std::exception& e);
    void saveConsole();
    void saveSettingsOrThrow();
    bool saveSettingsOrAsk();
    void saveSettingsForStart();

    FormControls m_c;
    FormServices m_s;
    const Profile m_profile;
    ConsoleHistory m_console;
    support::modErrorLog m_oErrorLog;
    RconSession m_session;
    BroadcastLock m_broadcast;  // held from Start until the broadcast stops
    std::unique_ptr<settings::CAppSettings> m_oAppSettings;
    std::unique_ptr<settings::CSmartComboBox> m_oIPHistory;
    bool m_bUnloaded = false;
    bool m_bListening = false;       // to the address box, after its history
    bool m_bToldSaveFailed = false;  // the user knows the store cannot be written
};

}  // namespace app
