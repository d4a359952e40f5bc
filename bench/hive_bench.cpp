// Reading and writing a registry hive of 100,000 keys through the store, as the install and
// uninstall do at each registry access: the whole file read and parsed, or edited, formatted
// and replaced. Target: under 200 ms each.
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

double cpuMs() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
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
    std::printf("  %-16s wall %7.1f ms   cpu %7.1f ms   %s\n", what, timing.wall, timing.cpu, target);
}

}  // namespace

int main(int argc, char** argv) {
    const int keys = argc > 1 ? std::atoi(argv[1]) : 100'000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 9;
    const fs::path folder = fs::temp_directory_path() / ("quindor-hive-bench-" + std::to_string(getpid()));
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
    std::printf("hive of %d keys (%.1f MB), median of %d rounds\n", keys, text.size() / 1e6, rounds);
    print("parse only", parse, "");
    print("format only", format, "");
    print("read (store)", read, "target < 200 ms");
    print("write (store)", write, "target < 200 ms");
    return 0;
}
