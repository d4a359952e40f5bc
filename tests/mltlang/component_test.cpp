// TMltLang on pages read from definitions: binding by name, the show hook, switching with
// its fallback, veto and propagation, later pages, designing, and the component's
// stored properties.

#include <gtest/gtest.h>

#include "framework/buttons.h"
#include "framework/form.h"
#include "framework/list_controls.h"
#include "framework/standard_classes.h"
#include "mltlang/mltlang.h"
#include "stream_bytes.h"
#include "test_environment.h"

namespace {

using namespace mltlang;
using framework::Component;
using framework::FormPtr;
using mltlang_test::Bytes;

std::vector<std::string> g_log;

class TLangPage : public framework::TForm {
    FRAMEWORK_CLASS(framework::TForm)

    TLangPage() {
        publish("PageShow", &TLangPage::PageShow);
        publish("Refuse", &TLangPage::Refuse);
        publish("Changed", &TLangPage::Changed);
    }
    void PageShow(Component*) {
        g_log.push_back("PageShow " + caption());
        setCaption("shown");
    }
    void Refuse(Component*, bool& allowed) {
        g_log.push_back("Refuse " + name());
        allowed = !refuse;
    }
    void Changed(Component*) { g_log.push_back("Changed " + name()); }
    TMltLang& lang() const { return *dynamic_cast<TMltLang*>(findComponent("MltLang1")); }
    std::string text(const std::string& control) const {
        return std::get<std::string>(findComponent(control)->property("Caption"));
    }

    bool refuse = false;
};

const framework::ClassInfo& TLangPage::staticClassInfo() {
    return framework::declareClass<TLangPage>(
        "TLangPage", [] { return std::vector<framework::PropertyInfo>{}; });
}

struct StoredItem {
    std::string component;
    std::int32_t compIndex;
    std::vector<std::string> texts;
    std::string property = "Caption";
};

std::string hex(const Bytes& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string text;
    for (std::uint8_t b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

Bytes containerOf(const std::vector<StoredItem>& items, const std::vector<TLangid>& languages) {
    TInfoList list;
    for (const StoredItem& stored : items) {
        auto item = std::make_unique<TCIStr>();
        item->CompName = stored.component;
        item->CompIndex = stored.compIndex;
        item->PropName = stored.property;
        item->Texts = stored.texts;
        list.AddNew(std::move(item));
    }
    for (TLangid id : languages) {  // as given, a slot may repeat an identifier
        auto slot = std::make_unique<TLngId>();
        slot->Id = id;
        list.Languages.AddNew(std::move(slot));
    }
    return list.ObjectContainer();
}

const std::vector<TLangid> kNine = {lgENGLISH, lgGERMAN, lgDUTCH,  lgFRENCH, lgPOLISH,
                                    lgCZECH,   lgSLOVAK, lgDANISH, lgRUSSIAN};

// A page with two buttons and its component; events of the component as given.
std::string definition(const std::string& name, const Bytes& container,
                       const std::string& events = "", const std::string& extraControl = "") {
    return "object " + name + ": TLangPage\n  Caption = 'Page'\n  OnShow = PageShow\n" +
           "  object Button1: TButton\n    Caption = 'One'\n  end\n" +
           "  object Button2: TButton\n    Caption = 'Two'\n  end\n" + extraControl +
           "  object MltLang1: TMltLang\n    ActiveLang = 0\n    ActiveLangById = lgENGLISH\n" +
           "    MaxLang = 9\n" +
           (container.empty() ? std::string()
                              : "    Items.ObjectContainer = {" + hex(container) + "}\n") +
           "    DefDictionary = 'test.dct'\n    LangId = lgENGLISH\n" + events + "  end\nend\n";
}

class Component_ : public ::testing::Test {
protected:
    void SetUp() override {
        framework::registerStandardClasses();
        TLangPage::staticClassInfo();
        TMltLang::staticClassInfo();
        g_log.clear();
    }

    TLangPage& page(const std::string& name, const std::vector<StoredItem>& items,
                    const std::string& events = "", const std::vector<TLangid>& languages = kNine) {
        m_pages.emplace_back(new TLangPage);
        m_pages.back()->createFromDefinition(
            definition(name, containerOf(items, languages), events));
        return *m_pages.back();
    }

    // Pages created later start in the language chosen last; every test starts at 0.
    void TearDown() override {
        m_pages.clear();
        resetLastLanguage();
    }
    static void resetLastLanguage() {
        TLangPage probe;
        probe.createFromDefinition(definition("Probe", {}));
        probe.lang().SetActiveLang(0);
    }

    std::vector<FormPtr<TLangPage>> m_pages;
};

const std::vector<StoredItem> kItems = {
    {"Welcome", -1, {"Welcome", "Willkommen", "Welkom"}},
    {"Button1", 0, {"One", "Eins", ""}},
    {"Button2", 1, {"Two", "Zwei", "Twee"}},
};

TEST_F(Component_, BindsItemsByNameAndTheFormByItsIndex) {
    TLangPage& p = page("Welcome", kItems);
    TInfoList& items = p.lang().Items();
    ASSERT_EQ(items.Count(), 3);
    EXPECT_EQ(items.Item(0)->Component, &p);
    EXPECT_EQ(items.Item(1)->Component, p.findComponent("Button1"));
    EXPECT_EQ(p.lang().MaxLang(), 9);
    EXPECT_EQ(p.lang().LangId(), lgENGLISH);
}

TEST_F(Component_, ItemsOfControlsThatAreGoneAreDroppedUnlessTheyAreThePages) {
    TLangPage& p = page(
        "Other", {{"Vanished", 4, {"x"}}, {"Renamed", -1, {"Page text"}}, {"Button2", 1, {"Two"}}});
    TInfoList& items = p.lang().Items();
    ASSERT_EQ(items.Count(), 2);
    EXPECT_EQ(items.Item(0)->CompName, "Renamed");
    EXPECT_EQ(items.Item(0)->Component, &p);
    EXPECT_EQ(items.Item(1)->CompName, "Button2");
}

TEST_F(Component_, ShowingAPageWritesLanguage0BeforeThePagesOwnHandler) {
    TLangPage& p = page("Welcome", kItems);
    p.setCaption("changed");
    p.Show();
    EXPECT_EQ(g_log, (std::vector<std::string>{"PageShow Welcome"}));  // the handler saw language 0
    EXPECT_EQ(p.caption(), "shown");
    p.Hide();
    p.Show();
    EXPECT_EQ(g_log.back(), "PageShow Welcome");
}

TEST_F(Component_, SwitchingFrom1To2ShowsLanguage0WhereLanguage2HasNoText) {
    TLangPage& p = page("Welcome", kItems);
    p.lang().SetActiveLang(1);
    EXPECT_EQ(p.text("Button1"), "Eins");
    p.lang().SetActiveLang(2);
    EXPECT_EQ(p.text("Button1"), "One");
    EXPECT_EQ(p.text("Button2"), "Twee");
    EXPECT_EQ(p.caption(), "Welkom");
    EXPECT_EQ(p.lang().LangId(), lgDUTCH);
}

TEST_F(Component_, AnIndexOutsideTheLanguagesChangesNothingAndFiresNothing) {
    TLangPage& p = page("Welcome", kItems, "    OnLanguageChanged = Changed\n");
    g_log.clear();  // Loaded set the language chosen last, which fires the event too
    for (int index : {9, -1, 1000}) p.lang().SetActiveLang(index);
    EXPECT_TRUE(g_log.empty());
    EXPECT_EQ(p.lang().ActiveLang(), 0);
    p.lang().SetActiveLang(0);  // the active index: nothing applied, but the event fires
    EXPECT_EQ(g_log, (std::vector<std::string>{"Changed Welcome"}));
}

TEST_F(Component_, OnePageRefusingLeavesItAloneAndStopsChangesStartedOnIt) {
    TLangPage& a = page("A", {{"A", -1, {"A", "", "A2"}}}, "    OnBeforeChanging = Refuse\n");
    TLangPage& b = page("B", {{"B", -1, {"B", "", "B2"}}}, "    OnBeforeChanging = Refuse\n");
    TLangPage& c = page("C", {{"C", -1, {"C", "", "C2"}}});
    b.refuse = true;
    a.lang().SetActiveLang(2);
    EXPECT_EQ(a.caption(), "A2");
    EXPECT_EQ(b.lang().ActiveLang(), 0);
    EXPECT_EQ(c.caption(), "C2");
    c.lang().SetActiveLang(0);
    EXPECT_EQ(a.caption(), "A");
    b.lang().SetActiveLang(2);
    EXPECT_EQ(a.lang().ActiveLang(), 0);
    EXPECT_EQ(b.lang().ActiveLang(), 0);
    EXPECT_EQ(c.lang().ActiveLang(), 0);
}

TEST_F(Component_, ByIdentifierTheLastSlotHoldingItIsChosenOnEveryPageItsOwn) {
    const std::vector<TLangid> twice = {lgENGLISH, lgDUTCH, lgGERMAN, lgFRENCH, lgDUTCH};
    TLangPage& p = page("Twice", {{"Twice", -1, {"0", "1", "2", "3", "4"}}}, "", twice);
    TLangPage& q = page("Nine", {{"Nine", -1, {"0", "1", "2"}}});
    TLangPage& r = page("NoDutch", {{"NoDutch", -1, {"0", "1", "2"}}}, "",
                        {lgENGLISH, lgGERMAN, lgFRENCH, lgSPANISH});
    p.lang().SetActiveLangById(lgDUTCH);
    EXPECT_EQ(p.lang().ActiveLang(), 4);
    EXPECT_EQ(q.lang().ActiveLang(), 2);
    EXPECT_EQ(r.lang().ActiveLang(), 0);
    EXPECT_EQ(p.caption(), "4");
}

TEST_F(Component_, PagesCreatedLaterStartInTheLanguageChosenLast) {
    TLangPage& first = page("First", {{"First", -1, {"First", "", "Eerste"}}});
    first.lang().SetActiveLang(2);
    TLangPage& later = page("Later", {{"Later", -1, {"Later", "", "Later2"}}});
    EXPECT_EQ(later.lang().ActiveLang(), 2);
    later.Show();
    EXPECT_EQ(g_log.back(), "PageShow Later2");

    first.lang().SetActiveLangById(lgFRENCH);
    TLangPage& byId = page("ById", {{"ById", -1, {"0", "1"}}}, "", {lgGERMAN, lgFRENCH});
    EXPECT_EQ(byId.lang().ActiveLang(), 1);
    EXPECT_TRUE(TMltLang::LastSetById());
}

TEST_F(Component_, MaxLangExtendsFromTheDefaultOrderAndDropsTextsBeyond) {
    TLangPage& p = page("Welcome", kItems);
    TMltLang& lang = p.lang();
    lang.SetMaxLang(1);
    lang.SetMaxLang(44);
    EXPECT_EQ(lang.MaxLang(), 9);
    lang.SetMaxLang(3);
    EXPECT_EQ(lang.MaxLang(), 3);
    EXPECT_EQ(dynamic_cast<TCIStr&>(*lang.Items().Item(0)).Texts.size(), 3u);
    lang.SetMaxLang(5);
    EXPECT_EQ(lang.Items().Languages.GetId(3), lgSPANISH);  // DefaultLangOrder[3]
    lang.SetActiveLang(4);
    lang.SetMaxLang(4);
    EXPECT_EQ(lang.MaxLang(), 5);
}

TEST_F(Component_, LangIdRelabelsTheActiveSlot) {
    TLangPage& p = page("Welcome", kItems);
    p.lang().SetActiveLang(1);
    p.lang().SetLangId(lgITALIAN);
    EXPECT_EQ(p.lang().Items().Languages.GetId(1), lgITALIAN);
    EXPECT_EQ(p.lang().ActiveLang(), 1);
}

// The active index left beyond a shorter language list (assigned items with two
// languages): both identifier properties read lgNEUTRAL, and relabelling is the list's
// index error.
TEST_F(Component_, BeyondTheLanguagesTheIdentifierIsNeutralAndRelabellingFails) {
    TLangPage& p = page("Welcome", kItems);
    p.lang().SetActiveLang(8);
    TInfoList two;
    for (TLangid id : {lgENGLISH, lgGERMAN}) {
        auto slot = std::make_unique<TLngId>();
        slot->Id = id;
        two.Languages.AddNew(std::move(slot));
    }
    p.lang().SetItems(two);
    ASSERT_EQ(p.lang().ActiveLang(), 8);
    EXPECT_EQ(p.lang().GetLangId(), lgNEUTRAL);
    EXPECT_EQ(p.lang().ActiveLangById(), lgNEUTRAL);
    EXPECT_EQ(p.lang().LangId(), lgNEUTRAL);
    EXPECT_THROW(p.lang().SetLangId(lgDUTCH), mltlang::EListError);
    EXPECT_EQ(p.lang().Items().Languages.Count(), 2);
}

TEST_F(Component_, AnUnknownLanguageNameInADefinitionIsAReadError) {
    std::string text = definition("Bad", {});
    text.replace(text.find("LangId = lgENGLISH"), 18, "LangId = lgKLINGON");
    TLangPage bad;
    EXPECT_THROW(bad.createFromDefinition(text), framework::EPropertyError);
}

TEST_F(Component_, AtRunTimeAnItemOfAFreedControlIsUnboundNotWrittenInto) {
    TLangPage& p = page("Welcome", kItems);
    delete p.findComponent("Button2");
    EXPECT_EQ(p.lang().Items().Count(), 3);
    EXPECT_EQ(p.lang().Items().Item(2)->Component, nullptr);
    p.lang().SetActiveLang(1);  // must not touch the freed button
    EXPECT_EQ(p.text("Button1"), "Eins");
}

// Designing

class Designing : public Component_ {
protected:
    struct Host : DesignHost {
        std::string folder;
        std::vector<std::string> notices;
        std::string ExeDir() override { return folder; }
        void ShowInformation(const std::string& text) override { notices.push_back(text); }
    };

    void SetUp() override {
        Component_::SetUp();
        host.folder = testing_support::testFolder("mltlang").string() + "/";
        previous = setDesignHost(&host);
    }
    void TearDown() override {
        Component_::TearDown();
        setDesignHost(previous);
    }

    TLangPage& designedPage(const std::vector<StoredItem>& items) {
        m_pages.emplace_back(new TLangPage);
        m_pages.back()->setDesigning(true);
        m_pages.back()->createFromDefinition(definition("Designed", containerOf(items, kNine)));
        return *m_pages.back();
    }

    Host host;
    DesignHost* previous = nullptr;
};

TEST_F(Designing, EditsAreCapturedIntoTheLanguageStillActive) {
    TLangPage& p = designedPage(kItems);
    TMltLang& lang = p.lang();
    lang.SetActiveLang(1);
    p.findComponent("Button2")->setProperty("Caption", std::string("Zwo"));
    lang.SetActiveLang(2);
    auto& item = dynamic_cast<TCIStr&>(*lang.Items().Item(2));
    EXPECT_EQ(item.GetValue(1), "Zwo");
    EXPECT_EQ(p.text("Button2"), "Twee");
    p.findComponent("Button1")->setProperty("Caption", std::string("One"));  // same as language 0
    EXPECT_EQ(dynamic_cast<TCIStr&>(*lang.GetItems().Item(1)).GetValue(2), "");
}

TEST_F(Designing, RemovingAControlDropsItsItems) {
    TLangPage& p = designedPage(kItems);
    delete p.findComponent("Button1");
    ASSERT_EQ(p.lang().Items().Count(), 2);
    EXPECT_EQ(p.lang().Items().Item(1)->CompName, "Button2");
}

TEST_F(Designing, ApplyingLanguage0WritesEmptyTextsToo) {
    TLangPage& p = designedPage({{"Button1", 0, {"", "Eins"}}});
    EXPECT_EQ(p.text("Button1"), "");
}

TEST_F(Designing, AMissingConfigurationIsCreatedWithItsNoticeAndWrittenBackAtTheEnd) {
    const std::string file = host.folder + "mltlang.cfg";
    {
        TLangPage& p = designedPage({});
        EXPECT_EQ(host.notices,
                  (std::vector<std::string>{"New configuration file created in:\n" + file}));
        EXPECT_EQ(p.lang().DefDictionary(), "test.dct");  // the stored value replaces the default
        ASSERT_NE(TMltLang::Configuration(), nullptr);
        m_pages.clear();
    }
    EXPECT_EQ(TMltLang::Configuration(), nullptr);
    TConfiguration written("/", file);
    EXPECT_EQ(written.DefaultDictionary, host.folder + "default.dct");
}

TEST_F(Designing, AConfigurationThatCannotBeWrittenIsReported) {
    host.folder += "missing/";
    designedPage({});
    EXPECT_EQ(host.notices, (std::vector<std::string>{"Error writing new configuration file in:\n" +
                                                      host.folder + "mltlang.cfg"}));
}

}  // namespace
