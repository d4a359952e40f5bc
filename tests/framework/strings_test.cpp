// String lists edited in place: the same contract for a plain list, memo lines and the
// rows of list, check-list and combo boxes; what each row keeps when its text is put.

#include "framework/strings.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <memory>

#include "framework/list_controls.h"
#include "framework/text_controls.h"

using namespace framework;

namespace {

// Owns whatever holds the list under test.
struct ListUnderTest {
    std::shared_ptr<void> holder;
    TStrings* strings;
};

using MakeList = ListUnderTest (*)();

template <class Control>
ListUnderTest controlList(TStrings& (Control::*rows)()) {
    auto control = std::make_shared<Control>(nullptr);
    return {control, &((*control).*rows)()};
}

const std::vector<std::pair<std::string, MakeList>> kLists = {
    {"StringList",
     [] {
         auto list = std::make_shared<TStringList>();
         return ListUnderTest{list, list.get()};
     }},
    {"MemoLines", [] { return controlList<TMemo>(&TMemo::Lines); }},
    {"ListBoxRows", [] { return controlList<TListBox>(&TListBox::Items); }},
    {"CheckListRows", [] { return controlList<TCheckListBox>(&TCheckListBox::Items); }},
    {"ComboBoxRows", [] { return controlList<TComboBox>(&TComboBox::Items); }},
};

class StringsContract : public ::testing::TestWithParam<std::pair<std::string, MakeList>> {
protected:
    ListUnderTest made = GetParam().second();
    TStrings& list = *made.strings;
};

std::string errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EPropertyError& e) {
        return e.what();
    }
    return "no error";
}

}  // namespace

TEST_P(StringsContract, EditsRowsInPlace) {
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.add("b"), 0);
    list.insert(0, "a");
    list.insert(2, "d");
    list.insert(2, "c");
    EXPECT_EQ(list.toList(), (StringList{"a", "b", "c", "d"}));
    list.put(1, "B");
    list.remove(3);
    EXPECT_EQ(list.toList(), (StringList{"a", "B", "c"}));
    list.remove(2);  // the last row, then the first
    list.remove(0);
    EXPECT_EQ(list.toList(), (StringList{"B"}));
    EXPECT_EQ(list.indexOf("B"), 0);
    EXPECT_EQ(list.indexOf("b"), -1);
    list.clear();
    EXPECT_EQ(list.count(), 0);
}

TEST_P(StringsContract, IndexErrorsLeaveTheRowsAlone) {
    list.assign({"x", "y"});
    EXPECT_EQ(errorOf([&] { list.get(2); }), "List index out of bounds (2)");
    EXPECT_EQ(errorOf([&] { list.put(-1, "z"); }), "List index out of bounds (-1)");
    EXPECT_EQ(errorOf([&] { list.insert(3, "z"); }), "List index out of bounds (3)");
    EXPECT_EQ(errorOf([&] { list.remove(2); }), "List index out of bounds (2)");
    EXPECT_EQ(list.toList(), (StringList{"x", "y"}));
}

TEST_P(StringsContract, AssignsAndReadsAsAStoredValue) {
    list.add("old");
    list.beginUpdate();
    list.assignValue(StringList{"one", "", "three"});
    EXPECT_TRUE(list.updating());
    list.endUpdate();
    EXPECT_FALSE(list.updating());
    EXPECT_EQ(std::get<StringList>(list.storedValue()), (StringList{"one", "", "three"}));
    EXPECT_EQ(errorOf([&] { list.assignValue(std::string("one")); }),
              "Property Strings needs a list of strings");
}

INSTANTIATE_TEST_SUITE_P(AllLists, StringsContract, ::testing::ValuesIn(kLists),
                         [](const auto& info) { return info.param.first; });

TEST(CheckListRows, PutKeepsCheckMarksAndSelection) {
    TCheckListBox box(nullptr);
    box.setMultiSelect(true);
    box.Items().assign({"English", "German", "French"});
    box.setChecked(0, true);
    box.setChecked(2, true);
    box.setSelected(1, true);

    box.Items().put(0, "Englisch");
    box.Items().put(1, "Deutsch");
    EXPECT_TRUE(box.checked(0));
    EXPECT_FALSE(box.checked(1));
    EXPECT_TRUE(box.selected(1));
    EXPECT_EQ(box.Items().get(0), "Englisch");

    // Rows that come and go move the marks with their rows.
    box.Items().insert(1, "Danish");
    EXPECT_TRUE(box.checked(0));
    EXPECT_FALSE(box.checked(1));
    EXPECT_TRUE(box.selected(2));
    EXPECT_TRUE(box.checked(3));
    box.Items().remove(0);
    EXPECT_TRUE(box.checked(2));
    EXPECT_EQ(box.Items().toList(), (StringList{"Danish", "Deutsch", "French"}));
    EXPECT_EQ(box.listWidget()->item(0)->flags() & Qt::ItemIsUserCheckable,
              Qt::ItemIsUserCheckable);
}

TEST(ComboBoxRows, ChangesKeepTheTypedTextAndRaiseNoChange) {
    TComboBox box(nullptr);
    int changes = 0;
    box.OnChange = [&](Component*) { ++changes; };
    box.setText("Slov");
    box.Items().assign({"Slovak", "Polish"});
    box.Items().put(0, "Slovensky");
    box.Items().remove(1);
    EXPECT_EQ(box.text(), "Slov");
    EXPECT_EQ(changes, 0);

    // A text that shows a row follows that row's new text.
    box.setItemIndex(0);
    box.Items().put(0, "Slovak");
    EXPECT_EQ(box.itemIndex(), 0);
    EXPECT_EQ(box.text(), "Slovak");
    EXPECT_EQ(changes, 0);
}

TEST(MemoLines, PutReplacesOneParagraphOnly) {
    TMemo memo(nullptr);
    memo.Lines().assign({"first", "second", "third"});
    memo.Lines().put(1, "2nd");
    EXPECT_EQ(memo.editor()->toPlainText().toStdString(), "first\n2nd\nthird");
    memo.Lines().put(2, "");
    EXPECT_EQ(memo.Lines().toList(), (StringList{"first", "2nd", ""}));
}

TEST(StringList, ChangeNotificationWaitsForTheEndOfAnUpdate) {
    TStringList list;
    int changes = 0;
    list.onChange = [&] { ++changes; };
    list.add("a");
    EXPECT_EQ(changes, 1);
    list.beginUpdate();
    list.beginUpdate();
    list.add("b");
    list.put(0, "A");
    list.endUpdate();
    EXPECT_EQ(changes, 1);
    list.endUpdate();
    EXPECT_EQ(changes, 2);
    list.beginUpdate();
    list.endUpdate();  // nothing changed, nothing raised
    EXPECT_EQ(changes, 2);
}
