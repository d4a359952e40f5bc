#include "fonts.h"

#include <fontconfig/fontconfig.h>
#include <unistd.h>

#include <memory>
#include <set>

#include "files.h"
#include "process.h"

namespace platform {

namespace {

constexpr const char* kFcCache = "/usr/bin/fc-cache";

struct PatternFree {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
struct ObjectSetFree {
    void operator()(FcObjectSet* set) const { FcObjectSetDestroy(set); }
};
struct FontSetFree {
    void operator()(FcFontSet* set) const { FcFontSetDestroy(set); }
};

// A font a program holds in memory is known to fontconfig under a file name that is no path:
// it is no installed font, and counting it would keep the install from installing it.
bool onDisc(const FcPattern* font) {
    FcChar8* file = nullptr;
    return FcPatternGetString(font, FC_FILE, 0, &file) == FcResultMatch && file[0] == '/';
}

void addFamilies(const FcPattern* font, std::set<std::string>& families) {
    if (!onDisc(font)) return;
    FcChar8* family = nullptr;
    for (int index = 0; FcPatternGetString(font, FC_FAMILY, index, &family) == FcResultMatch;
         ++index) {
        families.insert(reinterpret_cast<const char*>(family));
    }
}

}  // namespace

std::vector<std::string> installedFontFamilies() {
    const std::unique_ptr<FcPattern, PatternFree> everything(FcPatternCreate());
    const std::unique_ptr<FcObjectSet, ObjectSetFree> familyOnly(
        FcObjectSetBuild(FC_FAMILY, FC_FILE, nullptr));
    if (!everything || !familyOnly) return {};
    const std::unique_ptr<FcFontSet, FontSetFree> fonts(
        FcFontList(nullptr, everything.get(), familyOnly.get()));
    if (!fonts) return {};
    std::set<std::string> families;
    for (int i = 0; i < fonts->nfont; ++i) addFamilies(fonts->fonts[i], families);
    return {families.begin(), families.end()};
}

bool registerFontFile(const std::string& file) {
    // fontconfig would take a whole folder here; only a single font file is meant.
    if (file.empty() || folderExists(file)) return false;
    const auto* name = reinterpret_cast<const FcChar8*>(file.c_str());
    return FcConfigAppFontAddFile(nullptr, name) == FcTrue;
}

std::unique_ptr<StartedProgram> startFontCacheRefresh(const std::string& folder) {
    if (folder.empty() || ::access(kFcCache, X_OK) != 0) return nullptr;
    try {
        auto refresh = std::make_unique<StartedProgram>(
            std::vector<std::string>{kFcCache, absolutePath(folder)});
        if (refresh->started()) return refresh;
    } catch (const ESystemError&) {
        // A relative folder while the current folder is gone: nothing to refresh by.
    }
    return nullptr;
}

}  // namespace platform
