// The page compiler: writes the header that gives a page class its controls and handlers
// from the page's stored definition (see page_parts.h).
//
//   page_compiler [--inherit NAME]... DEFINITION OUTPUT
//
// --inherit names a component whose field the page's base class declares. The output is
// replaced only when its text changes, so that an edit elsewhere in a definition rebuilds
// nothing that includes it. Errors read "DEFINITION:LINE: error: ...", exit status 1.

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "page_parts.h"

namespace {

bool readFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream out;
    out << in.rdbuf();
    text = out.str();
    return true;
}

bool writeIfChanged(const std::string& path, const std::string& text) {
    std::string old;
    if (readFile(path, old) && old == text) return true;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out.flush());
}

int usage() {
    std::fputs("usage: page_compiler [--inherit NAME]... DEFINITION OUTPUT\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    page_compiler::PageOptions options;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--inherit" && i + 1 < argc) {
            options.inheritedFields.push_back(argv[++i]);
        } else if (arg.rfind("--", 0) == 0) {
            return usage();
        } else {
            paths.push_back(arg);
        }
    }
    if (paths.size() != 2) return usage();
    options.fileName = paths[0];
    std::string definition;
    if (!readFile(paths[0], definition)) {
        std::fprintf(stderr, "%s: error: cannot read the definition\n", paths[0].c_str());
        return 1;
    }
    try {
        const std::string header = page_compiler::generatePageHeader(definition, options);
        if (!writeIfChanged(paths[1], header)) {
            std::fprintf(stderr, "%s: error: cannot write the header\n", paths[1].c_str());
            return 1;
        }
    } catch (const page_compiler::EGeneratorError& e) {
        std::fprintf(stderr, "%s:%d: error: %s\n", e.fileName().c_str(), e.line(),
                     e.message().c_str());
        return 1;
    }
    return 0;
}
