// Every page speaks through its translation container: after being read each page shows
// its language-0 texts whenever it is shown, a language switch reaches every page, and
// applying items never disturbs what the user chose.

#include "mltlang/mltlang.h"
#include "wizard_fixture.h"

namespace {

using mltlang::TMltLang;

class PageTranslations : public WizardTest {
protected:
    void TearDown() override {
        wizard.isForm1->MltLang1->SetActiveLang(0);  // later wizards start in language 0
        WizardTest::TearDown();
    }
    static std::string caption(framework::Component* control) {
        return std::get<std::string>(control->property("Caption"));
    }
};

TEST_F(PageTranslations, EveryPageHoldsItsItemsAndItsLanguages) {
    const std::vector<std::pair<framework::TForm*, int>> counts = {
        {wizard.isForm1.get(), 2}, {wizard.isForm2.get(), 4}, {wizard.isForm3.get(), 2},
        {wizard.iForm10.get(), 7}, {wizard.isform4.get(), 2}, {wizard.isForm5.get(), 1},
        {wizard.isform6.get(), 0}, {wizard.isForm7.get(), 1}, {wizard.iForm11.get(), 5}};
    for (auto [page, items] : counts) {
        auto* lang = dynamic_cast<TMltLang*>(page->findComponent("MltLang1"));
        ASSERT_NE(lang, nullptr) << page->name();
        EXPECT_EQ(lang->Items().Count(), items) << page->name();
        EXPECT_EQ(lang->MaxLang(), 9) << page->name();
        EXPECT_EQ(lang->LangId(), mltlang::lgENGLISH) << page->name();
        for (int i = 0; i < lang->Items().Count(); ++i)
            EXPECT_NE(lang->Items().Item(i)->Component, nullptr);
    }
    // The finish page stores no list: it keeps the languages its MaxLang gave it.
    EXPECT_EQ(wizard.isform6->MltLang1->Items().Languages.GetId(8), mltlang::lgKOREAN);
    EXPECT_EQ(wizard.isForm7->MltLang1->Items().Languages.GetId(2), mltlang::lgFRENCH);
    EXPECT_EQ(wizard.iForm10->MltLang1->Items().Languages.GetId(8), mltlang::lgCHINESE);
}

TEST_F(PageTranslations, EveryPageShowsItsLanguage0TextsWhenShown) {
    struct Designed {
        framework::Component* control;
        std::string property;
        std::string text;
    };
    for (framework::TForm* page : allPages()) {
        auto* lang = dynamic_cast<TMltLang*>(page->findComponent("MltLang1"));
        std::vector<Designed> designed;
        for (int i = 0; i < lang->Items().Count(); ++i) {
            mltlang::TCI* item = lang->Items().Item(i);
            designed.push_back({item->Component, item->PropName, item->GetValue(0)});
            item->Component->setProperty(item->PropName, std::string("scrambled"));
        }
        page->Hide();
        page->Show();  // the texts are written before anything else sees the page
        for (const Designed& d : designed) {
            EXPECT_EQ(std::get<std::string>(d.control->property(d.property)), d.text)
                << page->name() << " " << d.control->name() << "." << d.property;
        }
        page->Hide();
    }
}

TEST_F(PageTranslations, ASwitchReachesEveryPageAndLanguage2ShowsTheDutchTexts) {
    wizard.isForm1->MltLang1->SetActiveLang(2);
    EXPECT_EQ(wizard.isForm1->caption(), "Welkom bij de Marlo installatie...");
    EXPECT_EQ(caption(wizard.isForm1->Button2), "Afbreken");
    EXPECT_EQ(caption(wizard.isForm2->Button1), "Ga door");
    EXPECT_EQ(wizard.isForm7->caption(), "Eenvoudige installatie");
    EXPECT_EQ(caption(wizard.iForm11->Button1), "Help");  // no Dutch text: language 0 stays
    wizard.isForm1->MltLang1->SetActiveLang(0);
    EXPECT_EQ(caption(wizard.isForm2->Button1), "Resume");
}

// Switched by identifier on the welcome page, Dutch reaches every page whose list holds it,
// each raising its own OnLanguageChanged; the finish and progress pages have no Dutch.
TEST_F(PageTranslations, DutchByIdentifierReachesTheOtherPagesAndFiresTheirEvents) {
    std::vector<std::string> fired;
    for (framework::TForm* page : allPages()) {
        auto* lang = dynamic_cast<TMltLang*>(page->findComponent("MltLang1"));
        lang->OnLanguageChanged = [&fired, page](framework::Component*) {
            fired.push_back(page->name());
        };
    }
    wizard.isForm1->MltLang1->SetActiveLangById(mltlang::lgDUTCH);
    EXPECT_EQ(fired, (std::vector<std::string>{"isForm2", "isForm3", "iForm10", "isform4",
                                               "isForm5", "iForm11", "isForm1"}));
    for (framework::TForm* page : allPages()) {
        auto* lang = dynamic_cast<TMltLang*>(page->findComponent("MltLang1"));
        const bool hasDutch = page != wizard.isform6.get() && page != wizard.isForm7.get();
        EXPECT_EQ(lang->ActiveLang(), hasDutch ? 2 : 0) << page->name();
        lang->OnLanguageChanged = {};
    }
}

// The index-2 texts every page stores, as the Dutch screen must read (for the progress page
// index 2 is French in its list, with the same text).
TEST_F(PageTranslations, EveryPagesStoredLanguage2TextsReadAsShipped) {
    const std::string exitText =
        "U heb de de Marlo installatie onderbroken. Als u nu stopt dan is Marlo niet "
        "geinstalleerd.\r\n\r\n"
        "U kunt de installatie nu stoppen en later alsnog uitvoeren.\r\n\r\n"
        "Door op de \"Ga door\" knop te drukken zal de installatie doorgaan.";
    const struct {
        framework::Component* control;
        const char* property;
        std::string text;
    } rows[] = {
        {wizard.isForm1.get(), "Caption", "Welkom bij de Marlo installatie..."},
        {wizard.isForm1->Button2, "Caption", "Afbreken"},
        {wizard.isForm2.get(), "Caption", "Stop installatie"},
        {wizard.isForm2->Label1, "Caption", exitText},
        {wizard.isForm2->Button1, "Caption", "Ga door"},
        {wizard.isForm2->Button2, "Caption", "Stop installatie"},
        {wizard.isForm3.get(), "Caption", "Welkom bij de Marlo installatie..."},
        {wizard.isForm3->Label1, "Caption", "Taal"},
        {wizard.iForm10.get(), "Caption", "Kies/maak map"},
        {wizard.iForm10->Button2, "Caption", "Accepteer"},
        {wizard.iForm10->Button2, "Hint", "Gebruik geselecteerde map"},
        {wizard.iForm10->BitBtn1, "Caption", "Maak map"},
        {wizard.iForm10->BitBtn1, "Hint", "Maak een nieuwe map"},
        {wizard.iForm10->Button3, "Caption", "Afbreken"},
        {wizard.iForm10->Button3, "Hint", "Stop map keuze"},
        {wizard.isform4.get(), "Caption", "Welkom bij de Marlo installatie..."},
        {wizard.isform4->Label1, "Caption", "Taal"},
        {wizard.isForm5.get(), "Caption", "Welkom bij de Marlo installatie..."},
        {wizard.isForm7.get(), "Caption", "Eenvoudige installatie"},
        {wizard.iForm11.get(), "Caption", "Nieuwe map"},
        {wizard.iForm11->Label1, "Caption", "Huidige map"},
        {wizard.iForm11->Label3, "Caption", "Nieuw"},
        {wizard.iForm11->Button1, "Caption", "Help"},  // empty in Dutch: language 0 shows
        {wizard.iForm11->Button2, "Caption", "Cancel"},
    };
    wizard.isForm1->MltLang1->SetActiveLang(2);
    for (const auto& row : rows) {
        EXPECT_EQ(std::get<std::string>(row.control->property(row.property)), row.text)
            << row.control->name() << "." << row.property;
    }
}

TEST_F(PageTranslations, ApplyingTheDictionaryPagesItemsKeepsItsMarks) {
    auto& page = *wizard.isform4;
    page.CheckListBox1->setChecked(1, true);
    page.CheckListBox1->setChecked(4, true);
    // A row translation as the designer makes it for the list's items.
    auto rows = std::make_unique<mltlang::TCIStrList>();
    rows->Component = page.CheckListBox1;
    rows->PropName = "Items";
    rows->CompName = "CheckListBox1";
    rows->SetStringList("British English", 0, 0);
    rows->SetStringList("American English", 0, 1);
    rows->SetStringList("Brits Engels", 2, 0);
    page.MltLang1->Items().AddNew(std::move(rows));
    page.MltLang1->SetActiveLang(2);
    EXPECT_TRUE(page.CheckListBox1->checked(1));
    EXPECT_TRUE(page.CheckListBox1->checked(4));
    EXPECT_EQ(page.CheckListBox1->Items().get(0), "Brits Engels");
    page.MltLang1->SetActiveLang(0);
    page.Show();
    EXPECT_TRUE(page.CheckListBox1->checked(1));
    EXPECT_EQ(page.CheckListBox1->Items().get(0), "British English");
}

}  // namespace
