#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/ComboBox.h"
#include "platform/Controls.h"
#include "platform/FileDialog.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/Sleeper.h"
#include "platform/Socket.h"
#include "platform/SocketsLibrary.h"
#include "support/modErrorLog.h"
#include "app/AboutTexts.h"

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
    platform::ITextField& txtStatus;
    platform::ITextField& txtSendCommand;
    platform::IRichText& txtOutput;
    platform::IButton& cmdStart;
    platform::IImage& imgConnected;
    platform::IImage& imgNotConnected;
    platform::ITimer& tmrServerMessage;
    platform::ITimer& tmrStatus;
    platform::ISocket& udpPeerA;
};

// The platform services the window's logic uses.
struct FormServices {
    platform::IRegistry& registry;
    platform::IMessageBox& messageBox;
    platform::IFileDialogs& fileDialogs;
    platform::IFileSystem& fileSystem;
    platform::IClock& clock;
    platform::ISleeper& sleeper;
    platform::ICursor& cursor;
    platform::ISocketsLibrary& sockets;
};

// The remote-console state shared by the window's procedures. It starts
// empty and is never reset.
struct RconState {
    std::string g_sGameName;
    std::string g_sRconWord;
    std::string g_sSayWord;
    std::vector<std::string> g_asMessageLines;
    std::int16_t g_iLastMessageLine = 0;
    std::string g_sRconPassword;
};

// Texts of the window that the user reads (the About and Information boxes'
// are in AboutTexts.h).
inline constexpr const char* kAppTitle = "Vexmond";
inline constexpr const char* kNineBlanks = "         ";
inline constexpr const char* kNoServerYet =
    "There is no server to send the command to yet. Press Start once to set the server; after that, commands can "
    "be sent to it even while Vexmond is stopped.";

// The pause after each broadcast line blocks the whole window, so it is kept
// within 0 to 60 seconds whatever the field holds (0 itself means 2 seconds).
inline constexpr double kMaxLineDelaySeconds = 60.0;

// The window timers' periods: one "minute" of the interval fields is a tick.
inline constexpr std::int32_t kMessageTimerPeriod = 65535;
inline constexpr std::int32_t kStatusTimerPeriod = 63000;

// A reply datagram as the console shows it: every reply header (the packet
// prefix, "print" and a line feed) removed wherever it stands, then every
// line feed made a carriage return and line feed.
std::string ConsoleTextOfReply(const std::string& datagram, const std::string& packetPrefix);

// Appends the separator to a directory that does not end in one; returns it.
std::string& AddBackslash(std::string& path, char separator = '/');

// The logic of the main window: every event procedure of the window is a
// member of the same name. Each front-end's window (qt/, win32/) only builds
// the controls and forwards their events here.
class frmMain {
public:
    frmMain(const FormControls& controls, const FormServices& services);
    ~frmMain();
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

    void txtIP_KeyDown(std::int16_t& keyCode, std::int16_t shift);
    void ShowAbout();
    void ShowInformation();
    void SaveFormSettings();

    // Idle and running.
    void ShowRunning();
    void StopMessaging();
    void cmdStop_Click();

    // The broadcast, the status poll, the manual command and the replies.
    void cmdStart_Click();
    void PrepareMessage(const std::string& message, const std::string& password);
    void tmrServerMessage_Timer();
    void tmrStatus_Timer();
    void cmdSend_Click();
    void udpPeerA_DataArrival(std::int32_t bytesTotal);

    // The local address button (the lookup is modIP's).
    void cmdIP_Click();

    // The toolbar's layout file in the program's own directory.
    std::string layoutFile();

    // The output console.
    void cmdClear_Click();
    void cmdSave_Click();
    void AppendToConsole(const std::string& text);
    void MoveCaretToEnd();

private:
    // The command texts as they would be sent now (after the packet prefix).
    std::string broadcastLine(const std::string& line) const;
    std::string statusRequest() const;
    // The pause after each line, in milliseconds, as the delay field stands now.
    std::uint32_t lineDelayMilliseconds() const;

    void applyProfile(const std::string& gameName);
    void showFailure(const std::string& procedure, const std::exception& e);
    // The common failure path of the handlers that touch the socket.
    void socketFailure(const std::string& handler, const std::exception& e, bool replyHandler);
    void send(const std::string& commandText);
    void saveSettingsOrThrow();
    bool saveSettingsOrAsk();
    void saveSettingsForStart();

    FormControls m_c;
    FormServices m_s;
    support::modErrorLog m_oErrorLog;
    RconState m_state;
    std::unique_ptr<settings::CAppSettings> m_oAppSettings;
    std::unique_ptr<settings::CSmartComboBox> m_oIPHistory;
    std::string m_sPacketPrefix;
    std::int32_t m_lMessageTicks = 0;
    std::int32_t m_lStatusTicks = 0;
    bool m_bUnloaded = false;
    bool m_bServerKnown = false;     // a Start has opened the socket once
    bool m_bToldSaveFailed = false;  // the user knows the store cannot be written
};

}  // namespace app
