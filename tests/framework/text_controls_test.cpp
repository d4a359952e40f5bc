// Text controls as users meet them: a memo without scroll bars, the combo box's typed text.

#include "framework/text_controls.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

#include "framework/form.h"
#include "framework/standard_classes.h"
#include "gui_test_environment.h"

using namespace framework;

namespace {

class TTextForm : public TForm {
public:
    static const ClassInfo& staticClassInfo() {
        static const ClassInfo info("TTextForm", &TForm::staticClassInfo(), {});
        return info;
    }
    const ClassInfo& classInfo() const override { return staticClassInfo(); }
};

class TextControlsTest : public ::testing::Test {
protected:
    void SetUp() override { registerStandardClasses(); }
    void load(const std::string& controls) {
        page.reset(new TTextForm);
        page->createFromDefinition(
            "object Text: TTextForm\n  ClientWidth = 300\n"
            "  ClientHeight = 200\n" +
            controls + "end\n");
        page->Show();
        testing_support::settle();
    }
    template <class T>
    T* control(const char* name) const {
        return static_cast<T*>(page->findComponent(name));
    }
    FormPtr<TTextForm> page;
};

struct ScrollCase {
    const char* stored;  // empty: not stored
    bool horizontal;
    bool vertical;
};

class MemoScrollBarsTest : public TextControlsTest,
                           public ::testing::WithParamInterface<ScrollCase> {};

TEST_P(MemoScrollBarsTest, AMemoShowsTheScrollBarsItStoresAndNoOthers) {
    const ScrollCase c = GetParam();
    std::string lines = "    Lines = (";
    for (int i = 0; i < 40; ++i)
        lines += "\n      'a line much longer than the memo is wide, to need a scroll bar'";
    load(std::string("  object M: TMemo\n    Width = 120\n    Height = 60\n") +
         (*c.stored != '\0' ? std::string("    ScrollBars = ") + c.stored + "\n" : "") + lines +
         ")\n  end\n");
    auto* editor = static_cast<QPlainTextEdit*>(control<TMemo>("M")->widget());
    EXPECT_EQ(editor->horizontalScrollBar()->isVisible(), c.horizontal);
    EXPECT_EQ(editor->verticalScrollBar()->isVisible(), c.vertical);
    EXPECT_EQ(editor->lineWrapMode() == QPlainTextEdit::NoWrap, c.horizontal);
}

INSTANTIATE_TEST_SUITE_P(Stored, MemoScrollBarsTest,
                         ::testing::Values(ScrollCase{"", false, false},
                                           ScrollCase{"ssNone", false, false},
                                           ScrollCase{"ssVertical", false, true},
                                           ScrollCase{"ssHorizontal", true, false},
                                           ScrollCase{"ssBoth", true, true}));

// A page's edit boxes take their font while the page is made, hidden. Painted then (as a
// picture of the page is taken) or shown, the text stands where that font puts it, as in a
// box that had the font from the start: the caret, where an input method puts its window.
TEST_F(TextControlsTest, AnEditBoxMadeHiddenShowsItsTextInItsOwnFont) {
    const std::string box =
        "    Width = 200\n    Height = 21\n    Text = 'iiiiiiii'\n"
        "    Font.Name = 'Courier New'\n    Font.Height = -15\n  end\n";
    page.reset(new TTextForm);
    page->createFromDefinition(
        "object Text: TTextForm\n  ClientWidth = 300\n"
        "  ClientHeight = 200\n  object Painted: TEdit\n" +
        box + "  object Shown: TEdit\n    Top = 30\n" + box + "end\n");
    QLineEdit same;
    same.setFont(control<TEdit>("Shown")->lineEdit()->font());
    same.setText(QStringLiteral("iiiiiiii"));
    same.resize(200, 21);
    same.setCursorPosition(8);
    const auto caret = [](const QLineEdit* edit) {
        return edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().left();
    };
    QLineEdit* painted = control<TEdit>("Painted")->lineEdit();
    painted->setCursorPosition(8);
    painted->grab();
    EXPECT_EQ(caret(painted), caret(&same)) << "painted while hidden";
    QLineEdit* shown = control<TEdit>("Shown")->lineEdit();
    shown->setCursorPosition(8);
    page->Show();
    EXPECT_EQ(caret(shown), caret(&same)) << "shown, before its first paint";
}

TEST_F(TextControlsTest, UnknownScrollBarsAreRefused) {
    EXPECT_THROW(load("  object M: TMemo\n    ScrollBars = ssSideways\n  end\n"), std::exception);
}

TEST_F(TextControlsTest, AMemoPutsItsTextAsCloseToTheEdgeAsAPlainEdit) {
    load(
        "  object M: TMemo\n    BorderStyle = bsNone\n    Width = 200\n    Height = 60\n"
        "    Lines = ('Hello')\n  end\n");
    auto* editor = static_cast<QPlainTextEdit*>(control<TMemo>("M")->widget());
    EXPECT_LE(editor->cursorRect(QTextCursor(editor->document()->begin())).left(), 1);
    EXPECT_LE(editor->cursorRect(QTextCursor(editor->document()->begin())).top(), 1);
}

TEST_F(TextControlsTest, TypedTextInAComboBoxIsNotCompleted) {
    load("  object C: TComboBox\n    Items = ('Slovak' 'Slovenian' 'Swedish')\n  end\n");
    auto* combo = control<TComboBox>("C");
    std::vector<std::string> changes;
    combo->OnChange = [&](Component*) { changes.push_back(combo->text()); };
    combo->comboBox()->setFocus();
    QTest::keyClicks(combo->comboBox()->lineEdit(), "Slov");
    EXPECT_EQ(combo->text(), "Slov");
    EXPECT_EQ(combo->comboBox()->lineEdit()->text(), "Slov");
    EXPECT_FALSE(combo->comboBox()->lineEdit()->hasSelectedText());
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.back(), "Slov");
}

}  // namespace
