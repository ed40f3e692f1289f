// CTextBox over real Qt edit fields.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "qt/EditFields.h"
#include "support/CTextBox.h"
#include "tests/support/LiveWindow.h"

TEST(TextBox, FiltersWhatIsTypedOrPastedAndKeepsCrLfThroughTheEditCommands) {
    QLineEdit line;
    qtgui::EditField field(&line);
    support::CTextBox box;
    box.Init(&field);
    box.setAllowOnlyNumbers(true);
    box.setAllowOnlyNumbers(true);  // setting it twice must not flip the bit back
    QTest::keyClicks(&line, "a1b2 3");
    QApplication::clipboard()->setText("4x5");
    line.paste();
    EXPECT_EQ(line.text(), "12345");
    box.setAllowOnlyNumbers(false);
    box.setTextCase(1);
    line.clear();
    testsupport::typeText(&line, QString::fromUtf8("caf\xc3\xa9 ok"));
    EXPECT_EQ(line.text(), QString::fromUtf8("CAF\xc3\x89 OK"));

    QPlainTextEdit multi;
    qtgui::EditField several(&multi);
    support::CTextBox many;
    many.Init(&several);
    several.setText("One\r\nTwo  Three");
    EXPECT_EQ(many.GetLine(2), "Two  Three");
    several.setSelection(5, 3);  // "Two", after the CR LF
    EXPECT_EQ(multi.textCursor().selectedText(), "Two");
    many.Cut();
    EXPECT_EQ(several.text(), "One\r\n  Three");
    many.Undo();
    EXPECT_EQ(several.text(), "One\r\nTwo  Three");
    many.SelectAll();
    many.Copy();
    EXPECT_EQ(QApplication::clipboard()->text(), "One\nTwo  Three");
    several.setSelection(0, 3);
    many.Paste();
    EXPECT_EQ(several.text(), "One\r\nTwo  Three\r\nTwo  Three");

    // TitleCase: the first letter, each after a blank and each after a line
    // end goes up; nothing goes down; the selection stays.
    const std::pair<const char*, const char*> titles[] = {
        {"one two\r\nthree", "One Two\r\nThree"},
        {"a  b\r\n\r\nc", "A  B\r\n\r\nC"},
        {"mIxed CASE", "MIxed CASE"},
        {"x\r\n", "X\r\n"},
        {"   ", "   "},
    };
    for (const auto& [before, after] : titles) {
        several.setText(before);
        several.setSelection(1, 2);
        many.TitleCase();
        EXPECT_EQ(several.text(), after) << before;
        EXPECT_EQ(several.selStart(), 1) << before;
    }
}
