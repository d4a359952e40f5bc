// The dictionary's stream.

#include <gtest/gtest.h>

#include "mltlang/dictionary.h"
#include "stream_bytes.h"

namespace {

using namespace mltlang;
using mltlang_test::ByteBuilder;
using mltlang_test::Bytes;

Bytes threeLanguages() {
    return ByteBuilder()
        .hex("01 03 00")
        .className("TLngId")
        .word(7)
        .className("TLngId")
        .word(10)
        .className("TLngId")
        .word(6);
}

TEST(Dictionary, WithoutEntriesAndThreeLanguages) {
    TDictionary dictionary;
    for (TLangid id : {lgENGLISH, lgGERMAN, lgDUTCH}) dictionary.Languages.AddId(id);
    const Bytes bytes = mltlang_test::written([&](TStream& s) { dictionary.WriteData(s); });
    EXPECT_EQ(bytes, Bytes(ByteBuilder().hex("01 00 00").bytes(threeLanguages())));
}

TEST(Dictionary, ANewDictionaryWritesAnEmptyLanguageBody) {
    TDictionary dictionary;
    EXPECT_EQ(mltlang_test::written([&](TStream& s) { WriteObject(&dictionary, s); }),
              Bytes(ByteBuilder().className("TDictionary").hex("01 00 00 01 00 00")));
}

Bytes oneEntryBody() {
    return ByteBuilder()
        .hex("01 01 00")
        .className("TDictionaryItem")
        .word(100)
        .word(2)
        .counted("Cancel")
        .counted("Afbreken")
        .bytes(threeLanguages());
}

TEST(Dictionary, ReadingTwiceAppendsEntriesAndLanguages) {
    TDictionary dictionary;
    for (int round = 0; round < 2; ++round) {
        TMemoryStream stream(oneEntryBody());
        dictionary.ReadData(stream);
    }
    ASSERT_EQ(dictionary.Count(), 2);
    ASSERT_EQ(dictionary.Languages.Count(), 6);
    EXPECT_EQ(dictionary.Languages.GetId(3), lgENGLISH);
    auto& entry = dynamic_cast<TDictionaryItem&>(*dictionary.Get(1));
    EXPECT_EQ(entry.Texts, (std::vector<std::string>{"Cancel", "Afbreken"}));
}

TEST(Dictionary, RoundTripsThroughTheRegistry) {
    TDictionary dictionary;
    TMemoryStream stream(oneEntryBody());
    dictionary.ReadData(stream);
    auto clone = CloneObject(&dictionary);
    const Bytes bytes =
        mltlang_test::written([&](TStream& s) { dynamic_cast<TDictionary&>(*clone).WriteData(s); });
    EXPECT_EQ(bytes, oneEntryBody());
}

TEST(Dictionary, EntriesOfAnotherVersionOrClassAreRefused) {
    Bytes wrongVersion = oneEntryBody();
    wrongVersion[3 + 16] = 99;  // after owns, count and the class name
    TDictionary first;
    TMemoryStream a(wrongVersion);
    EXPECT_THROW(first.ReadData(a), EMLangInvalid);
    TDictionary second;
    TMemoryStream b(ByteBuilder().hex("01 01 00").className("TLngId").word(7).build());
    EXPECT_THROW(second.ReadData(b), EListError);
}

}  // namespace
