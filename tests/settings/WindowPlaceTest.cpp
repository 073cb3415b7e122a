#include "settings/WindowPlace.h"

#include <gtest/gtest.h>

#include <climits>

using qel::fitToScreens;
using qel::ScreenLimits;
using qel::WindowPlace;

namespace {

// A wide primary screen and a smaller one to its right, tops aligned.
const std::vector<QRect> kTwoScreens = {QRect(0, 0, 1280, 1000), QRect(1280, 0, 1024, 768)};

} // namespace

TEST(WindowPlace, FitsStoredPlacesToTheScreens) {
    struct Case {
        const char* what;
        WindowPlace stored;
        QRect expected;
        QSize minimum = QSize(120, 80);
        int titleBarHeight = 0;
    };
    const Case cases[] = {
        {"a place that fits stays exactly", {100, 100, 500, 350}, QRect(100, 100, 500, 350)},
        {"on the second screen", {1500, 200, 700, 500}, QRect(1500, 200, 700, 500)},
        {"across both screens", {1000, 100, 600, 400}, QRect(1000, 100, 600, 400)},
        {"no bigger than both screens together",
         {100, 100, 100000, 100000},
         QRect(100, 100, 2304, 1000)},
        {"no smaller than its minimum", {100, 100, 0, -5}, QRect(100, 100, 120, 80)},
        {"the minimum wins over the screens",
         {0, 0, 500, 350},
         QRect(0, 0, 3000, 1200),
         QSize(3000, 1200)},
        {"far off to the upper right: onto the nearest screen, whole",
         {9000, -5000, 500, 350},
         QRect(1804, 0, 500, 350)},
        {"a top that a sub-window's default would overflow",
         {100, INT_MAX, 500, 350},
         QRect(100, 650, 500, 350)},
        {"every value at its extreme",
         {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
         QRect(0, 0, 2304, 1000)},
        {"enough of the title bar left of the screen's edge to take hold of",
         {-436, 100, 500, 350},
         QRect(-436, 100, 500, 350)},
        {"one pixel less", {-437, 100, 500, 350}, QRect(0, 100, 500, 350)},
        {"the title bar above the screen's top", {100, -1, 500, 350}, QRect(100, 0, 500, 350)},
        {"the title bar at the bottom edge", {100, 976, 500, 350}, QRect(100, 976, 500, 350)},
        {"a known title bar taller than the part on screen",
         {100, 976, 500, 350},
         QRect(100, 650, 500, 350),
         QSize(120, 80),
         30},
        {"below the smaller screen, beside the bigger one",
         {1500, 900, 500, 350},
         QRect(1500, 418, 500, 350)},
        {"a narrow window needs all of its title bar on screen",
         {-1, 100, 40, 300},
         QRect(0, 100, 40, 300),
         QSize(10, 10)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScreenLimits limits{kTwoScreens, c.minimum, c.titleBarHeight};
        EXPECT_EQ(fitToScreens(c.stored, limits), c.expected);
    }
}

TEST(WindowPlace, WithoutScreensOnlyTheSizeIsKeptInBounds) {
    const ScreenLimits none{{}, QSize(120, 80), 0};
    EXPECT_EQ(fitToScreens({9000, -5000, 500, 350}, none), QRect(9000, -5000, 500, 350));
    EXPECT_EQ(fitToScreens({0, 0, -1, 0}, none), QRect(0, 0, 120, 80));
    // Whatever is stored, the frame's far corner can still be named.
    const QRect extreme = fitToScreens({INT_MAX, INT_MAX, INT_MAX, INT_MAX}, none);
    EXPECT_GT(qint64(extreme.left()) + extreme.width(), qint64(extreme.left()));
    EXPECT_LE(qint64(extreme.left()) + extreme.width(), qint64(INT_MAX));
}
