#include "text/clock_readout.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "tests/support/gl_recorder.h"
#include "text/text_renderer.h"
#include "view/projection.h"

namespace {

std::tm BrokenDown(int year, int month, int day, int hour, int minute, int second) {
    std::tm time{};
    time.tm_year = year - 1900;
    time.tm_mon = month - 1;
    time.tm_mday = day;
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    return time;
}

std::string Compose(const std::tm& time) {
    char text[ClockTextSize];
    std::memset(text, '#', sizeof text);  // stale content with no terminator
    ComposeClockText(time, text);
    return text;
}

// Sets TZ for one test and puts the old value back.
class ScopedTimeZone {
  public:
    explicit ScopedTimeZone(const char* zone) {
        const char* old = std::getenv("TZ");
        hadOld_ = old != nullptr;
        if (hadOld_) old_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (hadOld_)
            setenv("TZ", old_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

  private:
    bool hadOld_ = false;
    std::string old_;
};

}  // namespace

TEST(ClockReadout, NumbersWithoutLeadingZeros) {
    EXPECT_EQ(Compose(BrokenDown(2026, 12, 6, 7, 5, 9)), "DATE:6 12 2026\nLOCAL:7 5 9");
    EXPECT_EQ(Compose(BrokenDown(2027, 1, 1, 0, 0, 0)), "DATE:1 1 2027\nLOCAL:0 0 0");
    EXPECT_EQ(Compose(BrokenDown(2026, 10, 20, 10, 30, 40)), "DATE:20 10 2026\nLOCAL:10 30 40");
}

TEST(ClockReadout, LongestTextIsThirtyCharacters) {
    const std::string text = Compose(BrokenDown(2026, 12, 31, 23, 59, 59));
    EXPECT_EQ(text, "DATE:31 12 2026\nLOCAL:23 59 59");
    EXPECT_EQ(text.size(), 30u);
}

TEST(ClockReadout, FractionalTimeZoneShiftsTheMinuteNotTheSecond) {
    ScopedTimeZone india("IST-5:30");
    const std::time_t moment = 1797940809;  // 2026-12-22 12:00:09 UTC
    std::tm local{}, utc{};
    ASSERT_NE(localtime_r(&moment, &local), nullptr);
    ASSERT_NE(gmtime_r(&moment, &utc), nullptr);
    EXPECT_EQ(Compose(local), "DATE:22 12 2026\nLOCAL:17 30 9");
    EXPECT_EQ(Compose(utc), "DATE:22 12 2026\nLOCAL:12 0 9");
}

TEST(ClockReadout, OutOfRangeFieldsStayInsideTheBuffer) {
    std::tm odd{};
    odd.tm_mday = INT_MIN;
    odd.tm_mon = INT_MAX;
    odd.tm_year = INT_MAX;
    odd.tm_hour = -1;
    odd.tm_min = 60;
    odd.tm_sec = 61;  // a leap second is a legal value
    EXPECT_EQ(Compose(odd), "DATE:-2147483648 2147483648 2147485547\nLOCAL:-1 60 61");
}

TEST(ClockReadout, DrawnOnTheBottomTwoRowsOfTheGrid) {
    viewSettings = ViewSettings{0, 2.0f, 20000.0f, 45.0f, 1.0f, 250, 250, 500, 500};
    char text[ClockTextSize];
    ComposeClockText(BrokenDown(2026, 12, 31, 23, 59, 59), text);
    ClearGlCalls();
    DrawStrokeText(text, 0.3f, 0.3f, 0.3f, 23, 0, nullptr);
    // With the 500 x 500 window at aspect 1, row 23 spans y 20 to 40 and row 24
    // y 0 to 20; every character stays within the 80 columns (x below 500).
    const std::vector<GlCall> vertices = RecordedGlCallsNamed("glVertex2f");
    ASSERT_FALSE(vertices.empty());
    for (const GlCall& vertex : vertices) {
        EXPECT_GE(vertex.args[1], 0.0);
        EXPECT_LT(vertex.args[1], 40.0);
        EXPECT_GE(vertex.args[0], 0.0);
        EXPECT_LT(vertex.args[0], 30 * 6.25);
    }
    // The first D sits in row 23 and the L of LOCAL (after the newline) in row 24,
    // both in column 0.
    EXPECT_GT(vertices.front().args[1], 20.0);
    EXPECT_LT(vertices.front().args[0], 6.25);
    size_t firstOfSecondLine = 0;
    while (firstOfSecondLine < vertices.size() && vertices[firstOfSecondLine].args[1] >= 20.0)
        ++firstOfSecondLine;
    ASSERT_LT(firstOfSecondLine, vertices.size());
    EXPECT_LT(vertices[firstOfSecondLine].args[0], 6.25);
}
