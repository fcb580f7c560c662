#include "app/marker_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

struct Point {
    double x, y;
    bool present;
};

// The slow, certainly right answers the index must agree with.
int bruteNearest(const std::vector<Point>& points, double x, double y, double radius)
{
    int best = -1;
    double bestDistance = radius * radius;
    for (int id = 0; id < static_cast<int>(points.size()); ++id) {
        if (!points[id].present)
            continue;
        const double distance
            = (points[id].x - x) * (points[id].x - x) + (points[id].y - y) * (points[id].y - y);
        if (distance < bestDistance || (distance == bestDistance && best < 0)) {
            best = id;
            bestDistance = distance;
        }
    }
    return best;
}

std::vector<int> bruteCollect(
    const std::vector<Point>& points, double left, double top, double right, double bottom)
{
    std::vector<int> ids;
    for (int id = 0; id < static_cast<int>(points.size()); ++id) {
        const Point& p = points[id];
        if (p.present && p.x >= left && p.x <= right && p.y >= top && p.y <= bottom)
            ids.push_back(id);
    }
    return ids;
}

std::vector<int> sorted(std::vector<int> ids)
{
    std::sort(ids.begin(), ids.end());
    return ids;
}

// Positions mostly on a 300 x 200 area, some off it, some on a coarse lattice so that ties occur.
double randomPosition(std::mt19937& random, double size)
{
    switch (random() % 4) {
    case 0:
        return std::uniform_real_distribution<double>(-50, size + 50)(random);
    case 1:
        return static_cast<double>(random() % static_cast<unsigned>(size / 4)) * 4;
    default:
        return std::uniform_real_distribution<double>(0, size)(random);
    }
}

TEST(MarkerIndex, AgreesWithSearchingEveryPointThroughChanges)
{
    std::mt19937 random(7);
    MarkerIndex index;
    index.reset(300, 200, 8);
    std::vector<Point> points(600, Point { 0, 0, false });
    for (int step = 0; step < 6000; ++step) {
        const int id = static_cast<int>(random() % points.size());
        Point& point = points[id];
        const double x = randomPosition(random, 300);
        const double y = randomPosition(random, 200);
        switch (random() % 3) {
        case 0:
            EXPECT_EQ(index.insert(id, x, y), !point.present);
            if (!point.present)
                point = { x, y, true };
            break;
        case 1:
            EXPECT_EQ(index.move(id, x, y), point.present);
            if (point.present)
                point = { x, y, true };
            break;
        default:
            EXPECT_EQ(index.remove(id), point.present);
            point.present = false;
            break;
        }
        const double qx = randomPosition(random, 300);
        const double qy = randomPosition(random, 200);
        for (double radius : { 0.0, 3.0, 6.5, 20.0, 1000.0 })
            ASSERT_EQ(index.nearest(qx, qy, radius), bruteNearest(points, qx, qy, radius))
                << "step " << step << " at " << qx << ", " << qy << " within " << radius;
        if (step % 50 == 0) {
            ASSERT_EQ(sorted([&] {
                std::vector<int> ids;
                index.collect(qx - 17, qy - 9, qx + 17, qy + 9, ids);
                return ids;
            }()),
                bruteCollect(points, qx - 17, qy - 9, qx + 17, qy + 9))
                << "step " << step;
        }
    }
    EXPECT_EQ(index.size(),
        static_cast<std::size_t>(
            std::count_if(points.begin(), points.end(), [](const Point& p) { return p.present; })));
}

TEST(MarkerIndex, FindsTheNearestAmongManyAsSearchingAllDoes)
{
    std::mt19937 random(11);
    MarkerIndex index;
    index.reset(960, 720, 8);
    std::vector<Point> points;
    for (int id = 0; id < 20000; ++id) {
        points.push_back({ randomPosition(random, 960), randomPosition(random, 720), true });
        index.insert(id, points.back().x, points.back().y);
    }
    for (int query = 0; query < 500; ++query) {
        const double x = randomPosition(random, 960);
        const double y = randomPosition(random, 720);
        ASSERT_EQ(index.nearest(x, y, 5.0), bruteNearest(points, x, y, 5.0)) << x << ", " << y;
    }
}

TEST(MarkerIndex, OfEquallyNearOnesFindsTheLowestId)
{
    MarkerIndex index;
    index.reset(100, 100, 8);
    // Equally far on either side, across a cell border, and inserted highest first.
    for (const auto& [id, x, y] : { std::tuple { 9, 20.0, 20.0 }, { 4, 12.0, 20.0 }, { 7, 16.0, 24.0 },
             { 5, 16.0, 16.0 }, { 2, 40.0, 40.0 }, { 8, 40.0, 40.0 } })
        ASSERT_TRUE(index.insert(id, x, y));
    EXPECT_EQ(index.nearest(16, 20, 4), 4);
    EXPECT_EQ(index.nearest(16, 20, 3.9), -1) << "the radius counts inclusively, and no further";
    EXPECT_EQ(index.nearest(40, 40, 0), 2);
    index.remove(4);
    EXPECT_EQ(index.nearest(16, 20, 4), 5);
    index.move(2, 16, 20);
    EXPECT_EQ(index.nearest(16, 20, 4), 2);
    EXPECT_EQ(index.nearest(40, 40, 0), 8);
}

TEST(MarkerIndex, RefusesWhatItCannotHold)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    MarkerIndex index;
    index.reset(100, 100, 8);
    EXPECT_TRUE(index.insert(3, 10, 10));
    EXPECT_FALSE(index.insert(3, 20, 20)) << "already present";
    EXPECT_FALSE(index.insert(-1, 20, 20));
    EXPECT_FALSE(index.insert(4, nan, 20));
    EXPECT_FALSE(index.insert(4, 20, infinity));
    EXPECT_FALSE(index.move(3, nan, 0));
    EXPECT_FALSE(index.move(5, 1, 1)) << "absent";
    EXPECT_FALSE(index.remove(5));
    EXPECT_FALSE(index.remove(-7));
    EXPECT_EQ(index.size(), 1u);
    EXPECT_EQ(index.nearest(10, 10, 0), 3);
    EXPECT_EQ(index.nearest(nan, 10, 5), -1);
    EXPECT_EQ(index.nearest(10, 10, nan), -1);
    EXPECT_EQ(index.nearest(10, 10, -1), -1);
    EXPECT_EQ(index.nearest(-1e300, 1e300, infinity), 3) << "every cell searched";

    // Far-off positions and absurd areas neither overflow nor lose the marker.
    EXPECT_TRUE(index.insert(9, 1e300, -1e300));
    EXPECT_EQ(index.nearest(1e300, -1e300, 1), 9);
    for (const auto& [width, height, cell] : { std::tuple { 1e300, 1.0, 8.0 }, { nan, nan, nan },
             { 0.0, -5.0, 0.0 }, { 1e6, 1e6, 1.0 }, { infinity, 10.0, 8.0 } }) {
        index.reset(width, height, cell);
        EXPECT_EQ(index.size(), 0u);
        EXPECT_TRUE(index.insert(2, 5e5, 5e5));
        EXPECT_EQ(index.nearest(5e5, 5e5, 0.5), 2) << width;
    }
}

} // namespace
