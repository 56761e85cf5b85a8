#include "front/win32/monitor_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <ostream>
#include <vector>

// For GoogleTest, which compares views and prints them when they differ.
inline bool operator==(const ViewRect& a, const ViewRect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}
inline std::ostream& operator<<(std::ostream& out, const ViewRect& v) {
    return out << "{" << v.x << ", " << v.y << ", " << v.width << ", " << v.height << "}";
}

namespace {

using Views = std::vector<ViewRect>;

// The virtual screen as Windows reports it: the smallest rectangle around every monitor.
ScreenRect VirtualScreen(const std::vector<ScreenRect>& monitors) {
    ScreenRect all = monitors.at(0);
    for (const ScreenRect& m : monitors) {
        all.left = std::min(all.left, m.left);
        all.top = std::min(all.top, m.top);
        all.right = std::max(all.right, m.right);
        all.bottom = std::max(all.bottom, m.bottom);
    }
    return all;
}

Views LayOut(const std::vector<ScreenRect>& monitors) {
    return LayOutMonitorViews(VirtualScreen(monitors), monitors);
}

// Each monitor's view in the window, in the GL's coordinates, which grow upward from
// the window's bottom left; the primary is listed first.
TEST(MonitorLayout, EachArrangementGivesEachMonitorItsPlace) {
    struct Case {
        const char* arrangement;
        std::vector<ScreenRect> monitors;
        Views views;
    };
    const Case cases[] = {
        {"one monitor: the whole window", {{0, 0, 1920, 1080}}, {{0, 0, 1920, 1080}}},
        {"side by side, of equal size",
         {{0, 0, 1920, 1080}, {1920, 0, 3840, 1080}},
         {{0, 0, 1920, 1080}, {1920, 0, 1920, 1080}}},
        {"primary on the right: the window starts at x = -1280",
         {{0, 0, 1920, 1080}, {-1280, 0, 0, 1024}},
         {{1280, 0, 1920, 1080}, {0, 56, 1280, 1024}}},
        {"the second above the primary (negative y): the top half",
         {{0, 0, 1600, 900}, {0, -900, 1600, 0}},
         {{0, 0, 1600, 900}, {0, 900, 1600, 900}}},
        {"the second below the primary: the primary is the top half",
         {{0, 0, 1600, 900}, {0, 900, 1600, 1800}},
         {{0, 900, 1600, 900}, {0, 0, 1600, 900}}},
        {"sizes aligned at the top: a band of 672 rows below the smaller",
         {{0, 0, 2560, 1440}, {2560, 0, 3584, 768}},
         {{0, 0, 2560, 1440}, {2560, 672, 1024, 768}}},
        {"a portrait monitor keeps its own shape",
         {{0, 0, 1920, 1080}, {1920, -420, 3000, 1500}},
         {{0, 420, 1920, 1080}, {1920, 0, 1080, 1920}}},
        {"three in an L around negative origins",
         {{0, 0, 1920, 1080}, {-1920, 0, 0, 1080}, {-1920, -1080, 0, 0}},
         {{1920, 0, 1920, 1080}, {0, 0, 1920, 1080}, {0, 1080, 1920, 1080}}},
        {"a mirrored monitor is drawn once",
         {{0, 0, 1280, 1024}, {0, 0, 1280, 1024}},
         {{0, 0, 1280, 1024}}},
    };
    for (const Case& c : cases) EXPECT_EQ(LayOut(c.monitors), c.views) << c.arrangement;
}

TEST(MonitorLayout, ViewsTileTheirMonitorsWithoutOverlap) {
    // Every view lies inside the window and no two share a pixel, however the
    // monitors are arranged.
    const std::vector<std::vector<ScreenRect>> arrangements = {
        {{0, 0, 1920, 1080}, {1920, 200, 3200, 1224}, {-768, -300, 0, 724}},
        {{0, 0, 1366, 768}, {1366, -1080, 3286, 0}},
        {{0, 0, 800, 600}, {0, 600, 800, 1200}, {800, 0, 1600, 600}, {800, 600, 1600, 1200}},
    };
    for (const auto& monitors : arrangements) {
        const ScreenRect window = VirtualScreen(monitors);
        const Views views = LayOutMonitorViews(window, monitors);
        ASSERT_EQ(views.size(), monitors.size());
        for (std::size_t i = 0; i < views.size(); ++i) {
            const ViewRect& a = views[i];
            EXPECT_GE(a.x, 0);
            EXPECT_GE(a.y, 0);
            EXPECT_LE(a.x + a.width, window.right - window.left);
            EXPECT_LE(a.y + a.height, window.bottom - window.top);
            EXPECT_EQ(a.width, monitors[i].right - monitors[i].left);
            EXPECT_EQ(a.height, monitors[i].bottom - monitors[i].top);
            for (std::size_t j = i + 1; j < views.size(); ++j) {
                const ViewRect& b = views[j];
                const bool apart = a.x + a.width <= b.x || b.x + b.width <= a.x ||
                                   a.y + a.height <= b.y || b.y + b.height <= a.y;
                EXPECT_TRUE(apart) << a << " and " << b;
            }
        }
    }
}

TEST(MonitorLayout, PartsOutsideTheWindowAreCutAndEmptyMonitorsDropped) {
    // The window is what the system metrics give; a monitor list read a moment later
    // (a display being switched) need not agree with it.
    const ScreenRect window{0, 0, 1920, 1080};
    EXPECT_EQ(LayOutMonitorViews(window, {{-100, 0, 1820, 1080}}), (Views{{0, 0, 1820, 1080}}));
    EXPECT_EQ(
        LayOutMonitorViews(
            window,
            {{1920, 0, 3840, 1080}, {0, 0, 0, 1080}, {500, 700, 400, 900}, {0, 0, 1920, 1080}}),
        (Views{{0, 0, 1920, 1080}}));
    EXPECT_TRUE(LayOutMonitorViews(window, {}).empty());
    EXPECT_TRUE(LayOutMonitorViews(ScreenRect{0, 0, 0, 0}, {{0, 0, 1920, 1080}}).empty());
}

TEST(MonitorLayout, CoordinatesAtTheLimitsDoNotOverflow) {
    constexpr std::int32_t low = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t high = std::numeric_limits<std::int32_t>::max();
    const ScreenRect window{high - 2000, high - 1000, high, high};
    EXPECT_EQ(LayOutMonitorViews(window, {{high - 1000, high - 1000, high, high}}),
              (Views{{1000, 0, 1000, 1000}}));
    // A monitor as far away as 32 bits go: their distance does not fit in 32 bits.
    EXPECT_TRUE(LayOutMonitorViews(window, {{low, low, low + 10, low + 10}}).empty());
}

// Two monitors, the primary on the right at 192 DPI, the other at 96 and on the left
// at negative coordinates, lower than the primary.
const std::vector<MonitorArea> PrimaryOnTheRight = {{{0, 0, 1920, 1080}, true, 192},
                                                    {{-1280, 100, 0, 1124}, false, 96}};
const ScreenRect BothMonitors{-1280, 0, 1920, 1124};

TEST(MonitorLayout, EachLayoutPlansItsViewsAndTheirStrokeWidths) {
    const ViewPlan each = PlanViews(MonitorLayout::EachOwn, BothMonitors, PrimaryOnTheRight);
    EXPECT_EQ(each.views, (Views{{1280, 44, 1920, 1080}, {0, 0, 1280, 1024}}));
    EXPECT_EQ(each.strokeWidths, (std::vector<float>{2.0f, 1.0f}));

    // The primary alone; the clear blackens the rest of the window.
    const ViewPlan main = PlanViews(MonitorLayout::MainOnly, BothMonitors, PrimaryOnTheRight);
    EXPECT_EQ(main.views, (Views{{1280, 44, 1920, 1080}}));
    EXPECT_EQ(main.strokeWidths, (std::vector<float>{2.0f}));

    // One view, the window: the clock in its bottom left corner is on the left monitor.
    const ViewPlan across = PlanViews(MonitorLayout::AcrossAll, BothMonitors, PrimaryOnTheRight);
    EXPECT_TRUE(across.views.empty());
    EXPECT_EQ(across.strokeWidths, (std::vector<float>{1.0f}));
}

// One globe across all: the clock must stand on a monitor even where none shows the
// window's bottom left corner.
TEST(MonitorLayout, TheClockAcrossAllStandsOnAMonitor) {
    // The second monitor left of and higher than the primary.
    const std::vector<MonitorArea> leftAndHigher = {{{0, 0, 1920, 1080}, true, 96},
                                                    {{-1280, -600, 0, 424}, false, 192}};
    const ViewPlan higher =
        PlanViews(MonitorLayout::AcrossAll, ScreenRect{-1280, -600, 1920, 1080}, leftAndHigher);
    ASSERT_TRUE(higher.clockApart);
    EXPECT_EQ(higher.views, (Views{{0, 0, 3200, 1680}}));
    // The left monitor's bottom left is nearer the corner than the primary's.
    EXPECT_EQ(higher.clockView, (ViewRect{0, 656, 1280, 1024}));
    EXPECT_EQ(higher.strokeWidths, (std::vector<float>{2.0f}));

    // Unequal heights aligned at the top: the taller one, on the right, has the corner
    // nearest.
    const std::vector<MonitorArea> alignedAtTop = {{{0, 0, 1280, 720}, true, 96},
                                                   {{1280, 0, 3200, 1080}, false, 144}};
    const ViewPlan top =
        PlanViews(MonitorLayout::AcrossAll, ScreenRect{0, 0, 3200, 1080}, alignedAtTop);
    ASSERT_TRUE(top.clockApart);
    EXPECT_EQ(top.clockView, (ViewRect{0, 360, 1280, 720}));
    EXPECT_EQ(top.strokeWidths, (std::vector<float>{1.0f}));

    // Where a monitor shows the corner, the plan draws as one window does.
    const ViewPlan shown = PlanViews(MonitorLayout::AcrossAll, BothMonitors, PrimaryOnTheRight);
    EXPECT_FALSE(shown.clockApart);
}

TEST(MonitorLayout, OneMonitorOrNoneIsTheWholeWindowInEveryLayout) {
    const std::vector<MonitorArea> one = {{{0, 0, 1920, 1080}, true, 144}};
    for (MonitorLayout layout :
         {MonitorLayout::EachOwn, MonitorLayout::MainOnly, MonitorLayout::AcrossAll}) {
        const ViewPlan plan = PlanViews(layout, ScreenRect{0, 0, 1920, 1080}, one);
        EXPECT_TRUE(plan.views.empty());
        EXPECT_EQ(plan.strokeWidths, (std::vector<float>{1.5f}));
        const ViewPlan none = PlanViews(layout, ScreenRect{0, 0, 1920, 1080}, {});
        EXPECT_TRUE(none.views.empty());
        EXPECT_EQ(none.strokeWidths, (std::vector<float>{1.0f}));
    }
}

}  // namespace
