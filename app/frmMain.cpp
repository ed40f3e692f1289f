#include "app/frmMain.h"

#include "app/GameProfiles.h"
#include "settings/CAppSettings.h"
#include "settings/CSmartComboBox.h"
#include "support/AppError.h"
#include "support/Variant.h"

namespace app {

using support::skipOnFailure;
using support::Variant;
namespace mb = platform::mb;

namespace {

constexpr const char* kSection = "_Vexmond";
constexpr std::int16_t kKeyEnter = 13;
constexpr const char* kCrLf = "\r\n";

std::string withBlanks(const std::string& text) { return text + kNineBlanks; }

}  // namespace

frmMain::frmMain(const FormControls& controls, const FormServices& services) : m_c(controls), m_s(services) {}

frmMain::~frmMain() = default;

void frmMain::Form_Load() {
    skipOnFailure([&] { m_c.form.setCaption(kAppTitle); });
    skipOnFailure([&] {
        m_oAppSettings = std::make_unique<settings::CAppSettings>(m_s.registry);
        m_oIPHistory = std::make_unique<settings::CSmartComboBox>();
    });
    skipOnFailure([&] { m_oAppSettings->Init("Quorlan", "_Vexmond"); });
    skipOnFailure([&] {
        m_oIPHistory->Init(&m_c.txtIP, true, true, m_oAppSettings.get(), "IPs", 10);
        m_oIPHistory->Load();
    });

    // A setting that cannot be read leaves its control with its design content.
    const struct {
        const char* key;
        platform::ITextField& control;
        const char* defaultValue;
    } fields[] = {
        {"Password", m_c.txtPassword, ""},         {"Port", m_c.txtPort, ""},
        {"Msg", m_c.txtMsg, ""},                   {"Msg_Timer", m_c.txtSeverMessageTime, "5"},
        {"Msg_Delay", m_c.txtMsgDelay, "5"},
    };
    for (const auto& f : fields)
        skipOnFailure([&] {
            f.control.setText(m_oAppSettings->GetSetting(kSection, f.key, Variant::String(f.defaultValue)).toText());
        });

    skipOnFailure([&] { m_sPacketPrefix = std::string(4, '\xFF'); });
}

void frmMain::SaveFormSettings() {
    settings::CAppSettings& store = *m_oAppSettings;
    store.SaveSetting(kSection, "Port", Variant::String(m_c.txtPort.text()));
    store.SaveSetting(kSection, "Password", Variant::String(m_c.txtPassword.text()));
    store.SaveSetting(kSection, "Msg", Variant::String(m_c.txtMsg.text()));
    store.SaveSetting(kSection, "Msg_Timer", Variant::String(m_c.txtSeverMessageTime.text()));
    store.SaveSetting(kSection, "Msg_Delay", Variant::String(m_c.txtMsgDelay.text()));
}

// A store that refuses to write (a read-only hive) must not trap the user in
// the program: say what failed and let them close anyway.
bool frmMain::saveSettingsOrAsk() {
    std::string reason;
    try {
        if (!m_oAppSettings) throw support::runtimeError(support::kErrObjectNotSet);
        SaveFormSettings();
        return true;
    } catch (const support::AppError& e) {
        reason = e.description() + " (error " + std::to_string(e.number()) + ")";
    } catch (const std::exception& e) {
        reason = e.what();
    }
    const std::string text = std::string("Vexmond could not save its settings:") + kCrLf + kCrLf + reason + kCrLf + kCrLf +
                             "Close anyway? The port, password, message and timings typed since the last save will be "
                             "lost.";
    return m_s.messageBox.show(text, mb::kYesNo + mb::kExclamation + mb::kDefaultButton2, kAppTitle) == mb::kAnswerYes;
}

void frmMain::cmdClose_Click() {
    try {
        if (m_c.tmrServerMessage.enabled()) {
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
    skipOnFailure([&] {
        if (m_c.udpPeerA.state() == 1) m_c.udpPeerA.close();
    });
    skipOnFailure([&] {
        if (m_c.tmrServerMessage.enabled()) m_c.tmrServerMessage.setEnabled(false);
    });
    skipOnFailure([&] { m_oIPHistory->Save(); });
    skipOnFailure([&] { m_oIPHistory.reset(); });
    skipOnFailure([&] { m_oAppSettings.reset(); });
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

void frmMain::applyProfile(const std::string& gameName) {
    m_state.g_sGameName = gameName;
    if (const GameProfile* p = findGameProfile(gameName)) {
        m_state.g_sRconWord = p->rconWord;
        m_state.g_sSayWord = p->sayWord;
    }
}

void frmMain::ApplyGameProfile() {
    platform::ITool* gameBox = m_c.SSActiveToolBars1.tool(7);
    if (!gameBox) throw support::runtimeError(support::kErrObjectNotSet);
    applyProfile(gameBox->text());
}

void frmMain::SSActiveToolBars1_ComboSelChange(const platform::ITool& tool) {
    try {
        applyProfile(tool.text());
    } catch (const std::exception& e) {
        showFailure("SSActiveToolBars1_ComboSelChange", e);
    }
}

void frmMain::txtIP_KeyDown(std::int16_t& keyCode, std::int16_t) {
    if (keyCode != kKeyEnter) return;
    if (!m_oIPHistory) throw support::runtimeError(support::kErrObjectNotSet);
    m_oIPHistory->AddCurrentItem();
}

void frmMain::ShowAbout() {
    const std::string b = kNineBlanks;
    const std::string text = std::string("Vexmond is developed by ") + kAuthorEmail + b + kCrLf +
                             "This program should work with any Quake 3 Arena\xAE powered server" + b + kCrLf + kCrLf +
                             "Specify an IP, Port and Rcon Password for your server. Type the message you" + b + kCrLf +
                             "wish to send and set the time interval for how often the messages will be sent." + b +
                             kCrLf + kCrLf +
                             "A Get Status command can be used to list all player IP's, this is handy if you " + b +
                             kCrLf + "need to ban players using their IP." + b;
    m_s.messageBox.show(text, mb::kOkOnly + mb::kInformation, std::string(kAppTitle) + " v2.1 Build Date: 06-23-2002");
}

void frmMain::ShowInformation() {
    const std::string b = kNineBlanks;
    const std::string text =
        std::string("You can use colours in your text messages;") + b + kCrLf + kCrLf +
        "^1 = red ^2 = green ^3 = yellow ^4 = blue ^5 = turquoise ^6 = purple ^7 = white" + b + kCrLf + kCrLf +
        "To send a text message in red and blue you would write it as: ^1This is in Red ^4This is Blue" + b + kCrLf +
        kCrLf + "You can include multiple messages each on their own line, press enter to add a new line." + b + kCrLf +
        "NOTE:" + kCrLf + "If you use a colon in a text message, for example, '" + kExampleAddress + "'" + b + kCrLf +
        "everything to the right of the colon will be lost. The output would be 'http:'" + b;
    m_s.messageBox.show(text, mb::kOkOnly + mb::kInformation, kAppTitle);
}

void frmMain::ShowRunning() {
    m_c.cmdStart.setEnabled(false);
    m_c.imgConnected.setVisible(true);
    m_c.imgNotConnected.setVisible(false);
}

void frmMain::StopMessaging() {
    skipOnFailure([&] {
        if (m_c.udpPeerA.state() == 1) m_c.udpPeerA.close();
    });
    skipOnFailure([&] { m_c.tmrServerMessage.setEnabled(false); });
    skipOnFailure([&] { m_c.cmdStart.setEnabled(true); });
    skipOnFailure([&] { m_c.tmrStatus.setEnabled(false); });
    skipOnFailure([&] { m_c.imgConnected.setVisible(false); });
    skipOnFailure([&] { m_c.imgNotConnected.setVisible(true); });
}

void frmMain::cmdStop_Click() { StopMessaging(); }

std::string frmMain::broadcastLine(const std::string& line) const {
    return broadcastCommand(m_state.g_sGameName, m_state.g_sRconWord, m_state.g_sRconPassword, m_state.g_sSayWord, line);
}

std::string frmMain::statusRequest() const { return statusCommand(m_state.g_sRconWord, m_c.txtPassword.text()); }

std::string frmMain::manualCommand() const { return app::manualCommand(m_c.txtPassword.text(), m_c.txtSendCommand.text()); }

void frmMain::showFailure(const std::string& procedure, const std::exception& e) {
    std::string text;
    if (const auto* err = dynamic_cast<const support::AppError*>(&e))
        text = "Error: " + std::to_string(err->number()) + ". " + err->description();
    else
        text = std::string("Error: ") + e.what();
    m_s.messageBox.show(text, mb::kOkOnly + mb::kExclamation, std::string(kAppTitle) + " - " + procedure);
}

}  // namespace app
