#include "platform/registry_hive.h"

#include "platform/name_index.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

using platform::EHiveParseError;
using platform::Hive;
using platform::HiveKey;

constexpr const char* kHeader = "Windows Registry Editor Version 5.00\n\n";

Hive hiveWithValue(const std::string& name, const std::string& data) {
    Hive hive;
    hive.createKey("HKEY_LOCAL_MACHINE\\Software\\Test").setValue(name, data);
    return hive;
}

struct EscapingCase {
    std::string name;
    std::string data;
    std::string line;  // the value's line as written
};

class EscapingTest : public testing::TestWithParam<EscapingCase> {};

TEST_P(EscapingTest, ValueLineIsWrittenAndReadBack) {
    const EscapingCase& c = GetParam();
    const Hive hive = hiveWithValue(c.name, c.data);
    const std::string text = platform::formatHive(hive);
    EXPECT_EQ(text,
              std::string(kHeader) + "[HKEY_LOCAL_MACHINE\\Software\\Test]\n" + c.line + "\n\n");
    EXPECT_EQ(platform::parseHive(text), hive);
}

INSTANTIATE_TEST_SUITE_P(
    RoundTrip, EscapingTest,
    testing::Values(
        EscapingCase{"", "/home/ann/Quindor/", "@=\"/home/ann/Quindor/\""},
        EscapingCase{"", "", "@=\"\""}, EscapingCase{"Plain", "text", "\"Plain\"=\"text\""},
        EscapingCase{"@", "literal at", "\"@\"=\"literal at\""},
        EscapingCase{"", "C:\\program Files\\Quindor\\",
                     "@=\"C:\\\\program Files\\\\Quindor\\\\\""},
        EscapingCase{"q", "say \"hi\"", "\"q\"=\"say \\\"hi\\\"\""},
        EscapingCase{"q", "\\\"", "\"q\"=\"\\\\\\\"\""}, EscapingCase{"q", "\"", "\"q\"=\"\\\"\""},
        EscapingCase{"q", "ends with \\", "\"q\"=\"ends with \\\\\""},
        EscapingCase{"Name \"with\" \\ escapes", "v", "\"Name \\\"with\\\" \\\\ escapes\"=\"v\""},
        EscapingCase{"x", "=[]@;\t tab and symbols", "\"x\"=\"=[]@;\t tab and symbols\""},
        EscapingCase{"Grüße", "Ærø — ünïcödé", "\"Grüße\"=\"Ærø — ünïcödé\""},
        EscapingCase{"  spaced  ", "  data  ", "\"  spaced  \"=\"  data  \""}));

TEST(HiveFormat, SectionsForKeysWithValuesOrWithoutSubKeys) {
    Hive hive;
    hive.createKey("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Fonts");
    HiveKey& record = hive.createKey("HKEY_LOCAL_MACHINE\\Software\\Quindor\\InstallTO");
    record.setValue("", "/home/ann/Quindor/");
    hive.createKey("HKEY_LOCAL_MACHINE\\Software").setValue("Vendor", "Marlo");
    EXPECT_EQ(
        platform::formatHive(hive),
        std::string(kHeader) +
            "[HKEY_LOCAL_MACHINE\\Software]\n\"Vendor\"=\"Marlo\"\n\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Fonts]\n\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Quindor\\InstallTO]\n@=\"/home/ann/Quindor/\"\n\n");
}

TEST(HiveFormat, EmptyHiveIsTheHeaderAlone) {
    EXPECT_EQ(platform::formatHive(Hive{}), kHeader);
    EXPECT_EQ(platform::parseHive(kHeader), Hive{});
}

TEST(HiveFormat, NamesTheFormatCannotCarryAreRefused) {
    EXPECT_THROW(platform::formatHive(hiveWithValue("a\nb", "x")), std::invalid_argument);
    EXPECT_THROW(platform::formatHive(hiveWithValue("a", "x\ry")), std::invalid_argument);
    EXPECT_THROW(platform::formatHive(hiveWithValue("a", std::string("x\0y", 3))),
                 std::invalid_argument);
    Hive badKey;
    badKey.top().addSubKey("HKEY_LOCAL_MACHINE").addSubKey("a\\b");
    EXPECT_THROW(platform::formatHive(badKey), std::invalid_argument);
    Hive deletion;
    deletion.top().addSubKey("-HKEY_LOCAL_MACHINE");
    EXPECT_THROW(platform::formatHive(deletion), std::invalid_argument);
}

TEST(HiveParse, AcceptsWhatTheEditorAndPeopleWrite) {
    const std::string text =
        "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
        "\r\n"
        "; a comment\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Quindor]\r\n"
        "\"A\" = \"1\"   \r\n"
        "\r\n"
        "   [HKEY_LOCAL_MACHINE\\SOFTWARE\\quindor]\r\n"
        "\"a\"=\"2\"\r\n"
        "@=\"default\"\r\n"
        "[HKEY_CURRENT_USER\\Key ] with ]]\r\n";
    const Hive hive = platform::parseHive(text);
    const HiveKey* key = hive.findKey("HKEY_LOCAL_MACHINE\\Software\\Quindor");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->name(), "Quindor");  // the first spelling stays
    ASSERT_EQ(key->values().size(), 2u);
    EXPECT_EQ(key->values()[0], (platform::HiveValue{"A", "2"}));  // merged; the later data wins
    EXPECT_EQ(key->values()[1], (platform::HiveValue{"", "default"}));
    EXPECT_NE(hive.findKey("HKEY_CURRENT_USER\\Key ] with ]"), nullptr);
}

struct MalformedCase {
    const char* name;
    std::string text;
    int line;
};

class MalformedHiveTest : public testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedHiveTest, ParseFailsNamingTheLine) {
    try {
        platform::parseHive(GetParam().text);
        FAIL() << "parsed";
    } catch (const EHiveParseError& error) {
        EXPECT_EQ(error.line(), GetParam().line);
        EXPECT_TRUE(
            std::string(error.what()).starts_with("line " + std::to_string(GetParam().line) + ": "))
            << error.what();
    }
}

const std::string kSection = "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\K]\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedHiveTest,
    testing::Values(
        MalformedCase{"Empty", "", 1},
        MalformedCase{"OtherHeader", "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\K]\n", 1},
        MalformedCase{"Utf16", std::string("\xFF\xFEW\0i\0", 6), 1},
        MalformedCase{"ValueBeforeSection", "Windows Registry Editor Version 5.00\n\n@=\"x\"\n", 3},
        MalformedCase{"UnclosedSection",
                      "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\K\n", 2},
        MalformedCase{"EmptySection", "Windows Registry Editor Version 5.00\n[]\n", 2},
        MalformedCase{"DoubledSeparator",
                      "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\\\K]\n", 2},
        MalformedCase{"FinalSeparator",
                      "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\K\\]\n", 2},
        MalformedCase{"LeadingSeparatorAfterATopKey",
                      "Windows Registry Editor Version 5.00\n[A]\n[\\B]\n", 3},
        MalformedCase{"DeletionBehindALeadingSeparator",
                      "Windows Registry Editor Version 5.00\n[A]\n[\\-B]\n", 3},
        MalformedCase{"KeyDeletion",
                      "Windows Registry Editor Version 5.00\n[-HKEY_LOCAL_MACHINE\\K]\n", 2},
        MalformedCase{"ValueDeletion", kSection + "\"a\"=-\n", 4},
        MalformedCase{"DwordValue", kSection + "\"a\"=dword:00000001\n", 4},
        MalformedCase{"HexValue", kSection + "\"a\"=hex(2):41,00\n", 4},
        MalformedCase{"UnclosedData", kSection + "\"a\"=\"open\n", 4},
        MalformedCase{"UnclosedName", kSection + "\"a=\"x\"\n", 4},
        MalformedCase{"UnknownEscape", kSection + "@=\"a\\nb\"\n", 4},
        MalformedCase{"BackslashAtEnd", kSection + "@=\"a\\\n", 4},
        MalformedCase{"MissingEquals", kSection + "\"a\" \"b\"\n", 4},
        MalformedCase{"TextAfterValue", kSection + "\"a\"=\"b\" junk\n", 4},
        MalformedCase{"CarriageReturnInData", kSection + "\"a\"=\"x\ry\"\n", 4},
        MalformedCase{"NulInName", kSection + std::string("\"a\0b\"=\"x\"\n", 10), 4},
        MalformedCase{"StrayLine", kSection + "\n\nsomething\n", 6}),
    [](const testing::TestParamInfo<MalformedCase>& info) { return info.param.name; });

TEST(HiveTree, PathsMatchWithoutCaseAndKeepTheirSpelling) {
    Hive hive;
    hive.createKey("HKEY_CURRENT_USER\\Software\\MicroSoft").setValue("Name", "1");
    HiveKey& again = hive.createKey("hkey_current_user\\SOFTWARE\\microsoft\\New");
    again.setValue("x", "y");
    ASSERT_EQ(hive.top().subKeyCount(), 1u);
    const HiveKey* microsoft = hive.findKey("HKEY_CURRENT_USER\\software\\MICROSOFT");
    ASSERT_NE(microsoft, nullptr);
    EXPECT_EQ(microsoft->name(), "MicroSoft");
    ASSERT_EQ(microsoft->subKeyCount(), 1u);
    EXPECT_EQ(microsoft->subKey(0).name(), "New");
    hive.createKey("HKEY_CURRENT_USER\\Software\\MicroSoft").setValue("NAME", "2");
    EXPECT_EQ(microsoft->values(), (std::vector<platform::HiveValue>{{"Name", "2"}}));
}

TEST(HiveTree, DeleteRemovesTheWholeBranch) {
    Hive hive;
    hive.createKey("HKEY_LOCAL_MACHINE\\Software\\Quindor\\InstallTO").setValue("", "/q/");
    hive.createKey("HKEY_LOCAL_MACHINE\\Software\\Quindor\\Deep\\Deeper");
    hive.createKey("HKEY_LOCAL_MACHINE\\Software\\Keep");
    EXPECT_TRUE(hive.deleteKey("HKEY_LOCAL_MACHINE\\software\\QUINDOR"));
    EXPECT_EQ(hive.findKey("HKEY_LOCAL_MACHINE\\Software\\Quindor"), nullptr);
    EXPECT_NE(hive.findKey("HKEY_LOCAL_MACHINE\\Software\\Keep"), nullptr);
    EXPECT_FALSE(hive.deleteKey("HKEY_LOCAL_MACHINE\\Software\\Quindor"));
    EXPECT_FALSE(hive.deleteKey(""));
    EXPECT_FALSE(hive.deleteKey("HKEY_LOCAL_MACHINE\\\\Software"));
}

TEST(HiveTree, KeyPathRules) {
    EXPECT_TRUE(platform::isValidKeyPath(""));
    EXPECT_TRUE(platform::isValidKeyPath("Software\\Quindor\\InstallTO"));
    EXPECT_TRUE(platform::isValidKeyPath("Shell Folders"));
    EXPECT_FALSE(platform::isValidKeyPath("\\Software"));
    EXPECT_FALSE(platform::isValidKeyPath("Software\\"));
    EXPECT_FALSE(platform::isValidKeyPath("Software\\\\Quindor"));
    EXPECT_FALSE(platform::isValidKeyPath("Soft\nware"));
    EXPECT_THROW(Hive{}.createKey("a\\\\b"), std::invalid_argument);
    EXPECT_EQ(Hive{}.findKey("\\"), nullptr);
}

TEST(HiveTree, FormatThenParseKeepsADeepTree) {
    Hive hive;
    for (const char* path : {"HKEY_LOCAL_MACHINE\\A\\B\\C", "HKEY_LOCAL_MACHINE\\A\\B2",
                             "HKEY_CURRENT_USER\\X", "HKEY_LOCAL_MACHINE\\A\\B\\C\\D\\E"}) {
        hive.createKey(path).setValue(path, std::string(path) + " data");
    }
    hive.createKey("HKEY_LOCAL_MACHINE\\A\\Empty");
    EXPECT_EQ(platform::parseHive(platform::formatHive(hive)), hive);
}

// A section line of levels names below HKEY_LOCAL_MACHINE ("\\k\\k...").
std::string deepSection(std::size_t levels) {
    std::string line = "[HKEY_LOCAL_MACHINE";
    line.reserve(line.size() + levels * 2 + 2);
    for (std::size_t i = 0; i < levels; ++i) line += "\\k";
    return line + "]\n";
}

TEST(HiveBounds, KeyPathsUpToTheBoundRoundTrip) {
    Hive hive;
    std::string path = "HKEY_LOCAL_MACHINE";
    for (std::size_t i = 1; i < platform::kDeepestKeyPath; ++i) path += "\\k";
    hive.createKey(path).setValue("", "deepest");
    EXPECT_EQ(hive.keyCount(), platform::kDeepestKeyPath);
    EXPECT_EQ(platform::parseHive(platform::formatHive(hive)), hive);
    EXPECT_THROW(hive.createKey(path + "\\k"), std::invalid_argument);
}

// A million levels: 2 MB of text that once exhausted the stack of every reader and writer.
TEST(HiveBounds, MillionLevelsAreRefusedAsUnparsable) {
    const std::string text = std::string(kHeader) + deepSection(1'000'000) + "@=\"x\"\n";
    try {
        platform::parseHive(text);
        FAIL() << "parsed";
    } catch (const EHiveParseError& error) {
        EXPECT_EQ(error.line(), 3);
        EXPECT_NE(std::string(error.what()).find("deeper than 512 levels"), std::string::npos);
    }
    EXPECT_THROW(platform::parseHive(std::string(kHeader) + deepSection(platform::kDeepestKeyPath)),
                 EHiveParseError);
    EXPECT_NO_THROW(
        platform::parseHive(std::string(kHeader) + deepSection(platform::kDeepestKeyPath - 1)));
}

// Keys made by hand are not bounded; freeing and comparing them must still take no stack.
TEST(HiveBounds, DeepBranchIsComparedAndFreedWithoutRecursion) {
    Hive a;
    Hive b;
    for (Hive* hive : {&a, &b}) {
        HiveKey* key = &hive->top();
        for (int i = 0; i < 300'000; ++i) key = &key->addSubKey("k");
    }
    EXPECT_TRUE(a == b);
}

TEST(HiveBounds, TooManyKeysOrValuesAreRefused) {
    std::string keys(kHeader);
    for (std::size_t i = 0; i <= platform::kMostHiveKeys; ++i) {
        keys += "[HKEY_LOCAL_MACHINE\\" + std::to_string(i) + "]\n";
    }
    EXPECT_THROW(platform::parseHive(keys), EHiveParseError);
    std::string values = std::string(kHeader) + "[HKEY_LOCAL_MACHINE\\V]\n";
    for (std::size_t i = 0; i <= platform::kMostHiveValues; ++i) values += "@=\"\"\n";
    EXPECT_THROW(platform::parseHive(values), EHiveParseError);
}

TEST(HiveTree, HundredThousandSiblingsAreFoundByName) {
    Hive hive;
    for (int i = 0; i < 100'000; ++i) {
        hive.createKey("HKEY_LOCAL_MACHINE\\Software\\Key" + std::to_string(i)).setValue("v", "d");
    }
    const Hive read = platform::parseHive(platform::formatHive(hive));
    EXPECT_EQ(read, hive);
    const HiveKey* key = read.findKey("hkey_local_machine\\SOFTWARE\\key54321");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->name(), "Key54321");
    EXPECT_EQ(read.keyCount(), 100'002u);
    Hive edited = platform::parseHive(platform::formatHive(hive));
    EXPECT_TRUE(edited.deleteKey("HKEY_LOCAL_MACHINE\\Software\\Key7"));
    EXPECT_EQ(edited.findKey("HKEY_LOCAL_MACHINE\\Software\\Key7"), nullptr);
    EXPECT_NE(edited.findKey("HKEY_LOCAL_MACHINE\\Software\\Key8"), nullptr);
    EXPECT_EQ(edited.keyCount(), 100'001u);
}

}  // namespace

namespace {

std::uint32_t unseededFnv1a(const std::string& text, std::uint32_t hash = 2166136261U) {
    for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619U;
    return hash;
}

// Two blocks of letters that lead FNV-1a from state to one same state (a birthday search).
std::pair<std::string, std::string> fnvCollision(std::uint32_t state) {
    std::unordered_map<std::uint32_t, std::string> seen;
    for (std::uint32_t n = 0;; ++n) {
        std::string block;
        for (std::uint32_t rest = n * 2654435761U; block.size() < 7; rest /= 26) {
            block += static_cast<char>('a' + rest % 26);
        }
        const auto [at, added] = seen.emplace(unseededFnv1a(block, state), block);
        if (!added && at->second != block) return {at->second, block};
    }
}

}  // namespace

// A hive of value names built to share one hash of the index's old unseeded FNV-1a took
// minutes to parse; under a keyed hash those names spread like any others.
TEST(NameIndex, NamesSharingAnUnseededHashNoLongerShareOne) {
    std::vector<std::pair<std::string, std::string>> blocks;
    std::uint32_t state = 2166136261U;
    for (int i = 0; i < 5; ++i) {
        blocks.push_back(fnvCollision(state));
        state = unseededFnv1a(blocks.back().first, state);
    }
    std::set<std::uint32_t> oldHashes, hashes;
    for (std::uint32_t bits = 0; bits < 32; ++bits) {
        std::string name;
        for (int i = 0; i < 5; ++i) name += (bits >> i & 1) ? blocks[i].second : blocks[i].first;
        oldHashes.insert(unseededFnv1a(name));
        hashes.insert(platform::NameIndex::hashOf(name));
    }
    ASSERT_EQ(oldHashes.size(), 1U);
    EXPECT_EQ(hashes.size(), 32U);
    EXPECT_EQ(platform::NameIndex::hashOf("Software"), platform::NameIndex::hashOf("SOFTWARE"));
}
