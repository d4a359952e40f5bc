// Where the setup state lives: the screen-language code, the folder text, the
// dictionary codes, and each page's design screen.

#include <QLineEdit>
#include <QTest>

#include "setup/language_folder_page.h"
#include "setup/wizard_page.h"
#include "wizard_fixture.h"

TEST(ScreenLanguageCode, ExactNamesGiveTheirCodesAndAnythingElseUS) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"English", "US"},
        {"Czech", "CZ"},
        {"Dansk", "DK"},
        {"Deutsch", "DE"},
        {"Fran\xC3\xA7"
         "ais",
         "FR"},
        {"Nederlands", "NL"},
        {"Po polsku", "PL"},
        {"Ruski", "RU"},
        {"Slovak", "SK"},
        {"deutsch", "US"},
        {"DEUTSCH", "US"},
        {"Deutsch ", "US"},
        {"Francais", "US"},
        {"", "US"},
        {"Danish", "US"},
    };
    for (const auto& [text, code] : rows) EXPECT_EQ(setup::screenLanguageCode(text), code) << text;
}

TEST(DesignScreen, FollowsTheWidthOfTheScreen) {
    const setup::DesignScreen stored{800, 600};
    const std::vector<std::tuple<int, int, int>> rows = {
        {600, 640, 480}, {640, 640, 480},  {641, 800, 600},   {700, 800, 600},
        {800, 800, 600}, {801, 1024, 768}, {1024, 1024, 768}, {1920, 1024, 768},
    };
    for (const auto& [width, designWidth, designHeight] : rows) {
        const setup::DesignScreen screen = setup::designScreenFor(width, stored);
        EXPECT_EQ(screen.width, designWidth) << width;
        EXPECT_EQ(screen.height, designHeight) << width;
    }
}

TEST_F(WizardTest, EveryPageSelectsItsDesignScreenWhenCreated) {
    for (const auto& [width, expected] :
         std::vector<std::pair<int, int>>{{640, 640}, {1280, 1024}}) {
        app().setScreenSizeOverride({width, width * 3 / 4});
        setup::Wizard other;
        other.createPages();
        for (setup::WizardPage* page : std::initializer_list<setup::WizardPage*>{
                 other.isForm1.get(), other.isForm2.get(), other.isForm3.get(), other.iForm10.get(),
                 other.isform4.get(), other.isForm5.get(), other.isform6.get(), other.isForm7.get(),
                 other.iForm11.get()}) {
            EXPECT_EQ(page->ElasticForm1->settings().DesignScreenWidth, expected) << page->name();
        }
    }
    app().setScreenSizeOverride({});
}

TEST_F(WizardTest, ScreenLanguageCodeFollowsTheBox) {
    EXPECT_EQ(wizard.ScreenLanguageCode, "US");  // untouched box
    wizard.isForm1->Button3->Click();
    QComboBox* box = wizard.isForm3->ComboBox1->comboBox();
    box->setCurrentIndex(2);
    EXPECT_EQ(wizard.ScreenLanguageCode, "DK");  // not the dictionary code DA
    box->setCurrentIndex(0);
    EXPECT_EQ(wizard.ScreenLanguageCode, "US");
    box->setCurrentIndex(4);
    EXPECT_EQ(wizard.ScreenLanguageCode, "FR");

    box->lineEdit()->clear();
    QTest::keyClicks(box->lineEdit(), "deutsch");
    EXPECT_EQ(box->currentText(), "deutsch");
    EXPECT_EQ(wizard.ScreenLanguageCode, "US");
    box->lineEdit()->clear();
    QTest::keyClicks(box->lineEdit(), "Deutsch");
    EXPECT_EQ(wizard.ScreenLanguageCode, "DE");
}

TEST_F(WizardTest, InitialStateOfThePages) {
    EXPECT_EQ(wizard.isForm3->ComboBox1->text(), "English");
    EXPECT_EQ(wizard.isForm3->ComboBox1->itemIndex(), 0);
    EXPECT_EQ(wizard.isForm3->Edit1->text(),
              (testing_support::sandboxFolder() / "home/Quindor/").string());
    EXPECT_EQ(wizard.isform4->DictionaryCodes,
              (framework::StringList{"UK", "US", "DA", "NL", "DE", "FR", "PL", "RU", "CZ", "SK",
                                     "SI", "IT", "SP", "SE", "ZA"}));
    for (int row = 0; row < 15; ++row) {
        EXPECT_FALSE(wizard.isform4->CheckListBox1->checked(row));
        EXPECT_TRUE(wizard.isform4->CheckListBox1->itemEnabled(row));
    }
    EXPECT_TRUE(wizard.isForm5->CheckBox1->checked());
    EXPECT_FALSE(wizard.isForm5->CheckBox2->checked());
    EXPECT_TRUE(wizard.isForm5->CheckBox3->checked());
    EXPECT_EQ(wizard.isForm7->LB->Items().count(), 0);
    EXPECT_TRUE(wizard.isform6->Button2->enabled());
}

TEST_F(WizardTest, DictionaryCodesAreDiscardedWithThePage) {
    wizard.isform4->beforeDestruction();
    EXPECT_TRUE(wizard.isform4->DictionaryCodes.empty());
}

TEST_F(WizardTest, ProgressLogKeepsShowingItsFirstRows) {
    for (int i = 0; i < 40; ++i) wizard.isForm7->appendLine("line " + std::to_string(i));
    wizard.isForm7->Show();
    wizard.isForm7->repaintNow();
    testing_support::settle();
    QListWidget* list = wizard.isForm7->LB->listWidget();
    EXPECT_EQ(list->count(), 40);
    EXPECT_EQ(list->itemAt(QPoint(5, 5))->text(), "line 0");
    const int visibleRows = list->viewport()->height() / 14;
    EXPECT_GE(visibleRows, 22);
    EXPECT_LE(visibleRows, 24);
}
