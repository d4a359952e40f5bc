// Reading and writing a registry hive of 100,000 keys through the store, as the install and
// uninstall do at each registry access: the whole file read and parsed, or edited, formatted
// and replaced. Target: under 200 ms each. Then hostile hives at the size bound, which must
// parse in well under a second: 131,072 value names that share one hash of the unseeded
// FNV-1a the name index once used (such a file froze the uninstall for minutes), and a
// million values in one key.
// Usage: hive_bench [KEYS] [ROUNDS]

#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/registry.h"
#include "platform/registry_hive.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// KEYS sibling keys with one value each, as a hive file holds them.
std::string siblingHive(int keys) {
    std::string text = "Windows Registry Editor Version 5.00\n\n";
    for (int i = 0; i < keys; ++i) {
        text += "[HKEY_LOCAL_MACHINE\\Software\\Test\\Key" + std::to_string(i) + "]\n\"Value\"=\"" +
                std::to_string(i) + "\"\n\n";
    }
    return text;
}

std::uint32_t fnv1a(const std::string& text, std::uint32_t hash = 2166136261U) {
    for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619U;
    return hash;
}

// Two different lower-case blocks of eight letters that lead FNV-1a from state to one same
// state (a birthday search).
std::pair<std::string, std::string> collidingBlocks(std::uint32_t state) {
    std::unordered_map<std::uint32_t, std::string> seen;
    std::uint64_t random = 88172645463325252ULL ^ state;
    for (;;) {
        std::string block(8, 'a');
        for (char& c : block) {
            random ^= random << 13, random ^= random >> 7, random ^= random << 17;
            c = static_cast<char>('a' + random % 26);
        }
        const auto [at, added] = seen.emplace(fnv1a(block, state), block);
        if (!added && at->second != block) return {at->second, block};
    }
}

// 2^blocks value names of one key that all share one FNV-1a hash, whatever is mixed in
// after: at each position one of two blocks that lead to the same state.
std::string collidingValuesHive(int blocks) {
    std::vector<std::pair<std::string, std::string>> pairs;
    std::uint32_t state = 2166136261U;
    for (int i = 0; i < blocks; ++i) {
        pairs.push_back(collidingBlocks(state));
        state = fnv1a(pairs.back().first, state);
    }
    std::string text =
        "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Flood]\n";
    for (std::uint32_t bits = 0; bits < (1U << blocks); ++bits) {
        text += '"';
        for (int i = 0; i < blocks; ++i) text += (bits >> i & 1) ? pairs[i].second : pairs[i].first;
        text += "\"=\"x\"\n";
    }
    return text;
}

std::string manyValuesHive(int values) {
    std::string text =
        "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Many]\n";
    for (int i = 0; i < values; ++i) text += "\"v" + std::to_string(i) + "\"=\"\"\n";
    return text;
}

double megabytes(const std::string& bytes) { return static_cast<double>(bytes.size()) / 1e6; }

double cpuMs() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct Timing {
    double wall;  // medians, ms
    double cpu;   // this process's processor time: what a shared, busy machine does not hide
};

template <typename Action>
Timing median(int rounds, Action action) {
    std::vector<double> walls, cpus;
    for (int round = 0; round < rounds; ++round) {
        const auto start = Clock::now();
        const double cpuStart = cpuMs();
        action();
        cpus.push_back(cpuMs() - cpuStart);
        walls.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(walls.begin(), walls.end());
    std::sort(cpus.begin(), cpus.end());
    return {walls[walls.size() / 2], cpus[cpus.size() / 2]};
}

void print(const char* what, Timing timing, const char* target) {
    std::printf("  %-16s wall %7.1f ms   cpu %7.1f ms   %s\n", what, timing.wall, timing.cpu,
                target);
}

}  // namespace

int main(int argc, char** argv) {
    const int keys = argc > 1 ? std::atoi(argv[1]) : 100'000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 9;
    const fs::path folder =
        fs::temp_directory_path() / ("quindor-hive-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    const std::string text = siblingHive(keys);
    std::ofstream(folder / "system.reg", std::ios::binary) << text;
    platform::Registry registry(folder.string());
    const std::string last = "Software\\Test\\Key" + std::to_string(keys - 1);

    const Timing parse = median(rounds, [&] { (void)platform::parseHive(text); });
    const platform::Hive hive = platform::parseHive(text);
    const Timing format = median(rounds, [&] { (void)platform::formatHive(hive); });
    const Timing read = median(rounds, [&] {
        if (!registry.readString(platform::RootKey::LocalMachine, last, "Value")) std::abort();
    });
    int n = 0;
    const Timing write = median(rounds, [&] {
        registry.writeString(platform::RootKey::LocalMachine, last, "Value", std::to_string(++n));
    });
    fs::remove_all(folder);
    std::printf("hive of %d keys (%.1f MB), median of %d rounds\n", keys, megabytes(text), rounds);
    print("parse only", parse, "");
    print("format only", format, "");
    print("read (store)", read, "target < 200 ms");
    print("write (store)", write, "target < 200 ms");

    const int hostileRounds = std::max(1, rounds / 3);
    for (const auto& hostileCase :
         {std::pair<const char*, std::string>{"one FNV hash", collidingValuesHive(17)},
          {"1,000,000 values", manyValuesHive(1'000'000)}}) {
        const char* what = hostileCase.first;
        const std::string& hostile = hostileCase.second;
        std::printf("hostile hive, %s (%.1f MB), median of %d rounds\n", what, megabytes(hostile),
                    hostileRounds);
        print("parse", median(hostileRounds, [&] { (void)platform::parseHive(hostile); }),
              "target well under 1,000 ms");
    }
    return 0;
}
