// Where the window opens: a stored place on today's screens, a laptop's small screen, a
// monitor unplugged since the last run, garbage in the settings file.
#include "app/WindowPlacement.h"

#include <gtest/gtest.h>

using namespace zentrola;

namespace {

// A 1366 x 768 laptop with a 40 pixel task bar at the bottom, and the same laptop with a
// 1920 x 1080 monitor to its right.
const std::vector<ScreenRect> kLaptop{{0, 0, 1366, 728}};
const std::vector<ScreenRect> kTwoScreens{{0, 0, 1366, 728}, {1366, 0, 1920, 1040}};
constexpr FrameMargins kFrame{1, 24, 1, 4};
constexpr int kLeastWidth = 400;
constexpr int kLeastHeight = 300;

WindowPlace place(WindowPlace wanted, const std::vector<ScreenRect>& screens = kLaptop) {
    return placeWindow(wanted, kFrame, screens, kLeastWidth, kLeastHeight);
}

void expectOnScreen(const WindowPlace& p, const ScreenRect& s) {
    EXPECT_GE(p.left, s.x);
    EXPECT_GE(p.top, s.y);
    EXPECT_LE(p.left + kFrame.left + p.width + kFrame.right, s.right());
    EXPECT_LE(p.top + kFrame.top + p.height + kFrame.bottom, s.bottom());
}

} // namespace

TEST(WindowPlacement, APlaceOnAScreenStaysAsItIs) {
    for (const WindowPlace& p :
         {WindowPlace{0, 0, 1000, 600}, WindowPlace{130, 110, 900, 500},
          WindowPlace{1366 - 902, 728 - 528, 900, 500}, WindowPlace{1500, 200, 1200, 800}}) {
        EXPECT_EQ(place(p, kTwoScreens), p);
        // Placed again, as every start places the window that the last one kept.
        EXPECT_EQ(place(place(p, kTwoScreens), kTwoScreens), p);
    }
}

TEST(WindowPlacement, AWindowLargerThanTheScreenIsMadeToFit) {
    // The designed window on a laptop at 150 % scaling: 911 x 485 logical pixels free.
    const std::vector<ScreenRect> scaled{{0, 0, 911, 485}};
    const WindowPlace p = place({20, 30, 1088, 640}, scaled);
    expectOnScreen(p, scaled.front());
    EXPECT_EQ(p.width, 911 - 2);
    EXPECT_EQ(p.height, 485 - 28);
    // Even a screen smaller than the least size wins: the window must not stick out.
    const std::vector<ScreenRect> tiny{{0, 0, 320, 240}};
    expectOnScreen(place({0, 0, 1000, 700}, tiny), tiny.front());
}

TEST(WindowPlacement, AWindowPartlyOffTheScreenComesBackWhole) {
    struct Case {
        WindowPlace wanted;
        WindowPlace expected;
    };
    for (const Case& c : {
             // Title bar above the top edge (the window crept up at every start).
             Case{{130, -50, 900, 500}, {130, 0, 900, 500}},
             // Over the task bar.
             Case{{100, 400, 900, 500}, {100, 728 - 528, 900, 500}},
             // Half off the left and the right edge.
             Case{{-300, 50, 900, 500}, {0, 50, 900, 500}},
             Case{{1000, 50, 900, 500}, {1366 - 902, 50, 900, 500}},
         })
        EXPECT_EQ(place(c.wanted), c.expected);
}

TEST(WindowPlacement, AMonitorUnpluggedSinceBringsTheWindowToTheNearestScreen) {
    // Kept on the right monitor, which is gone today: onto the laptop's right edge.
    const WindowPlace p = place({2000, 300, 1200, 700});
    expectOnScreen(p, kLaptop.front());
    EXPECT_EQ(p.left, 1366 - 2 - p.width);
    // A monitor that was left of the laptop (negative coordinates).
    const WindowPlace q = place({-1500, 100, 800, 500});
    EXPECT_EQ(q.left, 0);
    EXPECT_EQ(q.top, 100);
    // A window mostly on the right monitor stays there, whole.
    const WindowPlace r = place({1300, 100, 1000, 600}, kTwoScreens);
    expectOnScreen(r, kTwoScreens[1]);
}

TEST(WindowPlacement, GarbageInTheFileGivesACentredWindow) {
    const WindowPlace far = place({2'000'000'000, -2'000'000'000, 900, 500});
    EXPECT_EQ(far, (WindowPlace{(1366 - 902) / 2, (728 - 528) / 2, 900, 500}));
    const WindowPlace huge = place({10, 10, 2'000'000'000, 2'000'000'000});
    expectOnScreen(huge, kLaptop.front());
    const WindowPlace negative = place({10, 10, -5, -5});
    EXPECT_EQ(negative.width, kLeastWidth);
    EXPECT_EQ(negative.height, kLeastHeight);
}

TEST(WindowPlacement, TheFirstStartCentresTheDesignedSizeOnThePrimaryScreen) {
    EXPECT_EQ(centredWindow(1088, 640, kFrame, kTwoScreens),
              (WindowPlace{(1366 - 1090) / 2, (728 - 668) / 2, 1088, 640}));
    // On a screen smaller than the designed window: as large as the screen, at its corner.
    const std::vector<ScreenRect> scaled{{0, 0, 911, 485}};
    EXPECT_EQ(centredWindow(1088, 640, kFrame, scaled), (WindowPlace{0, 0, 909, 457}));
    // The free area need not start at 0: a task bar on the left or at the top.
    const std::vector<ScreenRect> shifted{{48, 30, 1318, 738}};
    const WindowPlace p = centredWindow(800, 500, kFrame, shifted);
    EXPECT_EQ(p.left, 48 + (1318 - 802) / 2);
    EXPECT_EQ(p.top, 30 + (738 - 528) / 2);
}
