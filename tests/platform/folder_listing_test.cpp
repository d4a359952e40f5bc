// Folder listing: entry kinds, hidden entries, the sub-folder test on both of its ways,
// renames that never replace.

#include "platform/folder_listing.h"

#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "test_environment.h"

namespace fs = std::filesystem;

namespace {

void makeFile(const fs::path& path) { std::ofstream(path) << "x"; }

std::map<std::string, platform::EntryType> listAll(const fs::path& folder, bool foldersOnly,
                                                   bool hidden) {
    auto reader = platform::FolderReader::open(folder);
    EXPECT_TRUE(reader);
    std::map<std::string, platform::EntryType> entries;
    while (const auto* entry = reader->next(foldersOnly, hidden))
        entries[std::string(entry->name)] = entry->type;
    return entries;
}

TEST(FolderListing, KindsOfEntriesAndHiddenOnes) {
    const fs::path root = testing_support::testFolder("folder_listing");
    fs::create_directories(root / "sub");
    fs::create_directories(root / ".dot");
    makeFile(root / "file");
    fs::create_symlink("sub", root / "to-sub");
    fs::create_symlink("file", root / "to-file");
    fs::create_symlink("missing", root / "broken");
    using T = platform::EntryType;
    const std::map<std::string, T> all{{"sub", T::Folder},       {".dot", T::Folder},
                                       {"file", T::File},        {"to-sub", T::FolderLink},
                                       {"to-file", T::FileLink}, {"broken", T::FileLink}};
    EXPECT_EQ(listAll(root, false, true), all);
    EXPECT_EQ(listAll(root, true, false),
              (std::map<std::string, T>{{"sub", T::Folder}, {"to-sub", T::FolderLink}}));
    EXPECT_EQ(listAll(root, false, false).count(".dot"), 0u);
}

TEST(FolderListing, RewindListsAgain) {
    const fs::path root = testing_support::testFolder("folder_listing");
    for (int i = 0; i < 300; ++i) fs::create_directories(root / ("f" + std::to_string(i)));
    auto reader = platform::FolderReader::open(root);
    int first = 0, second = 0;
    while (reader->next(true, false)) ++first;
    reader->rewind();
    while (reader->next(true, false)) ++second;
    EXPECT_EQ(first, 300);
    EXPECT_EQ(second, 300);
    EXPECT_FALSE(platform::FolderReader::open(root / "f1/none"));
}

TEST(FolderListing, SubFolderTestBothWays) {
    const fs::path root = testing_support::testFolder("folder_listing");
    fs::create_directories(root / "empty");
    fs::create_directories(root / "files");
    makeFile(root / "files/a");
    fs::create_directories(root / "visible/x");
    fs::create_directories(root / "dotonly/.hidden");
    fs::create_directories(root / "linked");
    fs::create_symlink(root / "visible", root / "linked/l");
    fs::create_directories(root / "mixed/.a");
    fs::create_directories(root / "mixed/b");
    struct Row {
        const char* folder;
        bool withHidden, withoutHidden;
    };
    const Row rows[] = {
        {"empty", false, false},  {"files", false, false}, {"visible", true, true},
        {"dotonly", true, false}, {"linked", true, true},  {"mixed", true, true},
    };
    // Where the file system keeps link counts, a folder whose only sub-folders are links to
    // folders counts as having none: links add nothing to the count, and reading every
    // folder of two links to be sure would cost what the count saves.
    int descriptor = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
    const bool countsKept = platform::keepsFolderLinkCounts(descriptor);
    ::close(descriptor);
    platform::SubFolderTest test;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.folder);
        const std::string path = root / row.folder;
        const bool linksOnly = std::string(row.folder) == "linked" && countsKept;
        EXPECT_EQ(test.hasSubFolder(path, true), row.withHidden && !linksOnly);
        EXPECT_EQ(test.hasSubFolder(path, false), row.withoutHidden && !linksOnly);
        // Reading the folder itself, as on file systems without link counts.
        EXPECT_EQ(
            platform::readsSubFolder(platform::openFile(path, O_RDONLY | O_DIRECTORY).get(), true),
            row.withHidden);
        EXPECT_EQ(
            platform::readsSubFolder(platform::openFile(path, O_RDONLY | O_DIRECTORY).get(), false),
            row.withoutHidden);
    }
    EXPECT_FALSE(test.hasSubFolder(root / "none", true));
}

TEST(FolderListing, RenameNeverReplaces) {
    const fs::path root = testing_support::testFolder("folder_listing");
    fs::create_directories(root / "a");
    fs::create_directories(root / "b");
    makeFile(root / "b/keep");
    EXPECT_EQ(platform::renameWithoutReplacing(root / "a", root / "b"), EEXIST);
    EXPECT_TRUE(fs::exists(root / "b/keep"));
    EXPECT_EQ(platform::renameWithoutReplacing(root / "a", root / "c"), 0);
    EXPECT_TRUE(fs::is_directory(root / "c"));
    EXPECT_EQ(platform::renameWithoutReplacing(root / "none", root / "d"), ENOENT);
}

}  // namespace
