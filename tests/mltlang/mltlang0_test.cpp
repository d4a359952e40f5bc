// Language identifiers, the default order and the language list.

#include <gtest/gtest.h>

#include <set>

#include "mltlang/mltlang0.h"
#include "stream_bytes.h"

namespace {

using namespace mltlang;
using mltlang_test::ByteBuilder;
using mltlang_test::Bytes;

TEST(Langid, NamesFollowTheOrdinals) {
    EXPECT_EQ(LangidName(lgNEUTRAL), "lgNEUTRAL");
    EXPECT_EQ(LangidName(lgENGLISH), "lgENGLISH");
    EXPECT_EQ(LangidName(lgSLOVAK), "lgSLOVAK");
    EXPECT_EQ(LangidName(lgSPANISH_MODERN), "lgSPANISH_MODERN");
    EXPECT_EQ(static_cast<int>(lgENGLISH), 7);
    EXPECT_EQ(static_cast<int>(lgDUTCH_BELGIAN), 27);
    for (int i = 0; i < kLangidCount; ++i) {
        EXPECT_EQ(LangidFromName(LangidNames[static_cast<std::size_t>(i)]),
                  static_cast<TLangid>(i));
    }
    EXPECT_FALSE(LangidFromName("lgKLINGON").has_value());
    EXPECT_FALSE(LangidFromName("LGENGLISH").has_value());
    EXPECT_FALSE(LangidFromName("").has_value());
}

TEST(Langid, DefaultOrderHoldsEveryOrdinalOnceEndingWithNeutral) {
    const std::vector<int> head = {7,  10, 9,  24, 19, 14, 15, 2,  16, 6, 25, 5, 8,
                                   17, 13, 11, 26, 21, 18, 4,  22, 12, 1, 20, 3, 23};
    for (std::size_t i = 0; i < head.size(); ++i) EXPECT_EQ(DefaultLangOrder[i], head[i]) << i;
    for (int i = 26; i < 42; ++i) EXPECT_EQ(DefaultLangOrder[static_cast<std::size_t>(i)], i + 1);
    EXPECT_EQ(DefaultLangOrder[42], lgNEUTRAL);
    EXPECT_EQ(std::set<TLangid>(DefaultLangOrder.begin(), DefaultLangOrder.end()).size(), 43u);
}

TEST(LngId, IsAZeroExtendedWordAndOnlyTheLowByteIsRead) {
    TLngId id;
    EXPECT_EQ(id.Id, lgNEUTRAL);
    id.Id = lgSPANISH_MODERN;
    EXPECT_EQ(mltlang_test::written([&](TStream& s) { id.SaveToStream(s); }),
              Bytes({0x2A, 0, 0, 0}));
    TMemoryStream stream(Bytes{0x07, 0x01, 0x00, 0x00});
    id.LoadFromStream(stream);
    EXPECT_EQ(id.Id, lgENGLISH);
}

TEST(LngId, AnIdentifierBeyondTheEnumerationIsARefusedRead) {
    TLngId id;
    TMemoryStream stream(Bytes{43, 0, 0, 0});
    EXPECT_THROW(id.LoadFromStream(stream), EReadError);
    TMemoryStream truncated(Bytes{7, 0});
    EXPECT_THROW(id.LoadFromStream(truncated), EReadError);
}

TEST(LngLst, AddIdFindsTheFirstOrAppends) {
    TLngLst list;
    EXPECT_EQ(list.AddId(lgGERMAN), 0);
    for (TLangid id : {lgFRENCH, lgDUTCH, lgENGLISH}) list.AddId(id);
    EXPECT_EQ(list.AddId(lgENGLISH), 3);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.GetId(1), lgFRENCH);
    EXPECT_THROW(list.GetId(4), EListError);
    EXPECT_THROW(list.GetId(-1), EListError);
}

TEST(LngLst, DefaultListHas43EntriesInTableOrder) {
    TLngLst list;
    TLngLst::FillDefault(list);
    ASSERT_EQ(list.Count(), 43);
    for (int i = 0; i < 43; ++i)
        EXPECT_EQ(list.GetId(i), DefaultLangOrder[static_cast<std::size_t>(i)]);
}

Bytes nineLanguageBody(std::initializer_list<int> ids) {
    ByteBuilder body;
    body.hex("01").hex("09 00");
    for (int id : ids) body.className("TLngId").word(id);
    return body;
}

TEST(LngLst, TheCommonNineLanguageListIsStoredAsDesigned) {
    TLngLst list;
    for (TLangid id : {lgENGLISH, lgGERMAN, lgDUTCH, lgFRENCH, lgPOLISH, lgCZECH, lgSLOVAK,
                       lgDANISH, lgRUSSIAN}) {
        list.AddId(id);
    }
    const Bytes bytes = mltlang_test::written([&](TStream& s) { list.WriteData(s); });
    EXPECT_EQ(bytes, nineLanguageBody({0x07, 0x0A, 0x06, 0x09, 0x12, 0x04, 0x16, 0x05, 0x15}));
    EXPECT_EQ(bytes.size(), 102u);

    TLngLst back;
    TMemoryStream stream(bytes);
    back.ReadData(stream);
    ASSERT_EQ(back.Count(), 9);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(back.GetId(i), list.GetId(i));
}

TEST(LngLst, ThroughTheRegistryItIsItsClassNameAndItsBody) {
    TLngLst list;
    list.AddId(lgDUTCH);
    const Bytes bytes = mltlang_test::written([&](TStream& s) { WriteObject(&list, s); });
    EXPECT_EQ(
        bytes,
        Bytes(ByteBuilder().className("TLngLst").hex("01 01 00").className("TLngId").word(6)));
    TMemoryStream stream(bytes);
    auto read = ReadObject(stream);
    ASSERT_NE(dynamic_cast<TLngLst*>(read.get()), nullptr);
    EXPECT_EQ(static_cast<TLngLst&>(*read).GetId(0), lgDUTCH);
}

TEST(LngLst, HoldsOnlyLanguageIdentifiers) {
    TLngLst list;
    TMemoryStream stream(
        ByteBuilder().hex("01 01 00").className("TDictionaryItem").word(100).word(0).build());
    EXPECT_THROW(list.ReadData(stream), EListError);
    EXPECT_EQ(list.Count(), 0);
}

}  // namespace
