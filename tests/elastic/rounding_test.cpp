// The three rounding rules, at the halves where they differ.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "elastic/rounding.h"

namespace {

struct RoundingCase {
    double x;
    int roundEven;
    int trunc;
    int roundHalfDown;
};

class RoundingTest : public ::testing::TestWithParam<RoundingCase> {};

TEST_P(RoundingTest, EachRuleAsDesigned) {
    const RoundingCase c = GetParam();
    EXPECT_EQ(elastic::RoundEven(c.x), c.roundEven) << c.x;
    EXPECT_EQ(elastic::Trunc(c.x), c.trunc) << c.x;
    EXPECT_EQ(elastic::RoundHalfDown(c.x), c.roundHalfDown) << c.x;
}

constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Halves, RoundingTest,
    ::testing::Values(RoundingCase{2.5, 2, 2, 2}, RoundingCase{3.5, 4, 3, 3},
                      RoundingCase{0.5, 0, 0, 0}, RoundingCase{-2.5, -2, -2, -2},
                      RoundingCase{-3.5, -4, -3, -3}, RoundingCase{-8.7, -9, -8, -8},
                      RoundingCase{10.24, 10, 10, 10}, RoundingCase{8 * 1.0625, 8, 8, 8},
                      RoundingCase{8 * 1.07, 9, 8, 9}, RoundingCase{8.51, 9, 8, 9},
                      RoundingCase{96.00000000000001, 96, 96, 96}, RoundingCase{0.0, 0, 0, 0},
                      // Degenerate ratios saturate instead of overflowing.
                      RoundingCase{kInf, INT_MAX, INT_MAX, INT_MAX},
                      RoundingCase{-kInf, INT_MIN, INT_MIN, INT_MIN},
                      RoundingCase{std::nan(""), 0, 0, 0},
                      RoundingCase{1e300, INT_MAX, INT_MAX, INT_MAX}));

}  // namespace
