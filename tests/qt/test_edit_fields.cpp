// CTextBox over real Qt edit fields.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QKeyEvent>
#include <QTest>

#include "gui/EditFields.h"
#include "support/CTextBox.h"
#include "tests/support/Errors.h"

using gui::EditField;
using support::CTextBox;

namespace {
// Types text as key presses carrying it, letters outside ASCII included.
void type(QWidget* w, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
    }
}
}  // namespace

TEST(TextBox, StyleBitsReadBackAndFilterWhatIsTyped) {
    QLineEdit line;
    EditField field(&line);
    CTextBox box;
    box.Init(&field);
    box.setAllowOnlyNumbers(true);
    box.setAllowOnlyNumbers(true);  // toggling twice must not flip the bit back
    EXPECT_TRUE(box.AllowOnlyNumbers());
    QTest::keyClicks(&line, "a1b2 3");
    EXPECT_EQ(line.text(), "123");
    QApplication::clipboard()->setText("4x5");
    line.paste();
    EXPECT_EQ(line.text(), "12345");
    box.setAllowOnlyNumbers(false);
    box.setAllowOnlyNumbers(false);
    EXPECT_FALSE(box.AllowOnlyNumbers());
    box.setTextCase(1);
    line.clear();
    type(&line, QString::fromUtf8("caf\xc3\xa9 ok"));
    EXPECT_EQ(line.text(), QString::fromUtf8("CAF\xc3\x89 OK"));
    box.setTextCase(2);
    QTest::keyClicks(&line, "XY");
    EXPECT_EQ(line.text(), QString::fromUtf8("CAF\xc3\x89 OKxy"));  // what was there stays as it was
}

TEST(TextBox, LinesTitleCaseAndTheEditCommands) {
    QLineEdit line;
    QPlainTextEdit multi;
    EditField single(&line), several(&multi);
    CTextBox one, many;
    one.Init(&single);
    many.Init(&several);
    EXPECT_EQ(one.LineCount(), 1);  // even when empty
    single.setText("whole text");
    EXPECT_EQ(one.GetLine(5), "whole text");
    several.setText("ab\r\ncd");
    EXPECT_EQ(several.text(), "ab\r\ncd");
    EXPECT_EQ(many.LineCount(), 2);
    EXPECT_EQ(many.GetLine(1), "ab");
    EXPECT_EQ(many.GetLine(2), "cd");
    EXPECT_EQ(many.GetLine(3), "");

    struct Case {
        const char* before;
        const char* after;
    } cases[] = {
        {"hello world", "Hello World"}, {"hEllo", "HEllo"}, {"   ", "   "}, {"one\r\ntwo  three", "One\r\nTwo  Three"}};
    for (const auto& c : cases) {
        several.setText(c.before);
        several.setSelection(5, 2);
        many.TitleCase();
        EXPECT_EQ(several.text(), c.after);
        EXPECT_EQ(several.selStart(), std::min<int>(5, static_cast<int>(std::string(c.before).size())));
    }
    several.setText("one\r\ntwo");
    several.setSelection(5, 3);  // "two", after the CR LF
    EXPECT_EQ(multi.textCursor().selectedText(), "two");
    many.Cut();
    EXPECT_EQ(several.text(), "one\r\n");
    EXPECT_TRUE(many.CanUndo());
    many.Undo();
    EXPECT_EQ(several.text(), "one\r\ntwo");
    many.SelectAll();
    many.Copy();
    EXPECT_EQ(QApplication::clipboard()->text(), "one\ntwo");
    several.setSelection(0, 3);
    many.Clear();
    EXPECT_EQ(several.text(), "\r\ntwo");
    many.Paste();
    EXPECT_EQ(several.text(), "one\r\ntwo\r\ntwo");
}
