// File masks: wildcards without backtracking, the mask list and its text form.

#include "shelltree/masks.h"

#include <gtest/gtest.h>

namespace shelltree {
namespace {

TEST(Masks, MaskMatches) {
    struct Row {
        const char* mask;
        const char* name;
        bool matches;
    };
    const Row rows[] = {
        {"*.*", "readme", false},
        {"*.*", "a.b", true},
        {"*", "readme", true},
        {"*", "", true},
        {"a?", "ab", true},
        {"a?", "a", false},
        {"a?", "abc", false},
        {"ab*cd", "abxcd", true},
        {"ab*cd", "abcd", true},
        {"ab*cd", "abcdx", false},
        {"a*.txt", "abc.txt", true},
        {"*.txt", "a.txt.txt", false},
        {"*.txt", "a.txt", true},
        {"*.TXT", "Notes.txt", true},
        {"notes.txt", "NOTES.TXT", true},
        {"notes.txt", "notes.txt2", false},
        {"?", "\xC3\xA9", true},  // one character of two bytes
        {"*.\xC3\x89T\xC3\x89", "x.\xC3\xA9t\xC3\xA9", true},
        {"*a*b", "xaxb", true},
        {"*a*b", "xab", true},
        {"?*", "", false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(MaskMatches(row.name, row.mask), row.matches) << row.mask << " / " << row.name;
    }
}

TEST(Masks, AnyMaskOfTheListInOrder) {
    EXPECT_TRUE(MatchesAnyMask("x", {}));
    EXPECT_TRUE(MatchesAnyMask("a.doc", {"*.txt", "*.doc"}));
    EXPECT_FALSE(MatchesAnyMask("a.pdf", {"*.txt", "*.doc"}));
}

TEST(Masks, MaskTextIsSplitTrimmedAndJoined) {
    struct Row {
        const char* text;
        std::vector<std::string> masks;
        const char* joined;
    };
    const Row rows[] = {
        {"", {"*.*"}, "*.*"},
        {"   ", {"*.*"}, "*.*"},
        {"*.txt; *.doc ;", {"*.txt", "*.doc"}, "*.txt;*.doc"},
        {";;a;;", {"a"}, "a"},
        {" * ", {"*"}, "*"},
    };
    for (const Row& row : rows) {
        const auto masks = parseFileMask(row.text);
        EXPECT_EQ(masks, row.masks) << row.text;
        EXPECT_EQ(joinFileMask(masks), row.joined);
    }
}

}  // namespace
}  // namespace shelltree
