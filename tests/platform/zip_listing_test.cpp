#include "platform/zip_listing.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/process.h"
#include "platform/stray_files.h"
#include "test_environment.h"
#include "zip_builder.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kZip = "/usr/bin/zip";

class ZipListingTest : public testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(kZip)) GTEST_SKIP() << kZip << " is not installed (Debian package zip)";
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        m_folder = testing_support::sandboxFolder() / "zip" / info->name();
        fs::remove_all(m_folder);
        fs::create_directories(m_folder / "content" / "sub");
        std::ofstream(m_folder / "content" / "a.txt") << "alpha";
        std::ofstream(m_folder / "content" / "sub" / "b.txt") << "beta";
        fs::create_symlink("a.txt", m_folder / "content" / "link");
        fs::permissions(m_folder / "content" / "a.txt", fs::perms(0640));
    }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string path(const std::string& name) const { return (m_folder / name).string(); }

    // Runs zip inside the content folder with the given options and returns the archive.
    std::string zip(const std::string& archive, const std::string& options) const {
        const auto outcome = platform::runAndWait(
            {"/bin/sh", "-c", "cd \"$0\" && " + std::string(kZip) + " -q " + options,
             path("content"), path(archive)},
            {});
        EXPECT_TRUE(outcome.exitedNormally && outcome.exitStatus == 0) << options;
        return path(archive);
    }

    std::string bytesOf(const std::string& file) const {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::string write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
        return path(name);
    }

    fs::path m_folder;
};

std::map<std::string, platform::ZipEntry> byName(const std::vector<platform::ZipEntry>& entries) {
    std::map<std::string, platform::ZipEntry> map;
    for (const auto& entry : entries) map[entry.name] = entry;
    return map;
}

void put16(std::string& bytes, std::size_t at, unsigned value) {
    bytes[at] = static_cast<char>(value & 0xff);
    bytes[at + 1] = static_cast<char>((value >> 8) & 0xff);
}

void put32(std::string& bytes, std::size_t at, unsigned value) {
    put16(bytes, at, value & 0xffff);
    put16(bytes, at + 2, value >> 16);
}

// The listing, or nullopt when it cannot be read.
std::optional<std::vector<platform::ZipEntry>> listed(const std::string& archive) {
    try {
        return platform::listZipEntries(archive);
    } catch (const platform::EZipListingError&) {
        return std::nullopt;
    }
}

// Why the listing cannot be read; empty when it can.
std::string refusal(const std::string& archive) {
    try {
        platform::listZipEntries(archive);
    } catch (const platform::EZipListingError& error) {
        return error.what();
    }
    return {};
}

unsigned get16(const std::string& bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

}  // namespace

TEST_F(ZipListingTest, ListsFilesFoldersAndStoredLinks) {
    const auto entries = listed(zip("archive.zip", "-r -y \"$1\" a.txt sub link"));
    ASSERT_TRUE(entries);
    auto map = byName(*entries);
    ASSERT_EQ(entries->size(), 4u);
    ASSERT_EQ(map.count("a.txt") + map.count("sub/") + map.count("sub/b.txt") + map.count("link"),
              4u);
    EXPECT_EQ(entries->front().name, "a.txt") << "stored order";
    EXPECT_EQ(map["a.txt"].mode, static_cast<unsigned>(S_IFREG | 0640));
    EXPECT_FALSE(map["a.txt"].isSymlink);
    EXPECT_TRUE(S_ISDIR(map["sub/"].mode));
    EXPECT_FALSE(map["sub/"].isSymlink);
    EXPECT_TRUE(S_ISREG(map["sub/b.txt"].mode));
    EXPECT_TRUE(map["link"].isSymlink);
    EXPECT_TRUE(S_ISLNK(map["link"].mode));
}

TEST_F(ZipListingTest, ALinkStoredAsItsTargetIsAPlainFile) {
    const auto entries = listed(zip("archive.zip", "\"$1\" link"));
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 1u);
    EXPECT_EQ(entries->front().name, "link");
    EXPECT_FALSE(entries->front().isSymlink);
    EXPECT_TRUE(S_ISREG(entries->front().mode));
}

TEST_F(ZipListingTest, FindsTheDirectoryBehindAnArchiveComment) {
    const std::string archive = zip("archive.zip", "\"$1\" a.txt");
    ASSERT_TRUE(
        platform::runAndWait(
            {"/bin/sh", "-c", "echo 'a comment PK' | \"$0\" -q -z \"$1\"", kZip, archive}, {})
            .exitedNormally);
    ASSERT_GT(fs::file_size(archive), 22u + 100u);
    const auto entries = listed(archive);
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 1u);
    EXPECT_EQ(entries->front().name, "a.txt");
}

TEST_F(ZipListingTest, ReadsThroughADescriptorPath) {
    const std::string archive = zip("archive.zip", "\"$1\" a.txt");
    const int descriptor = ::open(archive.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(descriptor, 0);
    const auto entries = listed("/dev/fd/" + std::to_string(descriptor));
    ::close(descriptor);
    ASSERT_TRUE(entries);
    EXPECT_EQ(entries->size(), 1u);
}

TEST_F(ZipListingTest, AnEmptyArchiveHasNoEntries) {
    std::string end(22, '\0');
    put32(end, 0, 0x06054b50);
    const auto entries = listed(write("empty.zip", end));
    ASSERT_TRUE(entries);
    EXPECT_TRUE(entries->empty());
}

TEST_F(ZipListingTest, TruncatedArchivesAreNotReadable) {
    const std::string whole = bytesOf(zip("archive.zip", "-r -y \"$1\" a.txt sub link"));
    ASSERT_TRUE(listed(write("copy.zip", whole)));
    for (const std::size_t size : {std::size_t{0}, std::size_t{4}, std::size_t{21},
                                   whole.size() / 2, whole.size() - 22, whole.size() - 1}) {
        EXPECT_FALSE(listed(write("cut.zip", whole.substr(0, size)))) << size;
    }
}

TEST_F(ZipListingTest, DamagedDirectoriesAreNotReadable) {
    const std::string whole = bytesOf(zip("archive.zip", "-r -y \"$1\" a.txt sub link"));
    const std::size_t end = whole.size() - 22;  // no comment: the end record closes the file
    const unsigned count = get16(whole, end + 10);
    const struct {
        std::string why;
        std::function<void(std::string&)> damage;
    } rows[] = {
        {"directory beyond the file", [&](std::string& b) { put32(b, end + 16, 0x7fffff00); }},
        {"directory overlaps the end record",
         [&](std::string& b) { put32(b, end + 12, static_cast<unsigned>(end)); }},
        {"more entries than stored",
         [&](std::string& b) {
             put16(b, end + 8, count + 1);
             put16(b, end + 10, count + 1);
         }},
        {"second volume", [&](std::string& b) { put16(b, end + 4, 1); }},
        {"entry counts disagree", [&](std::string& b) { put16(b, end + 8, count - 1); }},
        {"zip64 marker",
         [&](std::string& b) {
             put16(b, end + 8, 0xffff);
             put16(b, end + 10, 0xffff);
         }},
        {"entry signature",
         [&](std::string& b) {
             const unsigned offset = get16(b, end + 16) | get16(b, end + 18) << 16;
             b[offset] = 'X';
         }},
        {"name longer than the directory",
         [&](std::string& b) {
             const unsigned offset = get16(b, end + 16) | get16(b, end + 18) << 16;
             put16(b, offset + 28, 0xfff0);
         }},
    };
    for (const auto& row : rows) {
        std::string bytes = whole;
        row.damage(bytes);
        EXPECT_FALSE(listed(write("damaged.zip", bytes))) << row.why;
    }
}

TEST_F(ZipListingTest, WhatIsNoArchiveIsNotReadable) {
    fs::create_directory(path("folder.zip"));
    ASSERT_EQ(::mkfifo(path("fifo.zip").c_str(), 0644), 0);  // must not wait for a writer
    const struct {
        std::string file;
        std::string why;
    } rows[] = {
        {write("text.zip", std::string(5000, 'x')), "plain text"},
        {write("short.zip", "PK\x05\x06"), "a signature alone"},
        {path("missing.zip"), "missing"},
        {path("folder.zip"), "a folder"},
        {"/dev/null", "a device"},
        {path("fifo.zip"), "a named pipe"},
        {"", "no name"},
    };
    for (const auto& row : rows) {
        EXPECT_FALSE(listed(row.file)) << row.why;
    }
}

// Archives the extractor reads although the old listing could not: the check must see
// their links too.
TEST_F(ZipListingTest, Zip64AndPrefixedArchivesAreListedWithTheirLinks) {
    const std::string plain = bytesOf(zip("plain.zip", "-y \"$1\" a.txt link"));
    const std::string zip64 = bytesOf(zip("zip64.zip", "-fz -y \"$1\" a.txt link"));
    const std::string stub(4000, 'S');
    for (const auto& [name, bytes] : std::map<std::string, std::string>{
             {"zip64", zip64}, {"prefixed", stub + plain}, {"prefixed zip64", stub + zip64}}) {
        const auto entries = listed(write("archive.zip", bytes));
        ASSERT_TRUE(entries) << name << ": " << refusal(path("archive.zip"));
        auto map = byName(*entries);
        ASSERT_EQ(entries->size(), 2u) << name;
        EXPECT_FALSE(map["a.txt"].isSymlink) << name;
        EXPECT_TRUE(map["link"].isSymlink) << name;
        EXPECT_EQ(platform::listZipEntriesIn(bytes).size(), 2u) << name;
    }
}

TEST_F(ZipListingTest, MultiVolumeArchiveIsRefusedWithAReason) {
    std::ofstream(m_folder / "content" / "big.bin", std::ios::binary) << std::string(300000, 'b');
    std::string noise(300000, '\0');
    for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>((i * 7919) >> 3);
    std::ofstream(m_folder / "content" / "noise.bin", std::ios::binary) << noise;
    const std::string archive = zip("split.zip", "-s 64k -0 \"$1\" big.bin noise.bin");
    ASSERT_TRUE(fs::exists(path("split.z01")));
    EXPECT_NE(refusal(archive).find("multi-volume"), std::string::npos) << refusal(archive);
}

// An entry hidden beyond the count the end record announces is still an entry to the
// extractor; the listing sees it and refuses the miscounted directory.
TEST_F(ZipListingTest, EntriesBeyondTheAnnouncedCountAreNotHidden) {
    std::string bytes = bytesOf(zip("archive.zip", "-y \"$1\" a.txt link"));
    const std::size_t end = bytes.size() - 22;
    put16(bytes, end + 8, 1);
    put16(bytes, end + 10, 1);
    EXPECT_NE(refusal(write("hidden.zip", bytes)).find("does not hold the 1 entries"),
              std::string::npos);
}

TEST(UnpackedPath, IsWhereTheExtractorPutsAnEntry) {
    const std::pair<std::string, std::string> rows[] = {{"a/b.txt", "a/b.txt"},
                                                        {"/etc/passwd", "etc/passwd"},
                                                        {"../../x", "x"},
                                                        {"a/./b//c/", "a/b/c"},
                                                        {"..", ""},
                                                        {"", ""},
                                                        {"a/../b", "a/b"}};
    for (const auto& [name, path] : rows) EXPECT_EQ(platform::unpackedPath(name), path) << name;
}

TEST_F(ZipListingTest, UnpackedLinksAreFoundAndRemovedWithoutFollowingThem) {
    const fs::path target = m_folder / "target";
    const fs::path outside = m_folder / "outside";
    fs::create_directories(target / "real");
    fs::create_directories(outside);
    std::ofstream(outside / "keep") << "keep";
    fs::create_symlink(outside, target / "dir-link");
    fs::create_symlink(outside / "keep", target / "real" / "file-link");
    std::ofstream(target / "real" / "plain") << "x";
    std::vector<std::string> found;
    for (const platform::StrayFile& stray : platform::findStrayFiles(target.string(), true)) {
        EXPECT_TRUE(stray.removed) << stray.path;
        EXPECT_EQ(stray.kind, "a symbolic link");
        found.push_back(stray.path);
    }
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{"dir-link", "real/file-link"}));
    EXPECT_FALSE(fs::exists(fs::symlink_status(target / "dir-link")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(target / "real" / "file-link")));
    EXPECT_TRUE(fs::exists(target / "real" / "plain"));
    EXPECT_TRUE(fs::exists(outside / "keep"));
}

namespace {

class ZipMemberTest : public ZipListingTest {
protected:
    // An archive with a stored and a deflated member (zip -0 stores, the default deflates).
    std::string archive() {
        std::string text;
        for (int i = 0; i < 2000; ++i)
            text += "line " + std::to_string(i) + " of a compressible text\n";
        std::ofstream(m_folder / "content" / "big.txt") << text;
        zip("member.zip", "\"$1\" big.txt");
        zip("member.zip", "-0 \"$1\" a.txt");
        m_text = text;
        return path("member.zip");
    }
    std::string m_text;
};

}  // namespace

TEST_F(ZipMemberTest, StoredAndDeflatedMembersAreReadInMemory) {
    const std::string file = archive();
    EXPECT_EQ(platform::readZipMember(file, "big.txt", 1 << 20), m_text);
    EXPECT_EQ(platform::readZipMember(file, "a.txt", 1 << 20), "alpha");
    const auto entries = byName(platform::listZipEntries(file));
    EXPECT_EQ(entries.at("big.txt").method, 8U);
    EXPECT_EQ(entries.at("a.txt").method, 0U);
}

TEST_F(ZipMemberTest, MissingTooLargeOrDamagedMembersAreNotRead) {
    const std::string file = archive();
    EXPECT_FALSE(platform::readZipMember(file, "BIG.TXT", 1 << 20)) << "names are exact";
    EXPECT_FALSE(platform::readZipMember(file, "big.txt", m_text.size() - 1)) << "over the limit";
    EXPECT_FALSE(platform::readZipMember(path("none.zip"), "a.txt", 100)) << "no archive";
    const std::string whole = bytesOf(file);
    const std::size_t data = whole.find("line 1");  // none: it is deflated
    EXPECT_EQ(data, std::string::npos);
    const std::size_t alpha = whole.find("alpha");
    ASSERT_NE(alpha, std::string::npos);
    std::string flipped = whole;
    flipped[alpha] = 'A';  // the checksum no longer fits
    EXPECT_FALSE(platform::readZipMember(write("flipped.zip", flipped), "a.txt", 100));
    std::string inflated = whole;
    const std::size_t local = whole.find("PK\x03\x04");
    inflated[local + 100] =
        static_cast<char>(inflated[local + 100] ^ 0x55);  // inside big.txt's data
    EXPECT_FALSE(platform::readZipMember(write("garbled.zip", inflated), "big.txt", 1 << 20));
}

namespace {

using testing_support::asiExtra;
using testing_support::unicodePathExtra;
using testing_support::zipExtra;
using testing_support::ZipMember;

constexpr unsigned kLinkMode = 0120777;

ZipMember member(const std::string& name) { return {name, "data", 0100644, "", "", "", 3 << 8}; }

std::string refusalIn(const std::string& archive) {
    try {
        platform::listZipEntriesIn(archive);
    } catch (const platform::EZipListingError& error) {
        return error.what();
    }
    return {};
}

// Archives whose entries are typed or named by fields the old listing did not read: each is
// either listed with the type the extractor gives it, or refused as disagreeing.
struct HostileRow {
    std::string why;
    std::function<void(ZipMember&)> change;
    std::string refusal;  // a phrase of the reason; empty: listed
    bool link = false;
};

}  // namespace

TEST(ZipListingFields, EntriesTypedOrNamedByExtraFieldsAreSeenAsTheExtractorSeesThem) {
    const std::string bad(4, '\0');
    const HostileRow rows[] = {
        {"a link typed only by ASi (the attributes give no type)",
         [](ZipMember& m) {
             m.mode = 0;
             m.centralExtra = asiExtra(kLinkMode, "/home");
         },
         "", true},
        {"a link typed by the local header's ASi",
         [](ZipMember& m) {
             m.mode = 0;
             m.localExtra = asiExtra(kLinkMode, "/home");
         },
         "", true},
        {"a link named by the PKWARE Unix field",
         [](ZipMember& m) { m.centralExtra = zipExtra(0x000d, std::string(12, '\0') + "/home"); },
         "", true},
        {"ASi says link, the attributes say file",
         [](ZipMember& m) { m.centralExtra = asiExtra(kLinkMode, "/home"); },
         "different file types"},
        {"the local ASi says folder, the attributes say file",
         [](ZipMember& m) { m.localExtra = asiExtra(040755); }, "different file types"},
        {"a Unicode Path names another file",
         [](ZipMember& m) { m.centralExtra = unicodePathExtra(m.name, "../.bashrc"); }, "disagree"},
        {"a Unicode Path with a wrong checksum names another file",
         [&](ZipMember& m) { m.centralExtra = zipExtra(0x7075, "\x01" + bad + "other"); },
         "disagree"},
        {"the local header's Unicode Path names another file",
         [](ZipMember& m) { m.localExtra = unicodePathExtra(m.name, "other"); }, "disagree"},
        {"the local header names another file", [](ZipMember& m) { m.localName = "QUINDOR"; },
         "disagree"},
        {"an extra field runs past its block",
         [](ZipMember& m) { m.centralExtra = zipExtra(0x5455, "abc").substr(0, 5); }, "damaged"},
        {"an ASi field too short for its mode",
         [](ZipMember& m) { m.centralExtra = zipExtra(0x756e, "\x01\x02"); }, "damaged"},
        {"a Unicode Path naming the same file",
         [](ZipMember& m) { m.centralExtra = m.localExtra = unicodePathExtra(m.name, m.name); },
         ""},
        {"an ASi field agreeing with the attributes",
         [](ZipMember& m) { m.centralExtra = asiExtra(0100600); }, ""},
        {"a name cut short by a NUL byte",
         [](ZipMember& m) { m.name = m.localName = std::string("a\0b", 3); }, "NUL byte"},
        {"padding after the last field", [](ZipMember& m) { m.localExtra = std::string(3, '\0'); },
         ""},
    };
    for (const HostileRow& row : rows) {
        ZipMember hostile = member("UK.DIC");
        row.change(hostile);
        const std::string archive = testing_support::zipArchive({member("a.txt"), hostile});
        const std::string why = refusalIn(archive);
        if (!row.refusal.empty()) {
            EXPECT_NE(why.find(row.refusal), std::string::npos) << row.why << ": " << why;
            continue;
        }
        ASSERT_EQ(why, "") << row.why;
        const auto entries = platform::listZipEntriesIn(archive);
        ASSERT_EQ(entries.size(), 2U) << row.why;
        EXPECT_EQ(entries[1].isSymlink, row.link) << row.why;
        EXPECT_FALSE(entries[0].isSymlink) << row.why;
    }
}

TEST(ZipListingFields, LocalHeadersAreLookedForPastBytesInFront) {
    const std::string archive = testing_support::zipArchive({member("a.txt")});
    EXPECT_EQ(refusalIn(std::string(1000, 'S') + archive), "");
    std::string moved = archive;
    moved[0] = 'X';  // the local header's signature
    EXPECT_NE(refusalIn(moved).find("local header"), std::string::npos) << refusalIn(moved);
}
