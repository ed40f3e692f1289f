// The real window on the offscreen platform, over a real socket and store.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
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

#include "qt/ConsoleView.h"
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

TEST(MainWindow, TheConsoleShowsRepliesAsPlainTextAndKeysSelectAndCopyThem) {
    LiveWindow w;
    auto* view = w.find<qtgui::ConsoleView>("txtOutput");
    w.form.AppendToConsole("<b>bold?</b> ^4blue caf\xE9\r\n");
    w.form.AppendToConsole(std::string("nul\0here\r", 9));
    w.form.AppendToConsole("\nend");
    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(view);
    ASSERT_TRUE(reader && reader->textInterface());
    QAccessibleTextInterface* text = reader->textInterface();
    EXPECT_EQ(text->text(0, text->characterCount()),
              QString::fromUtf8("<b>bold?</b> ^4blue caf\u00e9\nnul\u2400here\nend"));
    EXPECT_EQ(text->cursorPosition(), text->characterCount());
    EXPECT_TRUE(reader->state().readOnly && reader->state().multiLine);

    view->setFocus();
    QTest::keyClick(view, Qt::Key_Up);  // from the end of "end" to after "nul"
    QTest::keyClick(view, Qt::Key_End, Qt::ShiftModifier);
    QTest::keySequence(view, QKeySequence::Copy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("\u2400here"));
    int from = 0, to = 0;
    text->selection(0, &from, &to);
    EXPECT_EQ(std::make_pair(from, to), std::make_pair(28, 33));
    EXPECT_EQ(w.console(), std::string("<b>bold?</b> ^4blue caf\xE9\r\nnul\0here\r\nend", 39));
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

    auto* view = w.find<qtgui::ConsoleView>("txtOutput");
    const std::string reply = "a ^2green\r\nname ^1red^7white\r\n";
    w.form.AppendToConsole(reply);
    games->setCurrentText("Quake 3 Arena");
    w.window.toolbar().consoleColours()->setChecked(true);
    // Whether the row of a byte shows a colour (glyphs' edges are blended with the ground).
    const auto shows = [&](std::int64_t byte, QRgb c) {
        view->flush();
        const QRect row = view->byteRect(byte);
        const QImage shot =
            view->viewport()->grab(QRect(0, row.top(), view->viewport()->width(), row.height())).toImage();
        for (int i = 0; i < shot.width() * shot.height(); ++i)
            if (QRgb p = shot.pixel(i % shot.width(), i / shot.width());
                std::abs(qRed(p) - qRed(c)) + std::abs(qGreen(p) - qGreen(c)) + std::abs(qBlue(p) - qBlue(c)) < 60)
                return true;
        return false;
    };
    const QRgb grey = 0x707070, green = 0x00FF00, red = 0xFF0000, white = 0xFFFFFF;
    EXPECT_TRUE(shows(0, grey) && shows(0, green) && shows(0, white) && !shows(0, red));  // "a ^2green"
    EXPECT_TRUE(shows(11, grey) && shows(11, red) && shows(11, white) && !shows(11, green));
    EXPECT_EQ(w.console(), reply);  // the codes stay in the text and in what Save writes
    w.window.toolbar().consoleColours()->setChecked(false);
    EXPECT_FALSE(shows(0, green));
}
