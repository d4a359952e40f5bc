// Bytes that are not UTF-8 shown in a control and read back: what the user leaves as shown
// keeps its bytes; the folder box keeps them through typing.

#include "framework/shown_text.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include "framework/text_controls.h"

using namespace framework;

TEST(ShownText, LossyToShowExactWhereLeftAsShown) {
    struct Row {
        std::string bytes;
        std::u16string shown;
        std::u16string edited;  // what the control holds afterwards
        std::string kept;
    };
    const Row rows[] = {
        {"/tmp/caf\xe9", u"/tmp/caf\uFFFD", u"/tmp/caf\uFFFD", "/tmp/caf\xe9"},
        {"/tmp/caf\xe9", u"/tmp/caf\uFFFD", u"/tmp/caf\uFFFD/Quindor/", "/tmp/caf\xe9/Quindor/"},
        {"/tmp/caf\xe9", u"/tmp/caf\uFFFD", u"/tmp/caf", "/tmp/caf"},
        {"\xff"
         "a\xfe",
         u"\uFFFD"
         "a\uFFFD",
         u"\uFFFD"
         "bb\uFFFD",
         "\xff"
         "bb\xfe"},
        {"caf\xc3\xa9", u"caf\u00e9", u"caf\u00e9s", "caf\xc3\xa9s"},
        {"\xf0\x9f\x98\x80!", u"\U0001F600!", u"\U0001F600?", "\xf0\x9f\x98\x80?"},
        // Overlong, surrogate and beyond-Unicode forms are bytes, one U+FFFD each.
        {"\xc0\xaf", u"\uFFFD\uFFFD", u"\uFFFD\uFFFD", "\xc0\xaf"},
        {"\xed\xa0\x80", u"\uFFFD\uFFFD\uFFFD", u"x\uFFFD\uFFFD\uFFFD", "x\xed\xa0\x80"},
        {"\xf9\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD", u"\uFFFD\uFFFD\uFFFD\uFFFD",
         "\xf9\x80\x80\x80"},
        {"", u"", u"typed", "typed"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(shownText(row.bytes), row.shown) << row.kept;
        EXPECT_EQ(keptBytes(row.bytes, row.edited), row.kept) << row.kept;
    }
}

TEST(ShownText, TheFolderBoxKeepsItsBytesWhileTheUserTypes) {
    TEdit box(nullptr);
    box.setText("/tmp/\xe9t\xe9");
    EXPECT_EQ(box.text(), "/tmp/\xe9t\xe9");
    EXPECT_EQ(box.lineEdit()->text(), QString::fromUtf16(u"/tmp/\uFFFDt\uFFFD"));
    box.lineEdit()->setFocus();
    box.lineEdit()->end(false);
    QTest::keyClicks(box.lineEdit(), "/Q");
    EXPECT_EQ(box.text(), "/tmp/\xe9t\xe9/Q");
}
