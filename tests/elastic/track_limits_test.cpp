// The page's size limits: the negative-percentage rule, maintained proportions and when
// the window system's record is left alone.

#include <gtest/gtest.h>

#include "elastic/track_limits.h"

namespace {

using elastic::ElasticSettings;
using elastic::MinMaxInfo;
using elastic::Screen;
using elastic::Size;

constexpr Screen k1024{1024, 768, 96};

struct LimitCase {
    int value;
    int extent;
    int pixels;
};

class ResolveLimitTest : public ::testing::TestWithParam<LimitCase> {};

TEST_P(ResolveLimitTest, PixelsOrPercentOfTheScreen) {
    EXPECT_EQ(elastic::resolveLimit(GetParam().value, GetParam().extent), GetParam().pixels);
}

INSTANTIATE_TEST_SUITE_P(Values, ResolveLimitTest,
                         ::testing::Values(LimitCase{-50, 1024, 512}, LimitCase{300, 1024, 300},
                                           LimitCase{0, 1024, 0}, LimitCase{-100, 768, 768},
                                           LimitCase{-1, 1000, 10},
                                           LimitCase{-5, 10, 0},   // 0.5: even
                                           LimitCase{-15, 10, 2},  // 1.5
                                           LimitCase{INT_MIN, 1024, INT_MAX}));

TEST(TrackLimits, RecordGetsEveryLimitSet) {
    ElasticSettings s;
    s.MinimumTrackWidth = -50;
    s.MinimumTrackHeight = 200;
    s.MaximumTrackHeight = -50;
    s.MaximizedPosY = -10;
    MinMaxInfo info;
    info.maxTrackSize = {1032, 800};  // as the system filled it
    elastic::applyLimits(s, {}, k1024, info);
    EXPECT_EQ(info.minTrackSize, (Size{512, 200}));
    EXPECT_EQ(info.maxTrackSize, (Size{1032, 384}));
    EXPECT_EQ(info.maxPositionY, 77);  // 76.8
    EXPECT_EQ(info.maxPositionX, 0);
}

TEST(TrackLimits, LimitsThatCancelOutStillApply) {
    ElasticSettings s;
    s.MinimumTrackWidth = -50;
    s.MaximumTrackWidth = 50;
    MinMaxInfo info;
    elastic::applyLimits(s, {}, k1024, info);
    EXPECT_EQ(info.minTrackSize.width, 512);
    EXPECT_EQ(info.maxTrackSize.width, 50);
}

TEST(TrackLimits, NoLimitsLeaveTheRecord) {
    MinMaxInfo info;
    info.maxSize = {1, 2};
    elastic::applyLimits(ElasticSettings{}, {}, k1024, info);
    EXPECT_EQ(info.maxSize, (Size{1, 2}));
}

struct ProportionLimitCase {
    Size scaled;
    bool centred;
    int maxTrackWidth;
    int maxTrackHeight;
    int posX;
    int posY;
    Size maximized;
};

class ProportionLimitTest : public ::testing::TestWithParam<ProportionLimitCase> {};

TEST_P(ProportionLimitTest, LargestSizeKeepsTheProportions) {
    const ProportionLimitCase c = GetParam();
    ElasticSettings s;
    Size maximized;
    elastic::maintainProportionLimits(s, c.scaled, k1024, c.centred, maximized);
    EXPECT_EQ(s.MaximumTrackWidth, c.maxTrackWidth);
    EXPECT_EQ(s.MaximumTrackHeight, c.maxTrackHeight);
    EXPECT_EQ(s.MaximizedPosX, c.posX);
    EXPECT_EQ(s.MaximizedPosY, c.posY);
    EXPECT_EQ(maximized, c.maximized);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ProportionLimitTest,
    ::testing::Values(
        ProportionLimitCase{{400, 300}, true, 1024, 0, 0, 0, {1024, 0}},  // 4:3 like the screen
        ProportionLimitCase{{400, 100}, true, 0, 256, 0, 256, {0, 256}},  // wider
        ProportionLimitCase{{300, 600}, true, 384, 0, 320, 0, {384, 0}},  // higher
        ProportionLimitCase{{300, 600}, false, 384, 0, 0, 0, {384, 0}},
        ProportionLimitCase{{0, 600}, true, 0, 0, 0, 0, {0, 0}}));  // no size yet

}  // namespace
