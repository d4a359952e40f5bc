// The path rules with the examples of drive paths translated to this system.

#include "platform/paths.h"

#include <gtest/gtest.h>

TEST(Paths, FinalSeparatorAndParts) {
    struct Row {
        const char* path;
        const char* without;
        const char* with;
        const char* folder;
        const char* file;
    };
    const Row rows[] = {
        {"/A/B/C/", "/A/B/C", "/A/B/C/", "/A/B/C/", ""},
        {"/A/B/C", "/A/B/C", "/A/B/C/", "/A/B/", "C"},
        {"/", "", "/", "/", ""},
        {"", "", "/", "", ""},
        {"/X/Y.lnk", "/X/Y.lnk", "/X/Y.lnk/", "/X/", "Y.lnk"},
        {"Y.lnk", "Y.lnk", "Y.lnk/", "", "Y.lnk"},
        {"/A//", "/A/", "/A/", "/A//", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(platform::withoutFinalSeparator(row.path), row.without);
        EXPECT_EQ(platform::withFinalSeparator(row.path), row.with);
        EXPECT_EQ(platform::folderPart(row.path), row.folder);
        EXPECT_EQ(platform::fileNamePart(row.path), row.file);
    }
}

TEST(Paths, NormalFormsAndAncestors) {
    struct Row {
        const char* path;
        const char* normal;
        const char* parent;  // the first of ancestorsOf(normal), "" for the root
    };
    const Row rows[] = {
        {"/", "/", ""},
        {"//./", "/", ""},
        {"/tmp/..", "/", ""},
        {"/tmp/x/../../", "/", ""},
        {"/../../a", "/a", "/"},
        {"/a//b/./c/", "/a/b/c", "/a/b"},
        {"/a/b/../../c", "/c", "/"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(platform::lexicallyNormal(row.path), row.normal);
        const std::vector<std::string> above = platform::ancestorsOf(row.normal);
        EXPECT_EQ(above.empty() ? "" : above.front(), std::string(row.parent));
        if (!above.empty()) {
            EXPECT_EQ(above.back(), "/");
        }
    }
    EXPECT_EQ(platform::pathComponents("/a//./b/../c/"),
              (std::vector<std::string>{"a", "b", "..", "c"}));
}

TEST(Paths, MasksMatchAsOnTheOriginalSystem) {
    struct Row {
        const char* mask;
        const char* name;
        bool matches;
    };
    const Row rows[] = {
        {"*.*", "README", true},      {"*.*", ".hidden", true}, {"*.*", "a.b.c", true},
        {"*.TXT", "notes.txt", true}, {"?.ini", "é.ini", true}, {"a?c", "ac", false},
        {"[ab]", "[ab]", true},       {"[ab]", "a", false},     {"", "x", false},
        {"*.dll", "x.dl", false},     {"x.*", "x", true},       {"**a", "bba", true},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(platform::maskMatches(row.mask, row.name), row.matches)
            << row.mask << " " << row.name;
    }
}
