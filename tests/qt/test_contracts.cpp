// One contract per interface the logic is tested against, run against the
// fake the unit tests use and the Qt control the program ships: a fake more
// lenient than its backend would let a fault through the unit tests. (The
// socket's contract runs with the backends, on each platform.)
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QMenu>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>
#include <set>

#include "platform/posix/PosixUdpSocket.h"
#include "qt/MainWindow.h"
#include "qt/AppCursor.h"
#include "qt/ComboField.h"
#include "qt/ConsoleView.h"
#include "qt/PlayerTable.h"
#include "qt/QtControls.h"
#include "settings/CSmartComboBox.h"
#include "tests/fakes/FakeComboBox.h"
#include "tests/fakes/FakeControls.h"
#include "tests/support/CursorContract.h"
#include "tests/support/PlayerTableContract.h"
#include "tests/support/RichTextContract.h"

namespace {

// Combo box: the fake, and the window's edit field over a QComboBox, as the
// window sets it up (no completer of Qt's own).
struct FakeComboSide {
    fakes::FakeComboBox box;
    std::string selected() const { return box.selectedText(); }
    void type(const char* text) { box.typeText(text); }
    void press(std::int16_t key) { box.erase(key); }
};
struct QtComboSide {
    QComboBox combo;
    qtgui::ComboField box{editable(combo)};
    static QComboBox* editable(QComboBox& c) {
        c.setEditable(true);
        c.setCompleter(nullptr);
        return &c;
    }
    std::string selected() const { return combo.lineEdit()->selectedText().toStdString(); }
    void type(const char* text) { QTest::keyClicks(combo.lineEdit(), text); }
    void press(std::int16_t key) { QTest::keyClick(combo.lineEdit(), key == 8 ? Qt::Key_Backspace : Qt::Key_Delete); }
};

template <class Side>
struct ComboContract : ::testing::Test {
    Side side;
};
using ComboSides = ::testing::Types<FakeComboSide, QtComboSide>;
TYPED_TEST_SUITE(ComboContract, ComboSides);

TYPED_TEST(ComboContract, IndexesOutsideTheListThrowAndSelectionsStayInsideTheText) {
    platform::IComboBox& box = this->side.box;
    box.setText("Server1");
    for (const char* item : {"Server1", "server2", "10.0.0.1"}) box.addItem(item);
    box.removeItem(2);
    box.clear();
    for (const char* item : {"Server1", "server2"}) box.addItem(item);
    EXPECT_EQ(box.text(), "Server1");  // list changes leave the edit line alone
    for (int bad : {-1, 2}) {
        EXPECT_THROW(box.list(bad), std::out_of_range) << bad;
        EXPECT_THROW(box.removeItem(bad), std::out_of_range) << bad;
    }
    EXPECT_EQ(box.listCount(), 2);
    EXPECT_EQ(box.findString("SERVER"), 0);
    EXPECT_EQ(box.findStringExact("server"), -1);
    EXPECT_EQ(box.findStringExact("SERVER2"), 1);

    box.setSelStart(3);
    box.setSelLength(99);
    EXPECT_EQ(this->side.selected(), "ver1");
    box.setSelStart(99);
    box.setSelLength(5);
    EXPECT_EQ(this->side.selected(), "");
    box.setSelStart(-4);
    box.setSelLength(2);
    EXPECT_EQ(this->side.selected(), "Se");
}

// The address history's completion, typed key by key: the first entry that
// begins with the text completes it, the completion selected; Delete and
// Backspace take the completion away and it is not put back.
TYPED_TEST(ComboContract, TheHistoryCompletesTypedTextAndDeleteOrBackspaceTakesTheCompletionAway) {
    platform::IComboBox& box = this->side.box;
    settings::CSmartComboBox history;
    history.Init(&box, false, true);
    for (const char* item : {"10.0.0.1", "Server1", "server2"}) box.addItem(item);
    const struct {
        std::function<void()> action;
        const char *text, *selected;
    } steps[] = {
        {[&] { this->side.type("s"); }, "server1", "erver1"}, {[&] { this->side.press(46); }, "s", ""},   // Delete
        {[&] { this->side.type("e"); }, "server1", "rver1"},  {[&] { this->side.press(8); }, "se", ""},  // Backspace
        {[&] { this->side.type("rver2x"); }, "server2x", ""}, {[&] { this->side.type(""); }, "server2x", ""},
    };
    for (const auto& step : steps) {
        step.action();
        EXPECT_EQ(box.text(), step.text);
        EXPECT_EQ(this->side.selected(), step.selected) << step.text;
    }
}

// Cursor: the fake, and the window's override cursor.
using Cursors = ::testing::Types<fakes::FakeCursor, qtgui::AppCursor>;
INSTANTIATE_TYPED_TEST_SUITE_P(Pointer, CursorContract, Cursors);

// The console's view: the fake, and the window's.
struct QtConsoleSide : qtgui::ConsoleView {
    platform::IRichText& view() { return *this; }
};
using ConsoleSides = ::testing::Types<FakeRichTextSide, QtConsoleSide>;
INSTANTIATE_TYPED_TEST_SUITE_P(Console, RichTextContract, ConsoleSides);

// Player table: the window's, used with the mouse and the keyboard, its
// cells read through the accessibility interface a screen reader uses.
struct QtPlayerTableSide {
    qtgui::PlayerTable widget;
    QTableWidget* view = widget.view();
    QtPlayerTableSide() {
        widget.resize(640, 300);
        widget.show();
    }
    platform::IPlayerTable& table() { return widget; }
    void clickRefresh() { QTest::mouseClick(widget.findChild<QPushButton*>("cmdRefresh"), Qt::LeftButton); }
    void clickHeader(platform::PlayerColumn column) {
        QHeaderView* header = view->horizontalHeader();
        const int c = static_cast<int>(column);
        const QPoint middle(header->sectionViewportPosition(c) + header->sectionSize(c) / 2, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middle);
    }
    std::vector<std::string> cells(std::size_t i) {
        QAccessibleTableInterface* cells = QAccessible::queryAccessibleInterface(view)->tableInterface();
        std::vector<std::string> texts;
        for (int r = static_cast<int>(i), c = 0; r < cells->rowCount() && c < cells->columnCount(); ++c)
            texts.push_back(cells->cellAt(r, c)->text(QAccessible::Name).toStdString());
        return texts;
    }
    std::vector<std::string> menu(std::size_t i, MenuWay way, const std::string& choose) {
        std::vector<std::string> items;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu) return;
            for (QAction* a : menu->actions()) items.push_back(a->text().toStdString());
            for (QAction* a : menu->actions())
                if (a->text().toStdString() == choose) menu->setActiveAction(a);
            QTest::keyClick(menu, choose.empty() ? Qt::Key_Escape : Qt::Key_Return);
        });
        view->setFocus();
        const int row = static_cast<int>(i);
        if (way == MenuWay::rightClick) {
            // Through the window, as the window system delivers it: Qt makes the context menu event of it.
            const QPoint cell = view->visualRect(view->model()->index(row, 1)).center();
            QTest::mouseClick(widget.windowHandle(), Qt::RightButton, {}, view->viewport()->mapTo(&widget, cell));
        } else {
            QTest::keyClick(view, Qt::Key_Home, Qt::ControlModifier);
            for (int down = 0; down < row; ++down) QTest::keyClick(view, Qt::Key_Down);
            QTest::keyClick(view, way == MenuWay::menuKey ? Qt::Key_Menu : Qt::Key_F10,
                            way == MenuWay::menuKey ? Qt::NoModifier : Qt::ShiftModifier);
        }
        QCoreApplication::processEvents();  // the probe runs when no menu opened too
        return items;
    }
    std::string clipboard() { return QGuiApplication::clipboard()->text().toStdString(); }
};
using PlayerTables = ::testing::Types<QtPlayerTableSide>;
INSTANTIATE_TYPED_TEST_SUITE_P(Qt, PlayerTableContract, PlayerTables);

// Message box: the window's boxes offer exactly the answers the fake accepts.
TEST(MessageBoxContract, TheWindowsButtonsGiveTheAnswersTheFakeAccepts) {
    platform::posix::PosixUdpSocket socket;
    qtgui::MainWindow window(socket, socket);
    for (const int style : {0, 1, 2, 3, 4, 5, 4 + 32 + 256, 0x1010}) {
        const std::vector<int> expected = fakes::FakeMessageBox::answersOf(style);
        std::set<int> answers;
        for (std::size_t press = 0; press < expected.size(); ++press) {
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                ASSERT_NE(box, nullptr);
                ASSERT_EQ(box->buttons().size(), static_cast<qsizetype>(expected.size())) << style;
                box->buttons().at(static_cast<qsizetype>(press))->click();
            });
            answers.insert(window.messageBoxes().show("question", style, "Vexmond"));
        }
        EXPECT_EQ(answers, std::set<int>(expected.begin(), expected.end())) << style;
    }

    fakes::FakeMessageBox fake;
    EXPECT_EQ(fake.show("note", 64, "t"), 1);  // OK only: nothing to decide
    EXPECT_NONFATAL_FAILURE(fake.show("Clear log?", 36, "t"), "no answer scripted");
    fake.answers = {1};
    EXPECT_NONFATAL_FAILURE(fake.show("Clear log?", 36, "t"), "has no answer 1");
}

}  // namespace
