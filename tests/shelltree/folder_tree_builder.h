#pragma once
// Generated folder trees for the namespace and tree tests: folders, files and links laid out
// from a list of relative paths inside a test folder.

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>

namespace shelltree_testing {

// Each entry: "a/b/" a folder (with its parents), "a/f" a file, "a/l->target" a link.
inline void makeTree(const std::filesystem::path& root,
                     std::initializer_list<std::string> entries) {
    namespace fs = std::filesystem;
    for (const std::string& entry : entries) {
        const auto arrow = entry.find("->");
        if (arrow != std::string::npos) {
            const fs::path link = root / entry.substr(0, arrow);
            fs::create_directories(link.parent_path());
            fs::create_symlink(entry.substr(arrow + 2), link);
        } else if (entry.back() == '/') {
            fs::create_directories(root / entry);
        } else {
            fs::create_directories((root / entry).parent_path());
            std::ofstream(root / entry) << "x";
        }
    }
}

}  // namespace shelltree_testing
