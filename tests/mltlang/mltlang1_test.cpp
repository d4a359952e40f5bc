// Counted strings, translation items and the translation container.

#include <gtest/gtest.h>

#include "fake_targets.h"
#include "mltlang/mltlang1.h"
#include "stream_bytes.h"
#include "welcome_container.h"

namespace {

using namespace mltlang;
using mltlang_test::ByteBuilder;
using mltlang_test::Bytes;
using mltlang_test::cancelItemBytes;
using mltlang_test::FakeRow;
using mltlang_test::FakeTargets;
using mltlang_test::welcomeContainerBytes;

std::string errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no error)";
}

// Counted strings

TEST(CountedString, EmptyIsOneWordAndTextCarriesItsNul) {
    EXPECT_EQ(mltlang_test::written([](TStream& s) { WriteCountedString(s, ""); }),
              Bytes({1, 0, 0, 0}));
    EXPECT_EQ(mltlang_test::written([](TStream& s) { WriteCountedString(s, "Cancel"); }),
              Bytes(ByteBuilder().hex("07 00 00 00").text("Cancel").hex("00")));
}

struct CountedCase {
    const char* name;
    Bytes bytes;
    std::string text;
    std::uint64_t consumed;
};

void PrintTo(const CountedCase& value, std::ostream* out) { *out << value.name; }

class CountedStringRead : public ::testing::TestWithParam<CountedCase> {};

TEST_P(CountedStringRead, ReadsAsDesigned) {
    TMemoryStream stream(GetParam().bytes);
    EXPECT_EQ(ReadCountedString(stream), GetParam().text);
    EXPECT_EQ(stream.Position(), GetParam().consumed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CountedStringRead,
    ::testing::Values(CountedCase{"LengthZero", ByteBuilder().word(0).text("xyz"), "", 4},
                      CountedCase{"LengthOne", ByteBuilder().word(1).text("xyz"), "", 4},
                      CountedCase{"Negative", ByteBuilder().word(-5).text("xyz"), "", 4},
                      CountedCase{"NulInTheMiddle",
                                  ByteBuilder().word(6).text("ab").hex("00").text("cd").hex("00"),
                                  "ab", 10},
                      CountedCase{"NoNulAtAll", ByteBuilder().word(3).text("abc"), "abc", 7},
                      CountedCase{"Plain", ByteBuilder().counted("Afbreken"), "Afbreken", 13}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CountedString, ALengthBeyondTheStreamIsARefusedReadNotAnAllocation) {
    for (std::int32_t length : {5, 1000, 0x7FFFFFFF}) {
        TMemoryStream stream(ByteBuilder().word(length).text("abc").build());
        EXPECT_THROW(ReadCountedString(stream), EReadError) << length;
    }
    TMemoryStream shortWord(Bytes{7, 0});
    EXPECT_THROW(ReadCountedString(shortWord), EReadError);
}

// Items

TCIStr cancelItem() {
    TCIStr item;
    item.PropName = "Caption";
    item.CompName = "Button2";
    item.CompIndex = 1;
    item.Texts = {"Cancel", "", "Afbreken", "", "", "", "", "", ""};
    return item;
}

TEST(TCIStr, AppliesALanguageOnlyWhereItHasAText) {
    FakeTargets targets;
    framework::Component& button = targets.add("Button2");
    targets.text(button, "Caption") = "Cancel";
    TCIStr item = cancelItem();
    item.Component = &button;
    item.ApplyToComponent(1, false);
    EXPECT_EQ(targets.text(button, "Caption"), "Cancel");
    item.ApplyToComponent(2, false);
    EXPECT_EQ(targets.text(button, "Caption"), "Afbreken");
    item.Texts[0].clear();
    item.ApplyToComponent(0, false);
    EXPECT_EQ(targets.text(button, "Caption"), "Afbreken");
    item.ApplyToComponent(0, true);  // the designer shows an empty base text as it is
    EXPECT_EQ(targets.text(button, "Caption"), "");
}

TEST(TCIStr, AnUnknownPropertyChangesNothingAndRaisesNothing) {
    FakeTargets targets;
    framework::Component& button = targets.add("Button2");
    TCIStr item = cancelItem();
    item.Component = &button;
    item.PropName = "NoSuchProperty";
    EXPECT_NO_THROW(item.ApplyToComponent(2, false));
    EXPECT_NO_THROW(item.ApplyToComponent(0, true));
    EXPECT_EQ(targets.stringWrites, 0);
}

TEST(TCIStr, SetValueStoresTextsEqualToTheBaseAsEmpty) {
    TCIStr item = cancelItem();
    item.Texts.resize(3);
    item.SetValue("Cancel", 3);
    ASSERT_EQ(item.Texts.size(), 4u);
    EXPECT_EQ(item.Texts[3], "");
    item.SetValue("Annuler", 3);
    EXPECT_EQ(item.GetValue(3), "Annuler");
    item.SetValue("Abbrechen", 0);
    EXPECT_EQ(item.GetValue(0), "Abbrechen");
    EXPECT_EQ(item.GetValue(12), "");
    EXPECT_EQ(item.GetStringList(2, 99), "Afbreken");
    EXPECT_THROW(item.SetValue("x", -1), EMLangInvalid);
    EXPECT_THROW(item.SetValue("x", 43), EMLangInvalid);
}

TEST(TCIStr, SetLengthDropsTheTextsBeyond) {
    TCIStr item = cancelItem();
    item.SetLength(2);
    EXPECT_EQ(item.Texts, (std::vector<std::string>{"Cancel", ""}));
    item.SetLength(5);
    EXPECT_EQ(item.Texts.size(), 2u);
}

TEST(TCIStr, ReadFromComponentCapturesIntoTheLanguage) {
    FakeTargets targets;
    framework::Component& button = targets.add("Button2");
    TCIStr item = cancelItem();
    item.Component = &button;
    targets.text(button, "Caption") = "Annuleren";
    item.ReadFromComponent(2);
    EXPECT_EQ(item.GetValue(2), "Annuleren");
    targets.text(button, "Caption") = "Cancel";
    item.ReadFromComponent(2);
    EXPECT_EQ(item.GetValue(2), "");
}

TEST(TCI, UnsupportedOperationsNameThemselves) {
    TCIStrList list;
    EXPECT_EQ(errorOf([&] { list.GetValue(0); }), "GetValue not available for Stringlist !");
    EXPECT_EQ(errorOf([&] { list.SetValue("x", 0); }), "SetValue not available for Stringlist !");
    EXPECT_THROW(list.GetValue(0), EMLangInvalid);
    struct Bare : TCI {
        std::string_view ClassName() const override { return "TCI"; }
        void ApplyToComponent(int, bool) override {}
        void ReadFromComponent(int) override {}
    } bare;
    EXPECT_EQ(errorOf([&] { bare.SetLength(1); }), "SetLength not available for TCI !");
    EXPECT_EQ(errorOf([&] { bare.GetStringList(0, 0); }), "GetStringList not available for Info !");
    EXPECT_EQ(errorOf([&] { bare.SetStringList("x", 0, 0); }),
              "SetStringList not available for Info !");
}

TEST(TCIStrList, SetStringListFillsComparesWithTheBaseAndGrowsEntryCount) {
    TCIStrList item;
    item.SetStringList("Dutch", 0, 0);
    item.SetStringList("English", 0, 1);
    item.SetStringList("Nederlands", 2, 0);
    item.SetStringList("English", 2, 1);
    ASSERT_EQ(item.Lists.size(), 3u);
    EXPECT_EQ(item.Lists[2], (std::vector<std::string>{"Nederlands", ""}));
    EXPECT_TRUE(item.Lists[1].empty());
    EXPECT_EQ(item.EntryCount, 2);
    EXPECT_THROW(item.SetStringList("x", 1, 5), EStringListError);  // language 0 has no line 5
    item.SetLength(1);
    EXPECT_EQ(item.Lists.size(), 1u);
    EXPECT_EQ(item.EntryCount, 2);
}

TEST(TCIStrList, ApplyingPutsRowsInPlaceAndKeepsTheirMarks) {
    FakeTargets targets;
    framework::Component& box = targets.add("CheckListBox1");
    auto& rows = targets.lists[{&box, "Items"}];
    rows = {{"Dutch", true}, {"English", false}, {"German", true}};
    TCIStrList item;
    item.Component = &box;
    item.PropName = "Items";
    item.Lists = {{"Dutch", "English", "German"}, {}, {"Nederlands", "", "Duits"}};
    item.EntryCount = 3;
    item.ApplyToComponent(2, false);
    EXPECT_EQ(rows[0].text, "Nederlands");
    EXPECT_EQ(rows[1].text, "English");
    EXPECT_EQ(rows[2].text, "Duits");
    EXPECT_TRUE(rows[0].checked);
    EXPECT_FALSE(rows[1].checked);
    EXPECT_TRUE(rows[2].checked);
    item.ApplyToComponent(0, false);
    EXPECT_EQ(rows[0].text, "Dutch");
    EXPECT_EQ(rows.size(), 3u);
}

TEST(TCIStrList, AStoredEntryCountBeyondTheTargetOnlyFailsWhereATextWouldBeWritten) {
    FakeTargets targets;
    framework::Component& box = targets.add("ListBox1");
    targets.lists[{&box, "Items"}] = {{"a"}, {"b"}};
    TCIStrList item;
    item.Component = &box;
    item.PropName = "Items";
    item.Lists = {{"A", "B"}};
    item.EntryCount = 0x7FFFFFFF;  // as a hostile container may store it
    EXPECT_NO_THROW(item.ApplyToComponent(0, false));
    EXPECT_NO_THROW(item.ApplyToComponent(5, false));
    EXPECT_THROW(item.ApplyToComponent(0, true), std::out_of_range);  // the row beyond, designing
}

TEST(TCIStrList, DescendantsTranslateTheirControlsCollections) {
    FakeTargets targets;
    framework::Component& bar = targets.add("StatusBar1");
    framework::Component& header = targets.add("HeaderControl1");
    framework::Component& view = targets.add("ListView1");
    targets.rows(bar, TextCollection::StatusPanels) = {{"Ready"}};
    targets.rows(header, TextCollection::HeaderSections) = {{"Name"}};
    targets.rows(view, TextCollection::ListColumns) = {{"Size"}};
    TCIStPanels panels;
    TCIHdCtrl sections;
    TCIListClmns columns;
    std::vector<std::pair<TCIStrList*, framework::Component*>> cases = {
        {&panels, &bar}, {&sections, &header}, {&columns, &view}};
    for (auto [item, component] : cases) {
        item->Component = component;
        item->ReadFromComponent(0);
        item->SetStringList("Vertaald", 2, 0);
        item->ApplyToComponent(2, false);
        item->Component = &bar == component ? &view : &bar;  // another kind: nothing happens
        EXPECT_NO_THROW(item->ApplyToComponent(0, true));
    }
    EXPECT_EQ(targets.rows(bar, TextCollection::StatusPanels)[0].text, "Vertaald");
    EXPECT_EQ(targets.rows(header, TextCollection::HeaderSections)[0].text, "Vertaald");
    EXPECT_EQ(targets.rows(view, TextCollection::ListColumns)[0].text, "Vertaald");
}

// The stream of items

TEST(TCIStr, IsStoredAsTheWorkedExample) {
    const TCIStr item = cancelItem();
    const Bytes bytes = mltlang_test::written([&](TStream& s) { WriteObject(&item, s); });
    EXPECT_EQ(bytes, cancelItemBytes(0));
    EXPECT_EQ(bytes.size(), 107u);
}

TEST(TCIStr, AStaleHandleBindsNothing) {
    TMemoryStream stream(cancelItemBytes(0x0232F044));
    auto read = ReadObject(stream);
    auto& item = dynamic_cast<TCIStr&>(*read);
    EXPECT_EQ(item.Component, nullptr);
    EXPECT_EQ(item.CompName, "Button2");
    EXPECT_EQ(item.GetValue(2), "Afbreken");
}

struct VersionCase {
    const char* name;
    std::size_t offset;  // of the version word to spoil
};

void PrintTo(const VersionCase& value, std::ostream* out) { *out << value.name; }

class ItemVersion : public ::testing::TestWithParam<VersionCase> {};

TEST_P(ItemVersion, OtherThan100IsNotSupported) {
    Bytes bytes = cancelItemBytes(0);
    bytes[GetParam().offset] = 101;
    TMemoryStream stream(bytes);
    EXPECT_EQ(errorOf([&] { ReadObject(stream); }), "Version not supported !");
}

INSTANTIATE_TEST_SUITE_P(Cases, ItemVersion,
                         ::testing::Values(VersionCase{"Header", 7}, VersionCase{"Payload", 47}),
                         [](const auto& info) { return std::string(info.param.name); });

template <class Item>
void expectRoundTrip(Item& item) {
    item.PropName = "Items";
    item.CompName = "Control1";
    item.CompIndex = -1;
    item.SetStringList("one", 0, 0);
    item.SetStringList("two", 0, 1);
    item.SetStringList("een", 2, 0);
    const Bytes bytes = mltlang_test::written([&](TStream& s) { WriteObject(&item, s); });
    TMemoryStream stream(bytes);
    auto read = ReadObject(stream);
    auto& back = dynamic_cast<Item&>(*read);
    EXPECT_EQ(back.PropName, "Items");
    EXPECT_EQ(back.CompName, "Control1");
    EXPECT_EQ(back.CompIndex, -1);
    EXPECT_EQ(back.EntryCount, item.EntryCount);
    EXPECT_EQ(back.GetStringList(0, 1), "two");
    EXPECT_EQ(back.GetStringList(2, 0), "een");
    EXPECT_EQ(mltlang_test::written([&](TStream& s) { WriteObject(&back, s); }), bytes);
}

TEST(Items, EveryClassRoundTrips) {
    TCIStr str;
    TCIStrList list;
    TCIStPanels panels;
    TCIHdCtrl sections;
    TCIListClmns columns;
    expectRoundTrip(str);
    expectRoundTrip(list);
    expectRoundTrip(panels);
    expectRoundTrip(sections);
    expectRoundTrip(columns);
}

TEST(TCIStrList, PayloadIsLanguagesThenEachLanguagesLines) {
    TCIStrList item;
    item.Lists = {{"a", "b"}, {}};
    item.EntryCount = 2;
    const Bytes bytes = mltlang_test::written([&](TStream& s) { item.SaveToStream(s); });
    const Bytes expected = ByteBuilder()
                               .word(100)
                               .word(0)
                               .counted("")
                               .counted("")
                               .word(0)
                               .word(2)
                               .word(100)
                               .word(2)
                               .word(2)
                               .counted("a")
                               .counted("b")
                               .word(0);
    EXPECT_EQ(bytes, expected);
}

// The translation container

std::unique_ptr<TInfoList> welcomeContainer() {
    auto owner = std::make_unique<TInfoList>();
    TInfoList& list = *owner;
    auto caption = std::make_unique<TCIStr>();
    caption->PropName = "Caption";
    caption->CompName = "isForm1";
    caption->CompIndex = -1;
    caption->Texts = {"Welcome to the Quindor installation program",
                      "",
                      "Welkom bij de Marlo installatie...",
                      "",
                      "",
                      "",
                      "",
                      "",
                      ""};
    list.AddNew(std::move(caption));
    list.AddNew(std::make_unique<TCIStr>(cancelItem()));
    for (TLangid id : {lgENGLISH, lgGERMAN, lgDUTCH, lgFRENCH, lgPOLISH, lgCZECH, lgSLOVAK,
                       lgDANISH, lgRUSSIAN}) {
        list.Languages.AddId(id);
    }
    return owner;
}

TEST(InfoList, TheWelcomeContainerIs382BytesAsDesigned) {
    const Bytes bytes = welcomeContainer()->ObjectContainer();
    EXPECT_EQ(bytes, welcomeContainerBytes());
    ASSERT_EQ(bytes.size(), 382u);
    EXPECT_EQ(Bytes(bytes.end() - 102, bytes.end())[0], 0x01);  // languages body: 102 bytes
    EXPECT_EQ(Bytes(bytes.begin() + 280, bytes.begin() + 283), Bytes({0x01, 0x09, 0x00}));
}

TEST(InfoList, ReadingAppendsItemsAndReplacesLanguages) {
    auto owner = welcomeContainer();
    TInfoList& list = *owner;
    list.Languages.FreeAll();
    list.Languages.AddId(lgKOREAN);
    list.SetObjectContainer(welcomeContainerBytes());
    EXPECT_EQ(list.Count(), 4);
    ASSERT_EQ(list.Languages.Count(), 9);
    EXPECT_EQ(list.Languages.GetId(0), lgENGLISH);
    EXPECT_EQ(list.Item(3)->CompName, "Button2");
}

TEST(InfoList, HoldsOnlyItems) {
    TInfoList list;
    TMemoryStream stream(
        ByteBuilder().hex("01 01 00").className("TLngId").word(7).hex("01 00 00").build());
    EXPECT_THROW(list.ReadData(stream), EListError);
}

TEST(InfoList, AssignClonesItemsAndLanguagesKeepingTheComponents) {
    FakeTargets targets;
    framework::Component& button = targets.add("Button2");
    auto owner = welcomeContainer();
    TInfoList& source = *owner;
    source.Item(1)->Component = &button;
    TInfoList copy;
    copy.Languages.AddId(lgKOREAN);
    copy.AddNew(std::make_unique<TCIStr>());
    copy.Assign(source);
    ASSERT_EQ(copy.Count(), 2);
    EXPECT_NE(copy.Item(1), source.Item(1));
    EXPECT_EQ(copy.Item(1)->Component, &button);
    EXPECT_EQ(copy.Item(0)->Component, nullptr);
    EXPECT_EQ(copy.ObjectContainer(), source.ObjectContainer());
    copy.Assign(copy);
    EXPECT_EQ(copy.Count(), 2);
}

TEST(InfoList, ALanguageListReadWithoutOwningIsStillReleased) {
    // Run under the leak checker: the languages read while the list did not own them are
    // freed when the next container replaces them and when the list goes.
    TInfoList list;
    Bytes bytes = welcomeContainerBytes();
    bytes[280] = 0;  // the languages' owns byte
    list.SetObjectContainer(bytes);
    EXPECT_EQ(list.Languages.OwnsObjects, 0);
    EXPECT_EQ(list.ObjectContainer()[280], 0);  // written back as read
    list.FreeAll();
    list.SetObjectContainer(bytes);
    EXPECT_EQ(list.Languages.Count(), 9);
}

TEST(InfoList, RoundTripsThroughTheRegistry) {
    auto list = welcomeContainer();
    auto clone = CloneObject(list.get());
    auto& back = dynamic_cast<TInfoList&>(*clone);
    EXPECT_EQ(back.ObjectContainer(), list->ObjectContainer());
}

}  // namespace
