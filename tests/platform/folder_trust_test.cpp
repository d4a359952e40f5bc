#include "platform/folder_trust.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "test_environment.h"

namespace fs = std::filesystem;

namespace {

constexpr uid_t kNobody = 65534;

struct TrustRow {
    std::string why;
    std::function<void(const fs::path&)> arrange;  // given <test>/a, with b below it
    std::string target;                            // below the test folder
    std::string refusedAt;                         // "" when trusted, else the folder named
    std::string phrase;
};

void setMode(const fs::path& path, mode_t mode) { ASSERT_EQ(::chmod(path.c_str(), mode), 0); }

}  // namespace

TEST(UntrustedFolder, FoldersOthersCouldChangeAreRefusedAtTheFirstSuch) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a folder to another user";
    const TrustRow rows[] = {
        {"the user's own folders", [](const fs::path&) {}, "a/b", "", ""},
        {"a part that does not exist yet", [](const fs::path&) {}, "a/b/new/deeper", "", ""},
        {"the folder belongs to another user",
         [](const fs::path& a) { ASSERT_EQ(::chown((a / "b").c_str(), kNobody, kNobody), 0); },
         "a/b", "a/b", "belongs to another user"},
        {"a folder on the way belongs to another user",
         [](const fs::path& a) { ASSERT_EQ(::chown(a.c_str(), kNobody, kNobody), 0); }, "a/b/new",
         "a", "belongs to another user"},
        {"a 0777 shared folder", [](const fs::path& a) { setMode(a / "b", 0777); }, "a/b", "a/b",
         "every user"},
        {"a 0777 folder on the way", [](const fs::path& a) { setMode(a, 0777); }, "a/b", "a",
         "every user"},
        {"a sticky 1777 folder on the way", [](const fs::path& a) { setMode(a, 01777); }, "a/b", "",
         ""},
        {"a sticky 1777 folder itself", [](const fs::path& a) { setMode(a / "b", 01777); }, "a/b",
         "a/b", "every user"},
        {"a group-writable folder (a private group)",
         [](const fs::path& a) { setMode(a / "b", 0775); }, "a/b", "", ""},
    };
    for (const TrustRow& row : rows) {
        const fs::path test = testing_support::testFolder("trust");
        fs::create_directories(test / "a/b");
        row.arrange(test / "a");
        const auto reason = platform::untrustedFolderReason((test / row.target).string());
        if (row.refusedAt.empty()) {
            EXPECT_FALSE(reason) << row.why << ": " << reason.value_or("");
            continue;
        }
        ASSERT_TRUE(reason) << row.why;
        EXPECT_EQ(reason->rfind("The folder " + (test / row.refusedAt).string() + " ", 0), 0U)
            << row.why << ": " << *reason;
        EXPECT_NE(reason->find(row.phrase), std::string::npos) << row.why << ": " << *reason;
        EXPECT_TRUE(reason->ends_with(". Please choose another folder.")) << *reason;
    }
}
