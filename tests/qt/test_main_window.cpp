#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <filesystem>
#include <unistd.h>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <set>
#include <csignal>

#include "platform/posix/HiveRegistry.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixSocketsLibrary.h"
#include "gui/FreeSpinBox.h"
#include "gui/GameToolbar.h"
#include "gui/Lifetime.h"
#include "gui/MainWindow.h"
#include "settings/CAppSettings.h"
#include "tests/fakes/FakeControls.h"
#include "tests/fakes/FakeServices.h"
#include "tests/support/TempDir.h"

using gui::FreeSpinBox;
using gui::MainWindow;

namespace {

// The real window over a real hive in a temporary directory.
struct Window {
    testsupport::TempDir tmp;
    testsupport::ScopedEnv dataHome{"XDG_DATA_HOME", tmp / "data"};
    platform::posix::HiveRegistry registry{tmp / "config"};
    fakes::FakeSocket socket;
    fakes::FakeFileDialogs dialogs;
    platform::posix::PosixFileSystem files;
    fakes::FakeClock clock;
    fakes::FakeSleeper sleeper;
    gui::AppCursor cursor;
    platform::posix::PosixSocketsLibrary sockets;
    MainWindow window{socket};
    app::frmMain form{window.controls(), app::FormServices{.registry = registry,
                                                           .messageBox = window.messageBoxes(),
                                                           .fileDialogs = dialogs,
                                                           .fileSystem = files,
                                                           .clock = clock,
                                                           .sleeper = sleeper,
                                                           .cursor = cursor,
                                                           .sockets = sockets}};

    Window() { window.bind(form); }
    void load() {
        form.Form_Load();
        window.show();
    }
    template <class T>
    T* find(const char* name) {
        T* w = window.findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    std::string hive() { return testsupport::readFile(registry.directory() + "/system.reg"); }
    void store(const std::string& section, const std::string& key, const std::string& value) {
        settings::CAppSettings s(registry);
        s.Init("Quorlan", "_Vexmond");
        s.SaveSetting(section, key, support::Variant::String(value));
    }
};

}  // namespace

TEST(MainWindow, EveryControlUnderItsNameWithItsCaption) {
    Window w;
    w.load();
    const std::pair<const char*, const char*> groups[] = {{"fraServer", "&Server Information:"},
                                                          {"Frame2", "&Message to Send:"},
                                                          {"Frame1", "Options: "},
                                                          {"fraManualRcon", "Rcon:"},
                                                          {"fraStatus", "Status:"}};
    for (auto [name, title] : groups) EXPECT_EQ(w.find<QGroupBox>(name)->title(), title);
    const std::pair<const char*, const char*> buttons[] = {
        {"cmdIP", "Get Local I.P"}, {"cmdSend", "Send"},  {"cmdSave", "&Save"},  {"cmdClear", "Clear"},
        {"cmdStart", "Start"},      {"cmdStop", "S&top"}, {"cmdClose", "&Close"}};
    for (auto [name, caption] : buttons) EXPECT_EQ(w.find<QAbstractButton>(name)->text(), caption);
    const std::pair<const char*, const char*> labels[] = {
        {"lblIP", " &IP:"},        {"lblPort", "&Port:"},    {"lblRconPass", "Pass&word:"},
        {"lblRunning", "Status:"}, {"lblOnLine", "Offline"}, {"lblWarning", "Do not abuse!!!"}};
    for (auto [name, text] : labels) EXPECT_EQ(w.find<QLabel>(name)->text(), text);
    std::set<QString> minutes;
    for (auto* l : w.window.findChildren<QLabel*>("lblMinutes")) minutes.insert(l->text());
    EXPECT_EQ(minutes, (std::set<QString>{"Send message every", "minutes and delay each line", "seconds.",
                                          "Get Status every", "minutes."}));
    EXPECT_TRUE(w.find<QLabel>("SSHotLink1")->text().contains("Author's website"));

    // Inputs: their kinds, contents and buddies.
    EXPECT_EQ(w.find<QComboBox>("txtIP")->toolTip(),
              "Type in a new IP and press enter to add it to the available list");
    EXPECT_EQ(w.find<QLabel>("lblIP")->buddy(), w.find<QComboBox>("txtIP"));
    EXPECT_EQ(w.find<QLineEdit>("txtPassword")->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(w.find<QPlainTextEdit>("txtOutput")->isReadOnly());
    EXPECT_EQ(w.find<FreeSpinBox>("txtSeverMessageTime")->text(), "5");
    EXPECT_EQ(w.find<FreeSpinBox>("txtMsgDelay")->text(), "5");  // 15 in the design, the default after start-up
    EXPECT_EQ(w.find<FreeSpinBox>("txtStatus")->text(), "1");
    EXPECT_EQ(w.find<QLabel>("imgConnected")->toolTip(), "Toggles Port");
    EXPECT_TRUE(w.find<QLabel>("imgConnected")->isHidden());
    EXPECT_FALSE(w.find<QLabel>("imgNotConnected")->isHidden());
    EXPECT_EQ(w.window.windowTitle(), "Vexmond");
    // Every input can be named by a screen reader.
    for (auto* input : w.window.findChildren<QWidget*>()) {
        const bool isInput = qobject_cast<QLineEdit*>(input) || qobject_cast<QPlainTextEdit*>(input) ||
                             qobject_cast<QComboBox*>(input) || qobject_cast<QAbstractSpinBox*>(input);
        const bool isPart =
            qobject_cast<QComboBox*>(input->parentWidget()) || qobject_cast<QAbstractSpinBox*>(input->parentWidget());
        if (isInput && !isPart) {
            EXPECT_FALSE(input->accessibleName().isEmpty()) << input->objectName().toStdString();
        }
    }
}

TEST(MainWindow, PortFieldTakesSixDigitsOnly) {
    Window w;
    w.load();
    auto* port = w.find<QLineEdit>("txtPort");
    QTest::keyClicks(port, "27a9-60123");
    EXPECT_EQ(port->text(), "279601");
}

TEST(MainWindow, ToolbarHoldsItsToolsAndTheGameBoxReachesTheForm) {
    Window w;
    w.load();
    auto& toolbar = w.window.toolbar();
    const char* ids[] = {"ID_File",        "ID_Exit",  "ID_Game",       "ID_Help",
                         "ID_Information", "ID_About", "ID_SelectGame", "ID_Games"};
    for (int i = 1; i <= 8; ++i) EXPECT_EQ(toolbar.tool(i)->id(), ids[i - 1]);
    EXPECT_EQ(toolbar.tool(9), nullptr);
    EXPECT_EQ(toolbar.tool(2)->text(), "E&xit");
    QComboBox* box = toolbar.gameBox();
    EXPECT_EQ(box->toolTip(), "Select the game type for your server");
    EXPECT_EQ(toolbar.tool(7)->text(), "Return to Castle Wolfenstein");
    EXPECT_EQ(box->itemText(box->currentIndex()), "Return to Castle Wolfenstein");  // the open list highlights it
    const std::pair<const char*, const char*> games[] = {{"Elite Force", "EF"},
                                                         {"Jedi Knight II", "JK2"},
                                                         {"Quake 3 Arena", "Q3"},
                                                         {"Return to Castle Wolfenstein", "RTCW"},
                                                         {"Soldier of Fortune II", "SOF2"}};
    ASSERT_EQ(box->count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(box->itemText(i), games[i].first);
        EXPECT_EQ(box->itemData(i).toString(), games[i].second);
    }
    box->setCurrentIndex(2);
    emit box->activated(2);
    const app::FormControls c = w.window.controls();
    c.txtIP.setText("127.0.0.1");
    c.txtPort.setText("27960");
    c.txtPassword.setText("pw");
    c.txtMsg.setText("Hi");
    c.txtSeverMessageTime.setText("1");
    w.form.cmdStart_Click();
    w.form.tmrServerMessage_Timer();
    const std::string P(4, '\xFF');
    EXPECT_EQ(w.socket.sent, (std::vector<std::string>{P + "rcon pw status", P + "rcon pw say \"Hi\""}));
    toolbar.action("ID_About");  // exists
    EXPECT_NE(toolbar.action("ID_About"), nullptr);
}

TEST(MainWindow, TypingAndCloseWriteTheFiveValuesIntoTheHive) {
    Window w;
    w.load();
    QTest::keyClicks(w.find<QLineEdit>("txtPort"), "27960");
    QTest::keyClicks(w.find<QLineEdit>("txtPassword"), "s3cret");
    auto* msg = w.find<QPlainTextEdit>("txtMsg");
    QTest::keyClicks(msg, "Hello");
    QTest::keyClick(msg, Qt::Key_Return);
    QTest::keyClicks(msg, "^1World");
    auto* interval = w.find<FreeSpinBox>("txtSeverMessageTime");
    QTest::keyClick(interval, Qt::Key_Up);
    QTest::keyClick(interval, Qt::Key_Up);
    auto* delay = w.find<FreeSpinBox>("txtMsgDelay");
    delay->setText("2.5");
    auto* ip = w.find<QComboBox>("txtIP");
    QTest::keyClicks(ip->lineEdit(), "127.0.0.1");
    QTest::keyClick(ip->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(ip->count(), 1);

    QTest::mouseClick(w.find<QAbstractButton>("cmdClose"), Qt::LeftButton);
    const std::string hive = w.hive();
    for (const char* line : {"\"Port\"=\"27960\"", "\"Password\"=\"s3cret\"",
                             "\"Msg\"=hex(1):48,65,6c,6c,6f,0d,0a,5e,31,57,6f,72,6c,64,00", "\"Msg_Timer\"=\"7\"",
                             "\"Msg_Delay\"=\"2.5\"", "\"Hist0\"=\"127.0.0.1\""})
        EXPECT_NE(hive.find(line), std::string::npos) << line << "\n" << hive;
    EXPECT_FALSE(w.window.isVisible());
}

TEST(MainWindow, SpinFieldsShowStoredTextAsItIsAndStepWithinTheirRange) {
    Window w;
    w.store("_Vexmond", "Msg_Timer", "2.5");
    w.store("_Vexmond", "Msg_Delay", "");
    w.load();
    auto* interval = w.find<FreeSpinBox>("txtSeverMessageTime");
    auto* delay = w.find<FreeSpinBox>("txtMsgDelay");
    EXPECT_EQ(interval->text(), "2.5");
    EXPECT_EQ(delay->text(), "");
    QTest::keyClick(interval, Qt::Key_Up);
    EXPECT_EQ(interval->text(), "3");
    QTest::keyClick(delay, Qt::Key_Up);
    EXPECT_EQ(delay->text(), "5");  // from nothing to the lowest value
    interval->setText("30");
    QTest::keyClick(interval, Qt::Key_Up);
    EXPECT_EQ(interval->text(), "30");
    interval->setText("0");
    EXPECT_EQ(w.window.controls().txtSeverMessageTime.text(), "0");
}

TEST(MainWindow, AddressFieldCompletesFromItsHistory) {
    Window w;
    w.store("IPs", "Hist0", "Server1");
    w.load();
    auto* ip = w.find<QComboBox>("txtIP");
    EXPECT_EQ(ip->currentText(), "Server1");
    ip->lineEdit()->clear();
    QTest::keyClicks(ip->lineEdit(), "s");
    EXPECT_EQ(ip->currentText(), "server1");
    EXPECT_EQ(ip->lineEdit()->selectedText(), "erver1");
    QTest::keyClick(ip->lineEdit(), Qt::Key_Backspace);
    EXPECT_EQ(ip->currentText(), "s");
}

TEST(MainWindow, OnlyCloseAndExitCloseTheWindow) {
    Window w;
    w.load();
    auto* ip = w.find<QComboBox>("txtIP");
    QTest::keyClicks(ip->lineEdit(), "10.1.1.1");
    QTest::keyClick(ip->lineEdit(), Qt::Key_Enter);
    EXPECT_FALSE(w.window.windowFlags() & Qt::WindowCloseButtonHint);
    // The window manager's close request is tried on a real display (desktop tests).
    EXPECT_EQ(w.hive().find("Hist0"), std::string::npos);

    w.window.toolbar().action("ID_Exit")->trigger();
    EXPECT_FALSE(w.window.isVisible());
    EXPECT_NE(w.hive().find("\"Hist0\"=\"10.1.1.1\""), std::string::npos);
    EXPECT_NE(w.hive().find("\"Port\"=\"\""), std::string::npos);
}

TEST(MainWindow, MessageBoxesFollowTheClassicStyleNumbers) {
    Window w;
    w.load();
    struct Case {
        int style;
        QMessageBox::Icon icon;
        QMessageBox::StandardButton defaultButton;
        QMessageBox::StandardButton press;
        int answer;
    } cases[] = {
        {4 + 32 + 256, QMessageBox::Question, QMessageBox::No, QMessageBox::No, 7},
        {4 + 48, QMessageBox::Warning, QMessageBox::Yes, QMessageBox::Yes, 6},
        {64, QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok, 1},
        {0x1010, QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok, 1},
    };
    for (const auto& c : cases) {
        QString seenText, seenTitle;
        QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seenText = box->text();
            seenTitle = box->windowTitle();
            seenIcon = box->icon();
            EXPECT_EQ(box->defaultButton(), box->button(c.defaultButton));
            box->button(c.press)->click();
        });
        EXPECT_EQ(w.window.messageBoxes().show("one\r\n<b>two</b>", c.style, "Vexmond"), c.answer);
        EXPECT_EQ(seenText, "one\n<b>two</b>");
        EXPECT_EQ(seenTitle, "Vexmond");
        EXPECT_EQ(seenIcon, c.icon);
    }
}

TEST(MainWindow, ConsoleShowsRepliesAsPlainTextAndSavesTheirExactBytes) {
    Window w;
    w.load();
    auto* view = w.find<QPlainTextEdit>("txtOutput");
    w.form.AppendToConsole("<b>bold?</b> ^4blue caf\xE9\r\n");
    w.form.AppendToConsole(std::string("nul\0here\r", 9));
    w.form.AppendToConsole("\nend");
    // The view shows the appends together, after the pass that made them.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->toPlainText().isEmpty(); }));
    EXPECT_EQ(view->toPlainText(), QString::fromUtf8("<b>bold?</b> ^4blue caf\u00e9\nnul\u2400here\nend"));
    EXPECT_EQ(view->textCursor().position(), view->document()->characterCount() - 1);
    auto& console = w.window.controls().txtOutput;
    EXPECT_EQ(console.selStart(), console.length());

    const std::string path = w.tmp / "saved.log";
    testsupport::writeFile(path, "an older and much longer file that is replaced");
    console.saveFile(path);
    EXPECT_EQ(testsupport::readFile(path), std::string("<b>bold?</b> ^4blue caf\xE9\r\nnul\0here\r\nend", 39));
    EXPECT_THROW(console.saveFile(w.tmp / "missing-dir/x.log"), std::runtime_error);
    EXPECT_EQ(console.length(), 39);

    console.setSelStart(4);  // inside the text: the view skips the hidden CR
    EXPECT_EQ(view->textCursor().position(), 4);
    console.setText("");
    EXPECT_TRUE(view->toPlainText().isEmpty());
}

#include <QFileDialog>
#include <QScreen>

#include "gui/QtFileDialogs.h"
#include "support/CFileOpenSaveDialog.h"

TEST(MainWindow, SaveDialogOpensCentredAndAnswersInTheBufferForm) {
    Window w;
    w.load();
    gui::QtFileDialogs dialogs;
    support::CFileOpenSaveDialog dialog(dialogs);
    dialog.setCenterDialog(true);
    dialog.setDialogTitle("Save log");
    dialog.setFilter("All Files (*.*)|*.*");
    dialog.setFlags(0x80204);
    dialog.setHWndOwner(w.window.controls().form.hWnd());
    dialog.setInitialDir(w.tmp.path());
    QPoint seenAt;
    QString seenTitle, seenFilter;
    QTimer::singleShot(0, [&] {
        auto* fd = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(fd, nullptr);
        seenAt = fd->frameGeometry().center();
        seenTitle = fd->windowTitle();
        seenFilter = fd->selectedNameFilter();
        fd->selectFile("replies.log");
        QMetaObject::invokeMethod(fd, "accept", Qt::DirectConnection);
    });
    ASSERT_TRUE(dialog.Show(1));
    EXPECT_EQ(seenTitle, "Save log");
    EXPECT_EQ(seenFilter, "All Files (*)");
    const QPoint screenCentre = QGuiApplication::primaryScreen()->geometry().center();
    EXPECT_LE((seenAt - screenCentre).manhattanLength(), 4);
    EXPECT_EQ(dialog.FileName(), w.tmp / "replies.log");
    EXPECT_EQ(dialog.FileTitle(), "replies.log");
    EXPECT_EQ(dialog.SelectedPath(), w.tmp.path() + "/");
    EXPECT_EQ(dialog.FileCount(), 1);

    QTimer::singleShot(0, [&] { QApplication::activeModalWidget()->close(); });
    EXPECT_FALSE(dialog.Show(1));  // cancelled
    EXPECT_EQ(dialog.FileName(), w.tmp / "replies.log");
}

TEST(MainWindow, ToolbarLayoutAndGameSurviveARestart) {
    testsupport::TempDir data;
    std::string layout;
    {
        Window w;
        w.load();
        layout = w.tmp / "data/vexmond/ATBconfig.atb";
        w.window.addToolBar(Qt::LeftToolBarArea, w.window.toolbar().toolRow());
        w.window.toolbar().gameBox()->setCurrentText("Quake 3 Arena");
        QTest::mouseClick(w.find<QAbstractButton>("cmdClose"), Qt::LeftButton);
        testsupport::writeFile(data / "ATBconfig.atb", testsupport::readFile(layout));
    }
    {
        Window w;
        std::filesystem::create_directories(w.tmp / "data/vexmond");
        testsupport::writeFile(w.tmp / "data/vexmond/ATBconfig.atb", testsupport::readFile(data / "ATBconfig.atb"));
        w.load();
        EXPECT_EQ(w.window.toolBarArea(w.window.toolbar().toolRow()), Qt::LeftToolBarArea);
        EXPECT_EQ(w.window.toolbar().tool(7)->text(), "Quake 3 Arena");
        EXPECT_EQ(w.window.toolbar().gameBox()->currentIndex(), 2);
    }
    {
        Window w;  // a damaged layout file leaves the built-in layout
        std::filesystem::create_directories(w.tmp / "data/vexmond");
        testsupport::writeFile(w.tmp / "data/vexmond/ATBconfig.atb", "not a layout");
        w.load();
        EXPECT_EQ(w.window.toolBarArea(w.window.toolbar().toolRow()), Qt::TopToolBarArea);
        EXPECT_EQ(w.window.toolbar().tool(7)->text(), "Return to Castle Wolfenstein");
    }
}

TEST(MainWindow, GetLocalIpFillsTheAddressFieldOnThisMachine) {
    // Only where the host name resolves from /etc/hosts: the test sends nothing to a name server.
    char name[256] = {};
    ::gethostname(name, sizeof name - 1);
    const std::string hosts = testsupport::readFile("/etc/hosts");
    if (QString::fromStdString(hosts).split(QRegularExpression("\\s+")).indexOf(QString(name)) < 0)
        GTEST_SKIP() << "the host name " << name << " is not in /etc/hosts";
    Window w;
    w.load();
    QTest::mouseClick(w.find<QAbstractButton>("cmdIP"), Qt::LeftButton);
    const QString ip = w.find<QComboBox>("txtIP")->currentText();
    EXPECT_TRUE(QRegularExpression("^(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})$").match(ip).hasMatch())
        << ip.toStdString();
    EXPECT_EQ(w.find<QComboBox>("txtIP")->count(), 0);  // the history does not change
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(Lifetime, SignalsAndTheSessionsEndUnloadOnceButASavePointDoesNot) {
    const struct {
        const char* what;
        std::function<void()> end;
    } cases[] = {
        {"SIGTERM", [] { ::raise(SIGTERM); }},
        {"SIGHUP", [] { ::raise(SIGHUP); }},
        {"SIGINT twice",
         [] {
             ::raise(SIGINT);
             ::raise(SIGINT);
         }},
        // What Qt's session manager does when the session really ends.
        {"the session's end",
         [] {
             QEvent quit(QEvent::Quit);
             QCoreApplication::sendEvent(qApp, &quit);
         }},
    };
    for (const auto& c : cases) {
        Window w;
        w.load();
        gui::Lifetime lifetime(w.form);
        QTimer::singleShot(20, c.end);
        EXPECT_EQ(lifetime.run(), 0) << c.what;
        EXPECT_FALSE(w.window.isVisible()) << c.what;
        EXPECT_TRUE(std::filesystem::exists(w.tmp / "data/vexmond/ATBconfig.atb")) << c.what;
    }
}

TEST(MainWindow, AFailingKeyHandlerIsShownNotThrownIntoQt) {
    Window w;
    w.load();
    w.form.Unload();  // the address history is gone: Enter in the address field fails
    QString title;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            title = box->windowTitle();
            box->close();
        }
    });
    poll.start(10);
    QTest::keyClick(w.find<QComboBox>("txtIP")->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(title, "Vexmond - txtIP_KeyDown");
}
