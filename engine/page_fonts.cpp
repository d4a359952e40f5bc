#include "page_fonts.h"

#include "operations.h"
#include "product.h"

namespace engine {

namespace {

// The Tahoma faces are below 1 MB; anything announced as larger is not a face of it.
constexpr std::size_t kLargestFace = 4u << 20;

}  // namespace

const char* const kPageFaceFiles[2] = {"TAHOMA.TTF", "TAHOMABD.TTF"};

std::vector<std::string> pageFacesToLoad(Machine& machine, const std::string& distributionFolder) {
    if (FontInstalled(machine.desktop(), kTahomaFamily)) return {};
    const std::string archive = distributionFolder + kMainArchive;
    std::vector<std::string> faces;
    for (const char* file : kPageFaceFiles) {
        if (auto bytes = machine.archives().readArchiveMember(archive, file, kLargestFace)) {
            faces.push_back(std::move(*bytes));
        }
    }
    return faces;
}

}  // namespace engine
