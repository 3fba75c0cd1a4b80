// The moving average and the anti-jump test as values: no view, no platform.
#include <gtest/gtest.h>

#include <vector>

#include "engine/Smoother.h"

namespace vellum {
namespace {

// The x coordinates a stroke of these points gives at a smoothing level.
std::vector<int> Smoothed(Smoother& s, int level, const std::vector<int>& xs) {
    std::vector<int> out;
    for (size_t i = 0; i < xs.size(); ++i) out.push_back(s.Next({xs[i], -xs[i]}, level, i == 0).x);
    return out;
}

TEST(Smoother, MeansOfTheLastPointsTruncatedTowardsZero) {
    Smoother s;
    using V = std::vector<int>;
    EXPECT_EQ(Smoothed(s, 1, {10, 20, 30}), (V{10, 20, 30}));
    EXPECT_EQ(Smoothed(s, 2, {10, 20, 31}), (V{10, 15, 25}));
    EXPECT_EQ(Smoothed(s, 3, {10, 20, 31, 40}), (V{10, 13, 20, 30}));
    EXPECT_EQ(Smoothed(s, 4, {10, 20, 31, 40, 50}), (V{10, 12, 17, 25, 35}));
    EXPECT_EQ(Smoothed(s, 0, {7, 9}), (V{7, 9}));  // other levels: the point itself
    EXPECT_EQ(Smoothed(s, 5, {7, 9}), (V{7, 9}));
    // Negative coordinates truncate towards zero as well: (-1 + -2) / 2 = -1.
    EXPECT_EQ(Smoothed(s, 2, {-1, -2}), (V{-1, -1}));
}

TEST(Smoother, EachStrokeStartsAfreshAndCopiesCarryTheirHistory) {
    Smoother s;
    Smoothed(s, 4, {100, 104, 108});
    Smoother copy = s;
    EXPECT_EQ(s.Next({112, 0}, 4, false).x, copy.Next({112, 0}, 4, false).x);
    EXPECT_EQ(s, copy);
    // A first point is never pulled towards the previous stroke.
    EXPECT_EQ(s.Next({0, 0}, 4, true).x, 0);
}

TEST(AntiJump, MoreThanTwentyOnEitherAxisJumps) {
    EXPECT_FALSE(Jumps({100, 100}, {120, 80}));
    EXPECT_TRUE(Jumps({100, 100}, {121, 100}));
    EXPECT_TRUE(Jumps({100, 100}, {100, 79}));
    EXPECT_FALSE(Jumps({-5, -5}, {15, 15}));
}

}  // namespace
}  // namespace vellum
