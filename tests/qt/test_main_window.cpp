// The real window on the offscreen platform, over a real socket and store.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <csignal>
#include <filesystem>

#include "qt/FreeSpinBox.h"
#include "qt/GameToolbar.h"
#include "qt/Lifetime.h"
#include "qt/QtFileDialogs.h"
#include "support/CFileOpenSaveDialog.h"
#include "tests/support/LiveWindow.h"
#include "tests/support/UdpPeer.h"

using qtgui::FreeSpinBox;
using testsupport::LiveWindow;

TEST(MainWindow, TypedFieldsAndTheGameBoxReachTheServerAndExitWritesThemIntoTheHive) {
    LiveWindow w;
    testsupport::UdpPeer server;
    auto* port = w.find<QLineEdit>("txtPort");
    QTest::keyClicks(port, "27a9-60123");
    EXPECT_EQ(port->text(), "279601");  // six digits at most
    port->setText(QString::number(server.port()));
    QTest::keyClicks(w.find<QLineEdit>("txtPassword"), "s3cret");
    auto* msg = w.find<QPlainTextEdit>("txtMsg");
    QTest::keyClicks(msg, "Hello");
    QTest::keyClick(msg, Qt::Key_Return);
    testsupport::typeText(msg, QString::fromUtf8("^1W\u00f6rld \u263a"));  // the smiley is not in ISO-8859-1
    w.find<FreeSpinBox>("txtSeverMessageTime")->setText("1");
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
    const std::string P(4, '\xFF');
    EXPECT_EQ(server.receive(), P + "rcon s3cret status");
    // The window's own timers tick at the periods the logic set.
    EXPECT_EQ(w.find<QTimer>("tmrServerMessage")->interval(), 65535);
    EXPECT_EQ(w.find<QTimer>("tmrStatus")->interval(), 63000);
    w.form.tmrServerMessage_Timer();
    EXPECT_EQ(server.receive(), P + "rcon s3cret say \"Hello\"");
    EXPECT_EQ(server.receive(), P + "rcon s3cret say \"^1W\xF6rld ?\"");
    // The preview shows what the players receive, the replaced character marked.
    auto* preview = w.find<QPlainTextEdit>("txtMsgPreview");
    EXPECT_EQ(preview->toPlainText(), QString::fromUtf8("Hello\nW\u00f6rld ?"));
    const QTextBlock second = preview->document()->lastBlock();
    for (auto it = second.begin(); !it.atEnd(); ++it)
        EXPECT_EQ(it.fragment().charFormat().hasProperty(QTextFormat::BackgroundBrush), it.fragment().text() == "?")
            << it.fragment().text().toStdString();
    testsupport::typeText(w.find<QLineEdit>("txtSendCommand"), QString::fromUtf8("say \u263a \u00e9t\u00e9"));
    QTest::mouseClick(w.find<QAbstractButton>("cmdSend"), Qt::LeftButton);
    EXPECT_EQ(server.receive(), P + "rcon s3cret say ? \xE9t\xE9");
    QTest::mouseClick(w.find<QAbstractButton>("cmdStop"), Qt::LeftButton);

    w.window.toolbar().action("ID_Exit")->trigger();
    EXPECT_FALSE(w.window.isVisible());
    const std::string hive = w.hive();
    for (const std::string& line :
         {"\"Port\"=\"" + std::to_string(server.port()) + "\"", std::string("\"Password\"=\"s3cret\""),
          std::string("\"Msg\"=hex(1):48,65,6c,6c,6f,0d,0a,5e,31,57,f6,72,6c,64,20,3f,00"),
          std::string("\"Msg_Timer\"=\"1\""), std::string("\"Msg_Delay\"=\"2.5\""),
          std::string("\"Hist0\"=\"127.0.0.1\"")})
        EXPECT_NE(hive.find(line), std::string::npos) << line << "\n" << hive;
}

TEST(MainWindow, StoredNumbersAreShownAsTheyAreAndStepFromThere) {
    LiveWindow w(LiveWindow::Real::nothing, false);
    w.save("_Vexmond", "Msg_Timer", "2.5");
    w.save("_Vexmond", "Msg_Delay", "");
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
}

TEST(MainWindow, ConsoleShowsRepliesAsPlainTextAndSavesTheirExactBytes) {
    LiveWindow w;
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
    console.setSelStart(4);  // inside the text: the view skips the hidden CR
    EXPECT_EQ(view->textCursor().position(), 4);
    console.setText("");
    EXPECT_TRUE(view->toPlainText().isEmpty());
}

TEST(MainWindow, SaveDialogOpensCentredAndAnswersInTheBufferForm) {
    LiveWindow w;
    qtgui::QtFileDialogs dialogs;
    support::CFileOpenSaveDialog dialog(dialogs);
    dialog.Init("All Files (*.*)|*.*", 1, w.tmp.path(), "", "Save log", w.window.controls().form.hWnd(), 0x80204);
    dialog.setCenterDialog(true);
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
    EXPECT_LE((seenAt - QGuiApplication::primaryScreen()->geometry().center()).manhattanLength(), 4);
    EXPECT_EQ(dialog.FileName(), w.tmp / "replies.log");
    EXPECT_EQ(dialog.SelectedPath(), w.tmp.path() + "/");
}

TEST(MainWindow, ToolbarLayoutAndGameSurviveARestartButADamagedLayoutDoesNot) {
    std::string layout;
    {
        LiveWindow w;
        w.window.addToolBar(Qt::LeftToolBarArea, w.window.toolbar().toolRow());
        w.window.toolbar().gameBox()->setCurrentText("Quake 3 Arena");
        w.window.toolbar().consoleColours()->setChecked(true);
        QTest::mouseClick(w.find<QAbstractButton>("cmdClose"), Qt::LeftButton);
        layout = testsupport::readFile(w.layoutFile());
    }
    for (const bool damaged : {false, true}) {
        LiveWindow w(LiveWindow::Real::nothing, false);
        std::filesystem::create_directories(w.tmp / "data/vexmond");
        testsupport::writeFile(w.layoutFile(), damaged ? "not a layout" : layout);
        w.load();
        auto& toolbar = w.window.toolbar();
        EXPECT_EQ(w.window.toolBarArea(toolbar.toolRow()), damaged ? Qt::TopToolBarArea : Qt::LeftToolBarArea);
        EXPECT_EQ(toolbar.tool(7)->text(), damaged ? "Return to Castle Wolfenstein" : "Quake 3 Arena");
        EXPECT_EQ(toolbar.consoleColours()->isChecked(), !damaged);
        EXPECT_EQ(toolbar.gameBox()->itemText(toolbar.gameBox()->currentIndex()), toolbar.gameBox()->currentText());
    }
}

TEST(Lifetime, SignalsAndTheSessionsEndUnloadOnce) {
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"SIGTERM", [] { ::raise(SIGTERM); }},
        {"SIGHUP", [] { ::raise(SIGHUP); }},
        {"SIGINT twice", [] { ::raise(SIGINT), ::raise(SIGINT); }},
        // What Qt's session manager does when the session really ends.
        {"the session's end",
         [] {
             QEvent quit(QEvent::Quit);
             QCoreApplication::sendEvent(qApp, &quit);
         }},
    };
    for (const auto& [what, end] : cases) {
        LiveWindow w;
        qtgui::Lifetime lifetime(w.form);
        QTimer::singleShot(20, end);
        EXPECT_EQ(lifetime.run(), 0) << what;
        EXPECT_FALSE(w.window.isVisible()) << what;
        EXPECT_TRUE(std::filesystem::exists(w.layoutFile())) << what;
    }
}

TEST(MainWindow, AFailingKeyHandlerIsShownNotThrownIntoQt) {
    LiveWindow w(LiveWindow::Real::boxesAndPauses);
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

TEST(MainWindow, ThePreviewAndTheConsoleShowTheGamesColoursWithoutChangingTheText) {
    LiveWindow w;
    auto* preview = w.find<QPlainTextEdit>("txtMsgPreview");
    QComboBox* games = w.window.toolbar().gameBox();
    games->setCurrentText("Quake 3 Arena");
    w.find<QPlainTextEdit>("txtMsg")->setPlainText("^1Be ^^nice\n\n^7x");
    EXPECT_EQ(preview->toPlainText(), "Be ^ice\n\nx");  // what the players read
    EXPECT_FALSE(preview->accessibleName().isEmpty());
    const QTextBlock first = preview->document()->firstBlock();
    EXPECT_EQ(first.begin().fragment().charFormat().foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(first.next().blockFormat().background().style(), Qt::BDiagPattern);  // skipped
    games->setCurrentText("Quake II");
    EXPECT_EQ(preview->toPlainText(), "^1Be ^^nice\n\n^7x");

    auto* view = w.find<QPlainTextEdit>("txtOutput");
    const std::string reply = "a ^2green\r\nname ^1red^7white\r\n";
    w.form.AppendToConsole(reply);
    games->setCurrentText("Quake 3 Arena");
    w.window.toolbar().consoleColours()->setChecked(true);
    const auto painted = [&] {
        std::vector<std::pair<QString, QColor>> runs;
        const QTextBlock block = view->document()->firstBlock();
        for (const auto& range : block.layout()->formats())
            runs.emplace_back(block.text().mid(range.start, range.length), range.format.foreground().color());
        return runs;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return !painted().empty(); }));
    const QColor grey(0x70, 0x70, 0x70), white(255, 255, 255), red(255, 0, 0);
    EXPECT_EQ(painted(), (std::vector<std::pair<QString, QColor>>{{"a ", white},
                                                                  {"^2", grey},
                                                                  {"green", QColor(0, 255, 0)},
                                                                  {"name ", white},
                                                                  {"^1", grey},
                                                                  {"red", red},
                                                                  {"^7", grey},
                                                                  {"white", white}}));
    EXPECT_EQ(w.console(), reply);  // the codes stay in the text and in what Save writes
    w.window.toolbar().consoleColours()->setChecked(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return painted().empty(); }));
}
