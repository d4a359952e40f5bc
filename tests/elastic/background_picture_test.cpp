// Where the tiles of a background picture go.

#include <gtest/gtest.h>

#include "elastic/background_picture.h"

namespace {

using elastic::Point;

TEST(BackgroundTiles, NeighboursOverlapByOnePixel) {
    const std::vector<Point> tiles = elastic::tileOrigins({10, 10}, {25, 19});
    const std::vector<Point> expected{{0, 0}, {9, 0}, {18, 0}, {0, 9}, {9, 9}, {18, 9}};
    EXPECT_EQ(tiles, expected);
}

TEST(BackgroundTiles, WideAreasAreCoveredToTheEdge) {
    // A column count of width div 10 would stop 90 pixels short of the edge here.
    const std::vector<Point> tiles = elastic::tileOrigins({10, 10}, {1000, 5});
    ASSERT_FALSE(tiles.empty());
    EXPECT_GE(tiles.back().x + 10, 1000);
    EXPECT_LT(tiles[tiles.size() - 2].x + 10, 1000);
}

TEST(BackgroundTiles, DegeneratePicturesAndAreasGiveNoEndlessLoop) {
    EXPECT_TRUE(elastic::tileOrigins({0, 10}, {100, 100}).empty());
    EXPECT_TRUE(elastic::tileOrigins({10, 10}, {0, 100}).empty());
    EXPECT_EQ(elastic::tileOrigins({1, 1}, {3, 1}).size(), 3u);
}

}  // namespace
