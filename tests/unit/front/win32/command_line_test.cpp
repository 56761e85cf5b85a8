#include "front/win32/command_line.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct Row {
    const char* line;
    RunMode mode;
    HostSource host;
    std::intptr_t hostNumber;
};

std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << '[' << (row.line ? row.line : "(null)") << ']';
}

class CommandLineTable : public ::testing::TestWithParam<Row> {};

TEST_P(CommandLineTable, GivesModeAndHost) {
    const Row& row = GetParam();
    const CommandLine parsed = ParseCommandLine(row.line);
    EXPECT_EQ(parsed.mode, row.mode);
    EXPECT_EQ(parsed.host, row.host);
    if (row.host == HostSource::Number) {
        EXPECT_EQ(parsed.hostNumber, row.hostNumber);
    }
}

constexpr RunMode kNone = RunMode::None;
constexpr RunMode kConfigure = RunMode::Configure;
constexpr RunMode kPassword = RunMode::ChangePassword;
constexpr RunMode kPreview = RunMode::Preview;
constexpr RunMode kSaver = RunMode::Saver;
constexpr HostSource kNull = HostSource::Null;
constexpr HostSource kNumber = HostSource::Number;
constexpr HostSource kForeground = HostSource::Foreground;

INSTANTIATE_TEST_SUITE_P(
    NoSwitch, CommandLineTable,
    ::testing::Values(Row{nullptr, kConfigure, kNull, 0}, Row{"", kConfigure, kNull, 0},
                      Row{"solvane.scr", kConfigure, kNull, 0},
                      Row{"solvane.scr   ", kConfigure, kNull, 0},
                      Row{"\"C:\\Saver Dir\\solvane.scr\"", kConfigure, kNull, 0},
                      Row{"\"C:\\Saver Dir\\solvane.scr\"  ", kConfigure, kNull, 0}));

INSTANTIATE_TEST_SUITE_P(
    Configure, CommandLineTable,
    ::testing::Values(Row{"solvane.scr /c", kConfigure, kForeground, 0},
                      Row{"solvane.scr -C", kConfigure, kForeground, 0},
                      Row{"solvane.scr c", kConfigure, kForeground, 0},
                      Row{"solvane.scr /c:", kConfigure, kForeground, 0},
                      Row{"solvane.scr /c : ", kConfigure, kForeground, 0},
                      Row{"solvane.scr /c:1234", kConfigure, kNumber, 1234},
                      Row{"solvane.scr /c 1234", kConfigure, kNumber, 1234},
                      Row{"solvane.scr /C : 77", kConfigure, kNumber, 77},
                      Row{"solvane.scr /c1234", kConfigure, kNumber, 1234},
                      // Something that is not a number still counts as "given": 0.
                      Row{"solvane.scr /c x", kConfigure, kNumber, 0}));

INSTANTIATE_TEST_SUITE_P(Preview, CommandLineTable,
                         ::testing::Values(Row{"solvane.scr /p 4242", kPreview, kNumber, 4242},
                                           Row{"solvane.scr -p 4242", kPreview, kNumber, 4242},
                                           Row{"solvane.scr p 4242", kPreview, kNumber, 4242},
                                           Row{"solvane.scr /P:4242", kPreview, kNumber, 4242},
                                           Row{"solvane.scr /p4242", kPreview, kNumber, 4242},
                                           Row{"solvane.scr /p : :4242", kPreview, kNumber, 4242},
                                           Row{"solvane.scr /l 99", kPreview, kNumber, 99},
                                           Row{"solvane.scr -L:99", kPreview, kNumber, 99},
                                           Row{"solvane.scr l99", kPreview, kNumber, 99},
                                           Row{"solvane.scr /p", kPreview, kNumber, 0},
                                           Row{"solvane.scr /p   ", kPreview, kNumber, 0},
                                           Row{"solvane.scr /p 12ab", kPreview, kNumber, 12},
                                           Row{"solvane.scr /p:\t 56", kPreview, kNumber, 56},
                                           Row{"solvane.scr /p -3", kPreview, kNumber, -3},
                                           Row{"solvane.scr /p +8", kPreview, kNumber, 8}));

INSTANTIATE_TEST_SUITE_P(ChangePassword, CommandLineTable,
                         ::testing::Values(Row{"solvane.scr /a 321", kPassword, kNumber, 321},
                                           Row{"solvane.scr -A:321", kPassword, kNumber, 321},
                                           Row{"solvane.scr a", kPassword, kNumber, 0},
                                           Row{"solvane.scr /a", kPassword, kNumber, 0}));

INSTANTIATE_TEST_SUITE_P(Saver, CommandLineTable,
                         ::testing::Values(Row{"solvane.scr /s", kSaver, kNull, 0},
                                           Row{"solvane.scr -S", kSaver, kNull, 0},
                                           Row{"solvane.scr s", kSaver, kNull, 0},
                                           Row{"solvane.scr /s 1234", kSaver, kNull, 0},
                                           Row{"solvane.scr /start", kSaver, kNull, 0},
                                           Row{"solvane.scr Screensaver", kSaver, kNull, 0},
                                           Row{"solvane.scr    /s", kSaver, kNull, 0},
                                           Row{"\"C:\\Saver Dir\\solvane.scr\" /s", kSaver, kNull,
                                               0},
                                           Row{"\"solvane.scr\"/s", kSaver, kNull, 0}));

INSTANTIATE_TEST_SUITE_P(
    Unrecognised, CommandLineTable,
    ::testing::Values(Row{"solvane.scr -", kNone, kNull, 0}, Row{"solvane.scr /", kNone, kNull, 0},
                      Row{"solvane.scr //s", kNone, kNull, 0},
                      Row{"solvane.scr -/s", kNone, kNull, 0},
                      Row{"solvane.scr - s", kNone, kNull, 0},
                      Row{"solvane.scr /x", kNone, kNull, 0}, Row{"solvane.scr 5", kNone, kNull, 0},
                      // After a quoted name a tab is not a separator but the switch.
                      Row{"\"solvane.scr\"\t/s", kNone, kNull, 0},
                      // An unquoted path with a space, not the saver's own, leaves the
                      // rest of it as the switch.
                      Row{"C:\\Program Files\\solvane.scr /s", kNone, kNull, 0}));

INSTANTIATE_TEST_SUITE_P(
    NameBoundaries, CommandLineTable,
    ::testing::Values(
        // After an unquoted name a tab belongs to the name, up to the next space.
        Row{"solvane.scr\t/s", kConfigure, kNull, 0},
        Row{"solvane.scr\t/x /p 7", kPreview, kNumber, 7},
        // "Files\solvane.scr" is the switch: "F" decides, not the "/s" after it.
        Row{"C:\\Program Files\\solvane.scr", kNone, kNull, 0},
        // A path whose remainder happens to start with a mode letter takes that mode.
        Row{"C:\\My Savers\\solvane.scr /s", kSaver, kNull, 0},
        // A quote never closed swallows the whole line.
        Row{"\"C:\\Saver Dir\\solvane.scr /s", kConfigure, kNull, 0},
        Row{"\"", kConfigure, kNull, 0}));

// The system starts the saver by its short path, unquoted; where a volume keeps no 8.3
// names that path is the long one, spaces and all.
TEST(CommandLineOwnPath, UnquotedOwnPathIsSkippedWhole) {
    const char* own = "C:\\Users\\John Doe\\solvane.scr";
    EXPECT_EQ(ParseCommandLine("C:\\Users\\John Doe\\solvane.scr /s", {own}).mode, kSaver);
    const CommandLine preview =
        ParseCommandLine("c:\\USERS\\john doe\\SOLVANE.SCR /p 12", {nullptr, "", own});
    EXPECT_EQ(preview.mode, kPreview);
    EXPECT_EQ(preview.hostNumber, 12);
    EXPECT_EQ(ParseCommandLine("C:\\Users\\John Doe\\solvane.scr", {own}).mode, kConfigure);
    // Only the whole path: one that goes on past it is another program's name.
    EXPECT_EQ(ParseCommandLine("C:\\Users\\John Doe\\solvane.scr2 /s", {own}).mode, kNone);
    EXPECT_EQ(ParseCommandLine("C:\\Users\\John Doey\\solvane.scr /s", {own}).mode, kNone);
    // A quoted name is skipped as before.
    EXPECT_EQ(ParseCommandLine("\"C:\\Users\\John Doe\\solvane.scr\" /s", {own}).mode, kSaver);
}

TEST(ReadHandleNumber, ReadsLikeTheCRuntime) {
    EXPECT_EQ(ReadHandleNumber(nullptr), 0);
    EXPECT_EQ(ReadHandleNumber(""), 0);
    EXPECT_EQ(ReadHandleNumber("   \t 17"), 17);
    EXPECT_EQ(ReadHandleNumber("-17"), -17);
    EXPECT_EQ(ReadHandleNumber("--17"), 0);
    EXPECT_EQ(ReadHandleNumber("+-17"), 0);
    EXPECT_EQ(ReadHandleNumber("2147483647"), 2147483647);
    EXPECT_EQ(ReadHandleNumber("-2147483648"), -2147483647 - 1);
}

TEST(ReadHandleNumber, OverlongNumbersWrapInThirtyTwoBits) {
    // A handle printed unsigned names the same sign-extended handle.
    EXPECT_EQ(ReadHandleNumber("4294967295"), -1);
    EXPECT_EQ(ReadHandleNumber("4294967296"), 0);
    // Far too many digits: no overflow, just some 32-bit value.
    const std::intptr_t value = ReadHandleNumber("99999999999999999999999999999999999999");
    EXPECT_GE(value, std::intptr_t(-2147483647 - 1));
    EXPECT_LE(value, std::intptr_t(2147483647));
}

}  // namespace
