// Plain rows drawn directly must look exactly as the style draws them; everything else is
// the style's.

#include "framework/plain_row_delegate.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QListWidget>

#include "gui_test_environment.h"

namespace {

const int kRowHeight = 14;

// A list as the log shows it, drawn with the given delegate.
QImage drawnList(QStyledItemDelegate* delegate, bool enabled, int current) {
    QListWidget list;
    list.setItemDelegate(delegate);
    delegate->setParent(&list);
    list.setUniformItemSizes(true);
    QFont font("Courier New");
    font.setPixelSize(11);
    list.setFont(font);
    list.resize(200, 12 * kRowHeight);
    for (const char* text :
         {"Extracting language UK", "======================", "", "  two  blanks  ", "Ünïcödé row",
          "a row far too long to fit the list's width, so it is elided", "Tab\there",
          "Creating shortcuts"}) {
        list.addItem(QString::fromUtf8(text));
    }
    list.item(7)->setCheckState(Qt::Checked);
    if (current >= 0) list.setCurrentRow(current);
    list.setEnabled(enabled);
    list.show();
    testing_support::settle();
    return list.grab().toImage();
}

TEST(PlainRowDelegate, DrawsEveryKindOfRowAsTheStyleDoes) {
    const int height = kRowHeight;
    for (const bool enabled : {true, false}) {
        for (const int current : {-1, 0, 4}) {
            const QImage style =
                drawnList(new framework::RowHeightDelegate(height, nullptr), enabled, current);
            const QImage plain =
                drawnList(new framework::PlainRowDelegate(height, nullptr), enabled, current);
            ASSERT_EQ(style.size(), plain.size());
            EXPECT_TRUE(style == plain) << "enabled " << enabled << ", current row " << current;
        }
    }
}

}  // namespace
