// The real window on the offscreen platform, over a real socket and store.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
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
#include "tests/support/WindowContract.h"

using qtgui::FreeSpinBox;
using testsupport::LiveWindow;

INSTANTIATE_TYPED_TEST_SUITE_P(Qt, WindowContract, ::testing::Types<LiveWindow>);

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
    struct Failing : platform::IComboBoxEvents {
        void comboChanged() override {}
        void comboKeyDown(std::int16_t, std::int16_t) override { throw std::runtime_error("no history"); }
    } failing;
    platform::IComboBox& box = w.window.controls().txtIP;
    box.subscribe(&failing);
    QString title;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QWidget* shown = QApplication::activeModalWidget()) {
            title = shown->windowTitle();
            shown->close();
        }
    });
    poll.start(10);
    QTest::keyClick(w.find<QComboBox>("txtIP")->lineEdit(), Qt::Key_Return);
    box.unsubscribe(&failing);
    EXPECT_EQ(title, "Vexmond - txtIP_KeyDown");
}

TEST(MainWindow, ThePreviewAndTheConsoleShowTheGamesColoursWithoutChangingTheText) {
    LiveWindow w;
    auto* preview = w.find<QPlainTextEdit>("txtMsgPreview");
    QComboBox* games = w.window.toolbar().gameBox();
    games->setCurrentText("Quake 3 Arena");
    w.find<QPlainTextEdit>("txtMsg")->setPlainText(QString::fromUtf8("^1Be ^^nice\n\n^7x \u263a"));
    EXPECT_EQ(preview->toPlainText(), "Be ^ice\n\nx ?");  // what the players read
    EXPECT_FALSE(preview->accessibleName().isEmpty());
    const QTextBlock first = preview->document()->firstBlock();
    EXPECT_EQ(first.begin().fragment().charFormat().foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(first.next().blockFormat().background().style(), Qt::BDiagPattern);  // skipped
    // The character that goes out as "?" is marked, and nothing else.
    for (auto it = preview->document()->lastBlock().begin(); !it.atEnd(); ++it)
        EXPECT_EQ(it.fragment().charFormat().hasProperty(QTextFormat::BackgroundBrush), it.fragment().text() == "?")
            << it.fragment().text().toStdString();
    games->setCurrentText("Quake II");
    EXPECT_EQ(preview->toPlainText(), "^1Be ^^nice\n\n^7x ?");
    w.find<QPlainTextEdit>("txtMsg")->setPlainText("1\n2\n3\n4\n5");  // a row for each line
    EXPECT_TRUE(QTest::qWaitFor([&] { return preview->verticalScrollBar()->maximum() == 0; }));

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
