// The real window on the offscreen platform, over a real settings store.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <filesystem>

#include "gui/FreeSpinBox.h"
#include "gui/GameToolbar.h"
#include "gui/Lifetime.h"
#include "gui/MainWindow.h"
#include "gui/QtFileDialogs.h"
#include "platform/posix/HiveRegistry.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixSocketsLibrary.h"
#include "settings/CAppSettings.h"
#include "support/CFileOpenSaveDialog.h"
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

TEST(MainWindow, TypingAndExitWriteTheFiveValuesAndTheGameBoxReachesTheForm) {
    Window w;
    w.load();
    auto* port = w.find<QLineEdit>("txtPort");
    QTest::keyClicks(port, "27a9-60123");
    EXPECT_EQ(port->text(), "279601");  // six digits at most
    port->setText("27960");
    QTest::keyClicks(w.find<QLineEdit>("txtPassword"), "s3cret");
    auto* msg = w.find<QPlainTextEdit>("txtMsg");
    QTest::keyClicks(msg, "Hello");
    QTest::keyClick(msg, Qt::Key_Return);
    QTest::keyClicks(msg, "^1World");
    auto* interval = w.find<FreeSpinBox>("txtSeverMessageTime");
    QTest::keyClick(interval, Qt::Key_Up);
    QTest::keyClick(interval, Qt::Key_Up);
    w.find<FreeSpinBox>("txtMsgDelay")->setText("2.5");
    auto* ip = w.find<QComboBox>("txtIP");
    QTest::keyClicks(ip->lineEdit(), "127.0.0.1");
    QTest::keyClick(ip->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(ip->count(), 1);
    EXPECT_FALSE(w.window.windowFlags() & Qt::WindowCloseButtonHint);

    QComboBox* games = w.window.toolbar().gameBox();
    games->setCurrentIndex(games->findText("Quake 3 Arena"));
    emit games->activated(games->currentIndex());
    QTest::mouseClick(w.find<QAbstractButton>("cmdStart"), Qt::LeftButton);
    interval->setText("1");
    w.form.tmrServerMessage_Timer();
    const std::string P(4, '\xFF');
    EXPECT_EQ(w.socket.sent, (std::vector<std::string>{P + "rcon s3cret status", P + "rcon s3cret say \"Hello\"",
                                                       P + "rcon s3cret say \"^1World\""}));
    QTest::mouseClick(w.find<QAbstractButton>("cmdStop"), Qt::LeftButton);
    interval->setText("7");

    w.window.toolbar().action("ID_Exit")->trigger();
    EXPECT_FALSE(w.window.isVisible());
    const std::string hive = w.hive();
    for (const char* line : {"\"Port\"=\"27960\"", "\"Password\"=\"s3cret\"",
                             "\"Msg\"=hex(1):48,65,6c,6c,6f,0d,0a,5e,31,57,6f,72,6c,64,00", "\"Msg_Timer\"=\"7\"",
                             "\"Msg_Delay\"=\"2.5\"", "\"Hist0\"=\"127.0.0.1\""})
        EXPECT_NE(hive.find(line), std::string::npos) << line << "\n" << hive;
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
