#pragma once
// Replays a fuzz target's kept corpus (seeds and every input that ever failed) through its
// entry function, so that each test run guards the readers against old findings.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace testing_support {

// The files of fuzz/corpus/<target>/, sorted by name; empty when the folder is missing.
inline std::vector<std::filesystem::path> corpusFiles(const std::string& target) {
    std::vector<std::filesystem::path> files;
    const std::filesystem::path folder = std::filesystem::path(QUINDOR_FUZZ_CORPUS_DIR) / target;
    if (!std::filesystem::is_directory(folder)) return files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

inline std::vector<std::uint8_t> fileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Calls entry on every corpus file of target; returns how many were replayed.
template <class Entry>
int replayCorpus(const std::string& target, Entry entry) {
    int count = 0;
    for (const auto& file : corpusFiles(target)) {
        const std::vector<std::uint8_t> bytes = fileBytes(file);
        entry(bytes.data(), bytes.size());
        ++count;
    }
    return count;
}

}  // namespace testing_support
