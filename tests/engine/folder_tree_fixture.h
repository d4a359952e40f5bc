#pragma once
// Trees to delete, each in a temporary folder of its own under the test sandbox, and the
// helpers to build and inspect them.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "engine/folder_tree.h"
#include "test_environment.h"

namespace folder_tree_testing {

namespace fs = std::filesystem;

using testing_support::ScopedVariable;

// Makes entries below base: a name ending in '/' is a folder, any other a file that holds
// its own name.
inline void make(const fs::path& base, const std::vector<std::string>& entries) {
    for (const std::string& entry : entries) {
        if (entry.ends_with('/')) {
            fs::create_directories(base / entry);
        } else {
            fs::create_directories((base / entry).parent_path());
            std::ofstream(base / entry) << entry;
        }
    }
}

// Every entry below folder, relative, folders with a final '/', sorted; links are listed,
// never followed.
inline std::vector<std::string> listing(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(folder, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        std::string name = fs::relative(it->path(), folder).string();
        if (it->is_directory() && !it->is_symlink()) name += '/';
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The uninstall's sequence: walk, add the root, remove the collected folders.
inline void uninstall(const std::string& root) {
    engine::FolderTree tree([] { return true; });
    tree.DeleteFolderTree(root, "*.*", true);
    tree.addRemovedFolder(root);
    tree.removeCollectedFolders();
}

class FolderTreeTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (testing_support::sandboxFolder() / "tree-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_base = fs::canonical(pattern);
        m_root = m_base / "Quindor";
    }

    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_base, ignored);  // links are removed, never followed
        if (fs::exists(m_base)) {
            // A tree deeper than a path can name; m_base comes from mkdtemp (no quotes in it).
            const std::string command = "rm -rf -- '" + m_base.string() + "'";
            EXPECT_EQ(std::system(command.c_str()), 0);
        }
    }

    fs::path m_base;
    fs::path m_root;  // the installed folder; made by each test
};

}  // namespace folder_tree_testing
