// The wizard from the keyboard alone, against a real distribution in the sandbox. Keys go
// to the page's window as the window system hands them on (shortcuts first, then the
// focused control): Enter presses the focused button, else the page's forward button;
// Escape answers the dialogs; Shift+F10 opens the chooser's item menu; the chooser opens
// with the focus on the selected folder.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <fstream>

#include "engine/linux_machine.h"
#include "framework/application.h"
#include "gui_test_environment.h"
#include "platform/xdg_folders.h"
#include "setup/pages.h"
#include "setup/wizard.h"
#include "test_distribution.h"

namespace fs = std::filesystem;

namespace {

class KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        app().resetTermination();
        app().setMessages(&messages);
        root = testing_support::testFolder("keyboard");
        fs::create_directories(root / "target");
        target = (root / "target").string();
        wizard = std::make_unique<setup::Wizard>(std::make_unique<engine::LinuxMachine>(),
                                                 testing_support::makeDistribution(root / "dist"));
        wizard->createPages();
        wizard->isForm1->Show();
        activate(*wizard->isForm1);
    }
    void TearDown() override {
        wizard.reset();
        app().setMessages(nullptr);
    }
    static framework::Application& app() { return framework::Application::instance(); }

    // Lets the window system make the page the active window, as it does for a shown page.
    static void activate(framework::TForm& page) {
        page.widget()->activateWindow();
        for (int i = 0; i < 50 && QApplication::activeWindow() != page.widget(); ++i)
            testing_support::settle();
    }
    static void type(framework::TForm& page, int key,
                     Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(page.widget()->windowHandle(), Qt::Key(key), modifiers);
    }
    static void typeText(framework::TForm& page, const std::string& text) {
        QTest::keyClicks(page.widget()->focusWidget(), QString::fromStdString(text));
    }
    // Runs the action inside the page's modal run, once it is active.
    static void whenModal(framework::TForm& page, std::function<void()> action) {
        auto* poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, poll, [poll, &page, action = std::move(action)] {
            if (!page.isModal()) return;
            poll->stop();
            poll->deleteLater();
            activate(page);
            action();
        });
        poll->start(0);
    }
    static std::string focused(const framework::TForm& page) {
        const QWidget* focus = page.widget()->focusWidget();
        return focus != nullptr ? focus->objectName().toStdString() : "";
    }
    std::string selectedRow() const {
        const auto* view = static_cast<QTreeView*>(wizard->iForm10->ShellTree1->widget());
        return view->currentIndex().data().toString().toStdString();
    }
    // The chooser from the folder button of the language page (focused there), with the folder
    // box holding target; action runs inside it once it is active.
    void inChooser(const std::function<void(setup::TiForm10&)>& action) {
        setup::TisForm3& language = *wizard->isForm3;
        wizard->isForm1->Button3->Click();
        activate(language);
        language.Edit1->setText(target);
        language.BitBtn1->widget()->setFocus();
        whenModal(*wizard->iForm10, [&] { action(*wizard->iForm10); });
        type(language, Qt::Key_Return);
        EXPECT_FALSE(wizard->iForm10->isShowing());
    }

    testing_support::ScriptedMessageBoxes messages;
    fs::path root;
    std::string target;
    std::unique_ptr<setup::Wizard> wizard;
};

}  // namespace

TEST_F(KeyboardTest, AWholeInstallWithTheKeyboardAlone) {
    setup::TisForm1& welcome = *wizard->isForm1;
    EXPECT_EQ(focused(welcome), "Button2") << "\"Cancel\" comes first in the tab order";
    type(welcome, Qt::Key_Tab);
    type(welcome, Qt::Key_Return);  // the focused "Next>"

    setup::TisForm3& language = *wizard->isForm3;
    ASSERT_TRUE(language.isShowing());
    activate(language);
    EXPECT_EQ(focused(language), "ComboBox1");
    for (int i = 0; i < 4; ++i) type(language, Qt::Key_Tab);  // past Cancel, <Back and Next>
    ASSERT_EQ(focused(language), "Edit1");
    type(language, Qt::Key_A, Qt::ControlModifier);
    typeText(language, target);
    type(language, Qt::Key_Tab);
    ASSERT_EQ(focused(language), "BitBtn1");
    whenModal(*wizard->iForm10, [&] {
        setup::TiForm10& chooser = *wizard->iForm10;
        EXPECT_EQ(focused(chooser), "ShellTree1");
        EXPECT_EQ(selectedRow(), "target");
        type(chooser, Qt::Key_Return);  // no button has the focus: "Accept"
    });
    type(language, Qt::Key_Space);  // the folder button
    EXPECT_EQ(language.Edit1->text(), target + "/Quindor/");
    type(language, Qt::Key_Tab);  // round to the language box
    type(language, Qt::Key_Down);
    EXPECT_EQ(wizard->ScreenLanguageCode, "CZ");
    type(language, Qt::Key_Return);  // "Next>"

    setup::Tisform4& dictionaries = *wizard->isform4;
    ASSERT_TRUE(dictionaries.isShowing());
    activate(dictionaries);
    EXPECT_EQ(focused(dictionaries), "CheckListBox1");
    type(dictionaries, Qt::Key_Space);  // "British English"
    type(dictionaries, Qt::Key_Down);
    type(dictionaries, Qt::Key_Down);
    type(dictionaries, Qt::Key_Space);   // "Danish"
    type(dictionaries, Qt::Key_Return);  // "Next>"

    setup::TisForm5& shortcuts = *wizard->isForm5;
    ASSERT_TRUE(shortcuts.isShowing());
    activate(shortcuts);
    EXPECT_EQ(focused(shortcuts), "CheckBox1");
    type(shortcuts, Qt::Key_Tab);
    type(shortcuts, Qt::Key_Space);   // "Add to Start menu"
    type(shortcuts, Qt::Key_Return);  // "Install"

    setup::Tisform6& finish = *wizard->isform6;
    ASSERT_TRUE(finish.isShowing());
    EXPECT_TRUE(messages.shown.empty()) << messages.shown.front().text;
    const std::string installed = target + "/Quindor";
    EXPECT_TRUE(fs::exists(installed + "/QUINDOR.EXE"));
    EXPECT_TRUE(fs::exists(installed + "/QUINDOR/UK.DIC"));
    EXPECT_TRUE(fs::exists(installed + "/QUINDOR/DA.DIC"));
    EXPECT_FALSE(fs::exists(installed + "/QUINDOR/US.DIC"));
    std::ifstream ini(installed + "/MARLO.INI");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(ini), {}),
              "[UserChoice]\r\nMarloLanguage=CZ\r\nSpellLanguage=CZ\r\n");
    EXPECT_TRUE(fs::exists(platform::userFolders().dataHome + "/applications/Quindor.desktop"));
    activate(finish);
    EXPECT_EQ(focused(finish), "Button2");
    type(finish, Qt::Key_Tab);
    type(finish, Qt::Key_Return);  // "Finish"
    EXPECT_TRUE(app().terminated());
    EXPECT_FALSE(fs::exists(testing_support::sandboxFolder() / "home/quindor-started"));
}

TEST_F(KeyboardTest, EscapeAnswersResumeInTheExitConfirmation) {
    bool asked = false;
    whenModal(*wizard->isForm2, [&] {
        asked = wizard->isForm2->isShowing();
        type(*wizard->isForm2, Qt::Key_Escape);
    });
    type(*wizard->isForm1, Qt::Key_Return);  // the focused "Cancel"
    EXPECT_TRUE(asked);
    EXPECT_FALSE(wizard->isForm2->isShowing());
    EXPECT_TRUE(wizard->isForm1->isShowing());
    EXPECT_FALSE(app().terminated());
}

TEST_F(KeyboardTest, EscapeAnswersAbortInTheChooserAndCancelInTheNewFolderDialog) {
    inChooser([&](setup::TiForm10& chooser) {
        EXPECT_EQ(focused(chooser), "ShellTree1");
        type(chooser, Qt::Key_Backtab, Qt::ShiftModifier);
        type(chooser, Qt::Key_Backtab, Qt::ShiftModifier);
        ASSERT_EQ(focused(chooser), "BitBtn1");  // "Create folder"
        whenModal(*wizard->iForm11, [&] {
            setup::TiForm11& dialog = *wizard->iForm11;
            EXPECT_EQ(focused(dialog), "Edit1");
            typeText(dialog, "Data");
            type(dialog, Qt::Key_Escape);
        });
        type(chooser, Qt::Key_Return);
        EXPECT_FALSE(fs::exists(target + "/Data"));
        EXPECT_EQ(wizard->iForm11->NewFolderName, "");
        type(chooser, Qt::Key_Escape);
    });
    EXPECT_EQ(wizard->iForm10->ChosenFolder, "");
    EXPECT_EQ(wizard->isForm3->Edit1->text(), target);
}

TEST_F(KeyboardTest, EnterAnswersOkInTheNewFolderDialog) {
    inChooser([&](setup::TiForm10& chooser) {
        whenModal(*wizard->iForm11, [&] {
            typeText(*wizard->iForm11, "Data");
            type(*wizard->iForm11, Qt::Key_Return);  // the name box has the focus: "OK"
        });
        chooser.BitBtn1->Click();
        EXPECT_EQ(selectedRow(), "Data");
        type(chooser, Qt::Key_Escape);
    });
    EXPECT_TRUE(fs::is_directory(target + "/Data"));
}

TEST_F(KeyboardTest, ShiftF10OpensTheItemMenuLikeTheMenuKey) {
    std::string menuFirstItem;
    inChooser([&](setup::TiForm10& chooser) {
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu == nullptr) return;
            if (!menu->actions().empty())
                menuFirstItem = menu->actions().front()->text().toStdString();
            menu->close();
        });
        poll.start(0);
        type(chooser, Qt::Key_F10, Qt::ShiftModifier);
        poll.stop();
        type(chooser, Qt::Key_Escape);
    });
    EXPECT_FALSE(menuFirstItem.empty()) << "no item menu was shown";
}
