// The persistence file: its bytes, what a page takes from it and what it refuses.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>

#include "elastic/elastic_persistence.h"
#include "fake_page.h"
#include "fuzz/elastic/persistence_entry.h"
#include "fuzz_corpus.h"
#include "test_environment.h"

namespace {

using elastic::PersistedPlacement;
using elastic::PersistedState;
using elastic::Screen;
using elastic::Size;
using Bytes = std::vector<std::uint8_t>;

constexpr Screen k1024{1024, 768, 96};
constexpr Size kWelcome{373, 361};

PersistedState normalState() {
    PersistedState s;
    s.controlCount = 2;
    s.placement = PersistedPlacement{0.25, 0.5, 0.5, 0.25};
    s.maximumTrackHeight = -50;
    s.visible = {true, false};
    return s;
}

TEST(PersistenceFile, NormalStateByteForByte) {
    const Bytes expected{2, 0, 0, 0, 0,                       // count, state
                         0, 0, 0, 0, 0,    0,    0xD0, 0x3F,  // left 0.25
                         0, 0, 0, 0, 0,    0,    0xE0, 0x3F,  // top 0.5
                         0, 0, 0, 0, 0,    0,    0xE0, 0x3F,  // width 0.5
                         0, 0, 0, 0, 0,    0,    0xD0, 0x3F,  // height 0.25
                         0, 0, 0, 0, 0xCE, 0xFF, 0xFF, 0xFF,  // 0, -50
                         1, 0};
    EXPECT_EQ(elastic::encodePersistedState(normalState()), expected);
}

TEST(PersistenceFile, MaximizedStateHasNoPlacement) {
    PersistedState s;
    s.controlCount = 1;
    s.maximized = true;
    s.maximumTrackWidth = -60;
    s.visible = {true};
    const Bytes expected{1, 0, 0, 0, 2, 0xC4, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 1};
    EXPECT_EQ(elastic::encodePersistedState(s), expected);
    const auto back = elastic::decodePersistedState(expected, 1);
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->maximized);
    EXPECT_FALSE(back->placement);
    EXPECT_EQ(back->maximumTrackWidth, -60);
}

TEST(PersistenceFile, EveryPrefixOfAValidFileIsRefused) {
    const Bytes whole = elastic::encodePersistedState(normalState());
    for (std::size_t n = 0; n < whole.size(); ++n) {
        EXPECT_FALSE(elastic::decodePersistedState(std::span(whole.data(), n), 2)) << n;
    }
    Bytes longer = whole;
    longer.push_back(7);
    EXPECT_TRUE(elastic::decodePersistedState(longer, 2));
}

struct BadByte {
    std::size_t offset;
    std::uint8_t value;
    const char* what;
};

class RefusedFileTest : public ::testing::TestWithParam<BadByte> {};

TEST_P(RefusedFileTest, WholeFileRefused) {
    Bytes bytes = elastic::encodePersistedState(normalState());
    bytes[GetParam().offset] = GetParam().value;
    EXPECT_FALSE(elastic::decodePersistedState(bytes, 2)) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(Bytes, RefusedFileTest,
                         ::testing::Values(BadByte{0, 3, "another control count"},
                                           BadByte{3, 0x80, "negative count"},
                                           BadByte{4, 1, "minimized state"},
                                           BadByte{46, 2, "visibility byte 2"}));

struct PlacementCase {
    PersistedPlacement placement;
    int maxTrackWidth;
    bool accepted;
    const char* what;
};

class AcceptanceTest : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(AcceptanceTest, PageStaysOnScreenAndMayTakeItsDesignedSize) {
    PersistedState s = normalState();
    s.placement = GetParam().placement;
    s.maximumTrackWidth = GetParam().maxTrackWidth;
    s.maximumTrackHeight = 0;
    EXPECT_EQ(elastic::acceptablePersistedState(s, k1024, kWelcome), GetParam().accepted)
        << GetParam().what;
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kDenormal = std::numeric_limits<double>::denorm_min();

INSTANTIATE_TEST_SUITE_P(
    Files, AcceptanceTest,
    ::testing::Values(PlacementCase{{0.1, 0.1, 0.5, 0.5}, 0, true, "on screen"},
                      PlacementCase{{0, 0, 1, 1}, 0, true, "whole screen"},
                      PlacementCase{{kNaN, 0.1, 0.5, 0.5}, 0, false, "NaN left"},
                      PlacementCase{{0.1, 0.1, kInf, 0.5}, 0, false, "infinite width"},
                      PlacementCase{{0.1, 0.1, kDenormal, 0.5}, 0, false, "denormal width"},
                      PlacementCase{{kDenormal, 0.1, 0.5, 0.5}, 0, true, "denormal left is 0"},
                      PlacementCase{{-0.1, 0.1, 0.5, 0.5}, 0, false, "negative left"},
                      PlacementCase{{0.1, 0.1, -0.5, 0.5}, 0, false, "negative width"},
                      PlacementCase{{0.8, 0.1, 0.5, 0.5}, 0, false, "off the right edge"},
                      PlacementCase{{0.1, 0.9, 0.5, 0.5}, 0, false, "off the bottom"},
                      PlacementCase{{1e300, 0.1, 0.5, 0.5}, 0, false, "far away"},
                      PlacementCase{{0.1, 0.1, 0.5, 0.5}, -50, true, "largest 512 pixels"},
                      PlacementCase{{0.1, 0.1, 0.5, 0.5}, -20, false, "largest below the design"},
                      PlacementCase{{0.1, 0.1, 0.5, 0.5}, -100, false, "not written so"},
                      PlacementCase{{0.1, 0.1, 0.5, 0.5}, 100, false, "100 pixels"},
                      PlacementCase{{0.1, 0.1, 0.5, 0.5}, 400, true, "400 pixels"},
                      PlacementCase{{0.1, 0.1, 0.5, 0.5}, INT_MIN, false, "INT_MIN"}));

class PersistenceFileOnDisc : public ::testing::Test {
protected:
    void SetUp() override { folder = testing_support::testFolder("elastic"); }
    std::string write(const Bytes& bytes) {
        const auto file = folder / "page.elf";
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return file.string();
    }
    std::filesystem::path folder;
};

TEST_F(PersistenceFileOnDisc, SavedStateLoadsBack) {
    const std::string path = (folder / "page.elf").string();
    elastic::savePersistedState(path, normalState());
    const auto loaded = elastic::loadPersistedState(path, 2, k1024, kWelcome);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(elastic::encodePersistedState(*loaded), elastic::encodePersistedState(normalState()));
}

TEST_F(PersistenceFileOnDisc, FailuresAreSwallowed) {
    EXPECT_FALSE(elastic::loadPersistedState((folder / "missing").string(), 2, k1024, kWelcome));
    EXPECT_FALSE(elastic::loadPersistedState(folder.string(), 2, k1024, kWelcome));
    EXPECT_FALSE(elastic::loadPersistedState(write({}), 2, k1024, kWelcome));
    EXPECT_NO_THROW(
        elastic::savePersistedState((folder / "no/such/folder/x").string(), normalState()));
    EXPECT_NO_THROW(elastic::savePersistedState(folder.string(), normalState()));
}

class PersistedPage : public PersistenceFileOnDisc {
protected:
    void SetUp() override {
        PersistenceFileOnDisc::SetUp();
        scaler = std::make_unique<elastic::FormScaler>(form, k1024);
        elastic_testing::designWelcomePage(form, scaler->settings());
        scaler->settings().DesignScreenWidth = 1024;
        scaler->settings().DesignScreenHeight = 768;
    }
    PersistedState sixControls() {
        PersistedState s;
        s.controlCount = 6;
        s.placement = PersistedPlacement{0.1, 0.2, 0.5, 0.5};
        s.maximumTrackWidth = -50;
        s.visible = {true, true, true, true, true, false};
        return s;
    }
    elastic_testing::FakeForm form;
    std::unique_ptr<elastic::FormScaler> scaler;
};

TEST_F(PersistedPage, PlacementLimitsAndVisibilityAreTaken) {
    scaler->settings().ElFrmIniFile = write(elastic::encodePersistedState(sixControls()));
    scaler->AdaptToScreen();
    EXPECT_FALSE(form.root.children[5]->visible);
    EXPECT_EQ(scaler->settings().MaximumTrackWidth, -50);
    EXPECT_EQ(scaler->takePendingPosition(), (elastic::Bounds{102, 154, 373, 361}));
    EXPECT_EQ(scaler->takePendingSize(), (Size{512, 384}));
    EXPECT_FALSE(scaler->takePendingPosition());  // applied once, not at every message
    EXPECT_FALSE(scaler->takePendingSize());
}

TEST_F(PersistedPage, MaximizedFileMaximizesThePage) {
    PersistedState s = sixControls();
    s.maximized = true;
    s.maximumTrackWidth = 0;
    scaler->settings().ElFrmIniFile = write(elastic::encodePersistedState(s));
    scaler->AdaptToScreen();
    EXPECT_TRUE(form.isMaximized);
    EXPECT_EQ(scaler->scaledBounds(), (elastic::Bounds{0, 0, 1024, 768}));
}

TEST_F(PersistedPage, FileForAnotherControlCountIsIgnoredEntirely) {
    PersistedState s = sixControls();
    s.controlCount = 5;
    s.visible = {false, false, false, false, false};
    scaler->settings().ElFrmIniFile = write(elastic::encodePersistedState(s));
    scaler->AdaptToScreen();
    for (auto& child : form.root.children) EXPECT_TRUE(child->visible) << child->name;
    EXPECT_EQ(scaler->settings().MaximumTrackWidth, 0);
    EXPECT_FALSE(scaler->takePendingSize());
}

TEST_F(PersistedPage, SavedStateDescribesThePage) {
    scaler->AdaptToScreen();
    form.outer = {256, 192, 512, 384};
    form.root.children[1]->visible = false;
    PersistedState s = scaler->persistedState(false);
    ASSERT_TRUE(s.placement);
    EXPECT_EQ(s.placement->left, 0.25);
    EXPECT_EQ(s.placement->height, 0.5);
    EXPECT_EQ(s.visible, (std::vector<bool>{true, false, true, true, true, true}));
    // Maximized: the largest size becomes the page's share of the screen, 100 percent none.
    s = scaler->persistedState(true);
    EXPECT_EQ(s.maximumTrackWidth, -50);
    EXPECT_EQ(s.maximumTrackHeight, -50);
    form.outer = {0, 0, 1024, 768};
    EXPECT_EQ(scaler->persistedState(true).maximumTrackWidth, 0);
}

// A named pipe under the file's name, with nobody at its other end: the page's first
// message neither waits for a writer nor a reader, takes nothing and writes nothing.
TEST_F(PersistedPage, ANamedPipeIsNeitherWaitedOnNorReadNorWritten) {
    const std::string pipe = (folder / "page.elf").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    scaler->settings().ElFrmIniFile = pipe;
    scaler->AdaptToScreen();
    EXPECT_FALSE(scaler->takePendingSize());
    EXPECT_EQ(scaler->settings().MaximumTrackWidth, 0);
    elastic::savePersistedState(pipe, sixControls());
    struct stat status {};
    ASSERT_EQ(::stat(pipe.c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

TEST(PersistenceFuzzCorpus, ReplaysWithoutFinding) {
    EXPECT_GT(testing_support::replayCorpus("elastic_persistence", fuzzElasticPersistence), 0);
}

}  // namespace
