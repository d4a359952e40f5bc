#include "platform/fonts.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "test_environment.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kTahoma = "/usr/share/wine/fonts/tahoma.ttf";
constexpr const char* kTahomaBold = "/usr/share/wine/fonts/tahomabd.ttf";

bool contains(const std::vector<std::string>& families, const std::string& family) {
    return std::find(families.begin(), families.end(), family) != families.end();
}

// Each test sees a fontconfig of its own: a configuration that knows only a font folder in
// the sandbox becomes the current one (and fc-cache reads the same file through
// FONTCONFIG_FILE, so its cache lands in the sandbox too). The program's configuration is
// put back afterwards, so no other test notices.
class IsolatedFonts : public testing::Test {
protected:
    void SetUp() override {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        m_folder = testing_support::sandboxFolder() / "fonts" / info->name();
        fs::remove_all(m_folder);
        fs::create_directories(m_folder / "fonts");
        fs::create_directories(m_folder / "cache");
        const fs::path file = m_folder / "fonts.conf";
        std::ofstream(file) << "<?xml version=\"1.0\"?>\n<fontconfig>\n  <dir>"
                            << (m_folder / "fonts").string() << "</dir>\n  <cachedir>"
                            << (m_folder / "cache").string() << "</cachedir>\n</fontconfig>\n";
        // Taken first: a program that had not loaded its fonts yet would load them from
        // the file below and get the sandbox's configuration back afterwards.
        m_previous = FcConfigReference(nullptr);
        if (const char* old = std::getenv("FONTCONFIG_FILE")) m_oldFile = old;
        ::setenv("FONTCONFIG_FILE", file.c_str(), 1);

        FcConfig* config = FcConfigCreate();
        ASSERT_TRUE(
            FcConfigParseAndLoad(config, reinterpret_cast<const FcChar8*>(file.c_str()), FcTrue));
        ASSERT_TRUE(FcConfigBuildFonts(config));
        ASSERT_TRUE(FcConfigSetCurrent(config));
        FcConfigDestroy(config);  // the current configuration holds it now
    }

    void TearDown() override {
        if (m_previous != nullptr) {
            FcConfigSetCurrent(m_previous);
            FcConfigDestroy(m_previous);
        }
        if (m_oldFile) {
            ::setenv("FONTCONFIG_FILE", m_oldFile->c_str(), 1);
        } else {
            ::unsetenv("FONTCONFIG_FILE");
        }
        fs::remove_all(m_folder);
    }

    // The font copied into the sandbox's font folder, as the install does.
    std::string installCopy(const char* font, const std::string& name) {
        if (!fs::exists(font)) return {};
        const fs::path target = m_folder / "fonts" / name;
        fs::copy_file(font, target);
        return target.string();
    }

    fs::path m_folder;
    FcConfig* m_previous = nullptr;
    std::optional<std::string> m_oldFile;
};

}  // namespace

TEST_F(IsolatedFonts, ARegisteredFontIsInstalledAtOnceUnderItsExactName) {
    EXPECT_FALSE(contains(platform::installedFontFamilies(), "Tahoma"));
    const std::string file = installCopy(kTahoma, "TAHOMA.TTF");
    if (file.empty()) GTEST_SKIP() << kTahoma << " is missing (Debian package fonts-wine)";

    ASSERT_TRUE(platform::registerFontFile(file));
    const std::vector<std::string> families = platform::installedFontFamilies();
    EXPECT_TRUE(contains(families, "Tahoma"));
    EXPECT_FALSE(contains(families, "tahoma")) << "names compare exactly";
    EXPECT_FALSE(contains(families, "TAHOMA"));
}

// A toolkit registers a font it holds in memory as an application font whose file is no
// path; the setup does so for its page faces, and the install must still see Tahoma missing.
TEST_F(IsolatedFonts, AFontHeldInMemoryIsNotInstalled) {
    if (FcConfigGetFonts(nullptr, FcSetApplication) == nullptr) {
        FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>("/nonexistent.ttf"));
    }
    FcFontSet* application = FcConfigGetFonts(nullptr, FcSetApplication);
    ASSERT_NE(application, nullptr);
    FcPattern* font = FcPatternBuild(nullptr, FC_FAMILY, FcTypeString, "Tahoma", FC_FILE,
                                     FcTypeString, ":memory/0", nullptr);
    ASSERT_TRUE(FcFontSetAdd(application, font));
    EXPECT_FALSE(contains(platform::installedFontFamilies(), "Tahoma"));
}

TEST_F(IsolatedFonts, TheCacheRefreshRunsWhileTheCallerGoesOn) {
    if (!fs::exists("/usr/bin/fc-cache")) GTEST_SKIP() << "fc-cache is not installed";
    if (installCopy(kTahoma, "TAHOMA.TTF").empty()) GTEST_SKIP() << kTahoma << " is missing";
    const auto newestCache = [&] {
        fs::file_time_type newest = fs::file_time_type::min();
        for (const auto& entry : fs::directory_iterator(m_folder / "cache")) {
            newest = std::max(newest, entry.last_write_time());
        }
        return newest;
    };
    const fs::file_time_type before = newestCache();
    const auto refresh = platform::startFontCacheRefresh((m_folder / "fonts").string());
    ASSERT_NE(refresh, nullptr);
    int calls = 0;
    const platform::ProcessOutcome outcome = refresh->wait([&] { ++calls; });
    EXPECT_TRUE(outcome.exitedNormally);
    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_GT(newestCache(), before) << "fc-cache wrote the folder's cache again";
    EXPECT_EQ(refresh->wait([&] { ++calls; }).exitStatus, 0) << "a second wait returns at once";
    EXPECT_EQ(platform::startFontCacheRefresh(""), nullptr);
}

TEST_F(IsolatedFonts, FamiliesAreListedOnceEach) {
    const std::string regular = installCopy(kTahoma, "TAHOMA.TTF");
    const std::string bold = installCopy(kTahomaBold, "TAHOMABD.TTF");
    if (regular.empty() || bold.empty()) GTEST_SKIP() << "the Tahoma files are missing";
    ASSERT_TRUE(platform::registerFontFile(regular));
    ASSERT_TRUE(platform::registerFontFile(bold));
    const std::vector<std::string> families = platform::installedFontFamilies();
    EXPECT_EQ(std::count(families.begin(), families.end(), "Tahoma"), 1);
    EXPECT_TRUE(std::is_sorted(families.begin(), families.end()));
}

TEST_F(IsolatedFonts, RejectsWhatIsNotAFontFile) {
    std::ofstream(m_folder / "fonts" / "FAKE.TTF") << "not a font at all";
    fs::create_directories(m_folder / "fonts" / "folder.ttf");
    const struct {
        std::string file;
        std::string why;
    } rows[] = {
        {(m_folder / "fonts" / "MISSING.TTF").string(), "missing"},
        {(m_folder / "fonts" / "FAKE.TTF").string(), "not a font"},
        {(m_folder / "fonts" / "folder.ttf").string(), "a folder"},
        {(m_folder / "fonts").string(), "the font folder itself"},
        {"", "empty"},
    };
    for (const auto& row : rows) {
        EXPECT_FALSE(platform::registerFontFile(row.file)) << row.why;
    }
    EXPECT_TRUE(platform::installedFontFamilies().empty());
}

TEST(InstalledFontFamilies, ListsTheSystemsFamiliesOnceEach) {
    const std::vector<std::string> families = platform::installedFontFamilies();
    EXPECT_TRUE(std::is_sorted(families.begin(), families.end()));
    EXPECT_EQ(std::adjacent_find(families.begin(), families.end()), families.end());
    if (fs::exists("/usr/share/fonts/truetype/liberation")) {
        EXPECT_TRUE(contains(families, "Liberation Sans"));
    }
}
