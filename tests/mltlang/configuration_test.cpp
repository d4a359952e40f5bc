// mltlang.cfg: the defaults, the file format and the partial-read rule.

#include <gtest/gtest.h>

#include <fstream>

#include "fuzz_corpus.h"
#include "mltlang/configuration.h"
#include "stream_bytes.h"
#include "test_environment.h"

namespace {

using namespace mltlang;
using mltlang_test::ByteBuilder;
using mltlang_test::Bytes;

const std::string kExeDir = "/opt/marlo/";

Bytes defaultLanguageBody() {
    ByteBuilder b;
    b.hex("01 2B 00");
    for (TLangid id : DefaultLangOrder) b.className("TLngId").word(id);
    return b;
}

Bytes defaultConfigurationBytes() {
    return ByteBuilder()
        .word(100)
        .bytes(defaultLanguageBody())
        .hex("02 00 00 00")
        .hex("00 00 00 00")
        .counted("/opt/marlo/default.dct");
}

TEST(Configuration, TheDefaultFileIsLaidOutAsDesigned) {
    const TConfiguration configuration(kExeDir);
    const Bytes bytes = mltlang_test::written([&](TStream& s) { configuration.SaveToStream(s); });
    EXPECT_EQ(defaultLanguageBody().size(), 476u);
    EXPECT_EQ(bytes, defaultConfigurationBytes());
    EXPECT_EQ(bytes.size(), 4u + 476 + 4 + 4 + 4 + 22 + 1);
}

TEST(Configuration, SavesAndLoadsAFile) {
    const auto folder = testing_support::testFolder("mltlang");
    const std::string file = (folder / TConfiguration::kFileName).string();
    TConfiguration written(kExeDir);
    written.Languages->FreeAll();
    written.Languages->AddId(lgDUTCH);
    written.DefaultMaxLang = 9;
    written.Reserved = -3;
    written.DefaultDictionary = "setup.dct";
    written.SaveToFile(file);

    const TConfiguration read("/elsewhere/", file);
    ASSERT_EQ(read.Languages->Count(), 1);
    EXPECT_EQ(read.Languages->GetId(0), lgDUTCH);
    EXPECT_EQ(read.DefaultMaxLang, 9);
    EXPECT_EQ(read.Reserved, -3);
    EXPECT_EQ(read.DefaultDictionary, "setup.dct");
}

TEST(Configuration, AFileThatCannotBeOpenedOrCreatedRaises) {
    const auto folder = testing_support::testFolder("mltlang");
    EXPECT_THROW(TConfiguration(kExeDir, (folder / "missing.cfg").string()), EFOpenError);
    const TConfiguration configuration(kExeDir);
    EXPECT_THROW(configuration.SaveToFile((folder / "no" / "such" / "mltlang.cfg").string()),
                 EFOpenError);
}

struct PartialCase {
    const char* name;
    Bytes bytes;
    std::int32_t maxLang;
    std::int32_t reserved;
    std::string dictionary;
};

void PrintTo(const PartialCase& value, std::ostream* out) { *out << value.name; }

class PartialRead : public ::testing::TestWithParam<PartialCase> {};

// Whatever goes wrong, the languages become the default list and the fields read before the
// fault keep what was read.
TEST_P(PartialRead, KeepsWhatWasReadAndTheDefaultLanguages) {
    TConfiguration configuration(kExeDir);
    configuration.Languages->FreeAll();
    configuration.Languages->AddId(lgKOREAN);
    TMemoryStream stream(GetParam().bytes);
    EXPECT_NO_THROW(configuration.LoadFromStream(stream));
    ASSERT_EQ(configuration.Languages->Count(), 43);
    EXPECT_EQ(configuration.Languages->GetId(0), lgENGLISH);
    EXPECT_EQ(configuration.DefaultMaxLang, GetParam().maxLang);
    EXPECT_EQ(configuration.Reserved, GetParam().reserved);
    EXPECT_EQ(configuration.DefaultDictionary, GetParam().dictionary);
}

Bytes oneLanguage() { return ByteBuilder().hex("01 01 00").className("TLngId").word(6); }

INSTANTIATE_TEST_SUITE_P(
    Cases, PartialRead,
    ::testing::Values(
        PartialCase{"OtherVersion",
                    ByteBuilder().word(101).bytes(oneLanguage()).word(5).word(1).counted("x"), 2, 0,
                    "/opt/marlo/default.dct"},
        PartialCase{"Empty", {}, 2, 0, "/opt/marlo/default.dct"},
        PartialCase{"TruncatedLanguages", ByteBuilder().word(100).hex("01 01 00 06").text("TLn"), 2,
                    0, "/opt/marlo/default.dct"},
        PartialCase{"NoDictionary", ByteBuilder().word(100).bytes(oneLanguage()).word(5).word(1), 5,
                    1, "/opt/marlo/default.dct"},
        PartialCase{"DictionaryBeyondTheEnd",
                    ByteBuilder().word(100).bytes(oneLanguage()).word(5).word(1).word(99), 5, 1,
                    "/opt/marlo/default.dct"},
        PartialCase{"ForeignEntry",
                    ByteBuilder().word(100).hex("01 01 00").className("TCIStr").word(100), 2, 0,
                    "/opt/marlo/default.dct"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
