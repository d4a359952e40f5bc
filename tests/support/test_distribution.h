#pragma once
// A small but real distribution folder for end-to-end tests: the system's unzip, a
// QUINDOR.ZIP holding a QUINDOR.EXE that records its start, the Tahoma files, fifteen
// dictionary archives and the help archive.

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/process.h"

namespace testing_support {

inline void runZip(const std::filesystem::path& folder, const std::filesystem::path& archive,
                   const std::vector<std::string>& names) {
    std::vector<std::string> args{"/usr/bin/zip", "-q", "-X", "-j", archive.string()};
    for (const std::string& name : names) args.push_back((folder / name).string());
    const platform::ProcessOutcome outcome = platform::runAndWait(args, [] {});
    if (!outcome.started || outcome.exitStatus != 0)
        throw std::runtime_error("zip failed for " + archive.string());
}

// Lays out the distribution in folder (made afresh); returns it with its final '/'.
inline std::string makeDistribution(const std::filesystem::path& folder, bool withUnzip = true) {
    namespace fs = std::filesystem;
    fs::remove_all(folder);
    const fs::path work = folder / ".work";
    fs::create_directories(work / "product");
    fs::create_directories(work / "help");
    if (withUnzip) fs::create_symlink("/usr/bin/unzip", folder / "unzip");
    // The product records where it was started and with which working folder.
    {
        std::ofstream exe(work / "product/QUINDOR.EXE");
        exe << "#!/bin/sh\necho \"$0|$(pwd)\" >> \"$HOME/quindor-started\"\n";
    }
    fs::permissions(work / "product/QUINDOR.EXE",
                    fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    fs::copy_file("/usr/share/wine/fonts/tahoma.ttf", work / "product/TAHOMA.TTF");
    fs::copy_file("/usr/share/wine/fonts/tahomabd.ttf", work / "product/TAHOMABD.TTF");
    runZip(work / "product", folder / "QUINDOR.ZIP", {"QUINDOR.EXE", "TAHOMA.TTF", "TAHOMABD.TTF"});
    for (const char* code : {"UK", "US", "DA", "NL", "DE", "FR", "PL", "RU", "CZ", "SK", "SI", "IT",
                             "SP", "SE", "ZA"}) {
        const fs::path dict = work / code;
        fs::create_directories(dict);
        std::ofstream(dict / (std::string(code) + ".DIC")) << "word\n";
        runZip(dict, folder / (std::string(code) + ".ZIP"), {std::string(code) + ".DIC"});
    }
    std::ofstream(work / "help/INDEX.HTM") << "<html></html>\n";
    runZip(work / "help", folder / "HTMLhelp.ZIP", {"INDEX.HTM"});
    fs::remove_all(work);
    return folder.string() + "/";
}

}  // namespace testing_support
