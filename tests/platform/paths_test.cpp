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
