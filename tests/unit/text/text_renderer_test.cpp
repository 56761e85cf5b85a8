#include "text/text_renderer.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/gl_recorder.h"
#include "view/projection.h"

namespace {

const CameraFrame InitialCamera{{18000, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, 0, -1}, 45};

// One character as drawn: the vertices between its glBegin and glEnd.
using Strip = std::vector<GlCall>;

// Splits the recorded calls into line strips, checking that nothing but the
// colour, flushes and strips of vertices was issued.
std::vector<Strip> RecordedStrips() {
    const std::vector<GlCall>& calls = RecordedGlCalls();
    std::vector<Strip> strips;
    bool open = false;
    for (const GlCall& call : calls) {
        const bool state =
            call.name == "glColor3f" || call.name == "glFlush" || call.name == "glLineWidth";
        if (state && !open) continue;
        if (call.name == "glBegin") {
            EXPECT_FALSE(open);
            EXPECT_EQ(call.args.at(0), double(GL_LINE_STRIP));
            strips.emplace_back();
            open = true;
        } else if (call.name == "glEnd") {
            EXPECT_TRUE(open);
            open = false;
        } else {
            EXPECT_TRUE(open) << FormatGlCall(call);
            strips.back().push_back(call);
        }
    }
    EXPECT_FALSE(open);
    return strips;
}

struct Cell {
    int row, column;
    bool operator==(const Cell& other) const { return row == other.row && column == other.column; }
};

std::ostream& operator<<(std::ostream& out, const Cell& cell) {
    return out << "(" << cell.row << ", " << cell.column << ")";
}

class TextRenderer : public ::testing::Test {
  protected:
    void SetUp() override {
        viewSettings = ViewSettings{1, 2.0f, 20000.0f, 45.0f, 4.0f / 3.0f, 250, 250, 500, 500};
        Camera = InitialCamera;
        ClearGlCalls();
    }

    // The cell a strip of the 2D mode lies in, from its first vertex: every
    // glyph point lies inside its cell, away from the left and top edges.
    Cell CellOf2D(const Strip& strip) const {
        const float cellWidth = 6.25f * viewSettings.aspect;
        EXPECT_EQ(strip.at(0).name, "glVertex2f");
        return Cell{int(std::floor((500.0 - strip.at(0).args[1]) / 20.0)),
                    int(std::floor(strip.at(0).args[0] / cellWidth))};
    }

    std::vector<Cell> DrawIn2D(const char* text, int row, int column) {
        ClearGlCalls();
        viewSettings.perspective = 0;
        std::string buffer = text;
        DrawStrokeText(&buffer[0], 1, 1, 1, row, column, nullptr);
        std::vector<Cell> cells;
        for (const Strip& strip : RecordedStrips())
            cells.push_back(strip.empty() ? Cell{-99, -99} : CellOf2D(strip));
        return cells;
    }
};

const Cell NoGlyph{-99, -99};

}  // namespace

TEST_F(TextRenderer, EmptyTextDrawsNothing) {
    char empty[] = "";
    DrawStrokeText(empty, 0.3f, 0.4f, 0.5f, 23, 0, nullptr);
    EXPECT_TRUE(RecordedStrips().empty());
    DrawStrokeText(nullptr, 0.3f, 0.4f, 0.5f, 23, 0, nullptr);
    EXPECT_TRUE(RecordedStrips().empty());
}

TEST_F(TextRenderer, NewlineStartsTheNextRowAndTakesNoCell) {
    EXPECT_EQ(DrawIn2D("AB\nC", 23, 0), (std::vector<Cell>{{23, 0}, {23, 1}, NoGlyph, {24, 0}}));
    // Cells without glyph still advance the column.
    EXPECT_EQ(DrawIn2D("A :B", 3, 5), (std::vector<Cell>{{3, 5}, NoGlyph, NoGlyph, {3, 8}}));
}

TEST_F(TextRenderer, WrapsAfterTheLastColumn) {
    EXPECT_EQ(DrawIn2D("AB", 5, 79), (std::vector<Cell>{{5, 79}, {6, 0}}));
    // A newline right after the wrap moves down once more, leaving a row empty.
    EXPECT_EQ(DrawIn2D("A\nB", 5, 79), (std::vector<Cell>{{5, 79}, NoGlyph, {7, 0}}));
    // The wrap is a test for column 80 exactly: beyond it text runs off the grid.
    EXPECT_EQ(DrawIn2D("AB", 5, 80), (std::vector<Cell>{{5, 80}, {5, 81}}));
    // Rows outside the grid keep the same spacing.
    EXPECT_EQ(DrawIn2D("A\nB", 25, 0), (std::vector<Cell>{{25, 0}, NoGlyph, {26, 0}}));
}

TEST_F(TextRenderer, ExtremeStartPositionsDoNotOverflow) {
    // Nothing useful is drawn, but the counters must not overflow (UBSan).
    char text[] = "A\nB";
    DrawStrokeText(text, 1, 1, 1, 2147483647, 2147483647, nullptr);
    EXPECT_EQ(RecordedStrips().size(), 3u);
}

TEST_F(TextRenderer, FoldsLowerCaseInTheCallersBuffer) {
    char text[] = "ab\xE9z1";
    DrawStrokeText(text, 1, 1, 1, 0, 0, nullptr);
    EXPECT_STREQ(text, "AB\xE9Z1");
    const std::vector<Strip> strips = RecordedStrips();
    ASSERT_EQ(strips.size(), 5u);
    EXPECT_EQ(strips[0].size(), 6u);  // drawn as A
    EXPECT_TRUE(strips[2].empty());   // a byte from 128 up: not drawn, not changed
    EXPECT_EQ(strips[3].size(), 4u);  // Z
}

TEST_F(TextRenderer, FirstCellOfTheOrthographicWindow) {
    viewSettings.perspective = 0;
    const float aspect = viewSettings.aspect;
    char text[] = "Q";
    DrawStrokeText(text, 1, 1, 1, 0, 0, nullptr);
    const std::vector<Strip> strips = RecordedStrips();
    ASSERT_EQ(strips.size(), 1u);
    ASSERT_EQ(strips[0].size(), 11u);
    // Values near 500 in float arithmetic: a few ulps (3e-5 each) of slack.
    const double tolerance = 2e-4;
    // The tail ends at the cell's bottom-right corner: x 6.25 * aspect, y 480.
    EXPECT_NEAR(strips[0][10].args[0], 6.25 * aspect, tolerance);
    EXPECT_NEAR(strips[0][10].args[1], 480.0, tolerance);
    // The first point (5/7, 2/7) places the cell's left edge at x 0 and top at y 500.
    EXPECT_NEAR(strips[0][0].args[0], (1.0 - 2.0 / 7) * 6.25 * aspect, tolerance);
    EXPECT_NEAR(strips[0][0].args[1], 480.0 + 20.0 * 5 / 7, tolerance);
}

TEST_F(TextRenderer, FrameArgumentIsIgnoredIn2D) {
    viewSettings.perspective = 0;
    CameraFrame elsewhere{{1, 2, 3}, {0, 0, -1}, {0, 1, 0}, {1, 0, 0}, 90};
    char text[] = "W";
    DrawStrokeText(text, 1, 1, 1, 4, 4, nullptr);
    const std::string withoutFrame = FormatGlCalls();
    ClearGlCalls();
    DrawStrokeText(text, 1, 1, 1, 4, 4, &elsewhere);
    EXPECT_EQ(FormatGlCalls(), withoutFrame);
}

TEST_F(TextRenderer, PerspectiveGridLiesJustInFrontOfTheCamera) {
    char text[] = "Q";
    DrawStrokeText(text, 1, 1, 1, 23, 0, nullptr);
    const std::vector<Strip> strips = RecordedStrips();
    ASSERT_EQ(strips.size(), 1u);
    ASSERT_EQ(strips[0].size(), 11u);
    // By hand: d = 2.05; T * 45 = 72.88988;
    //   Sv = 72.88988 * 2.05 / 2250 = 0.0664108,
    //   Sh = 72.88988 * 4/3 * 2.05 / 7200 = 0.0276712.
    // The tail point (rise 0, inset 0) at row 23, column 0:
    //   a = (0 - 23 + 11.5) Sv = -0.763724,  b = (1 - 0 + 0 - 40) Sh = -1.079175,
    //   vertex = (18000, 0, 0) + d (-1, 0, 0) + a (0, 1, 0) + b (0, 0, -1)
    //          = (17997.95, -0.763724, 1.079175).
    const GlCall& tail = strips[0][10];
    EXPECT_NEAR(tail.args[0], 17997.95, 2e-3);  // one float ulp at 18000 is 2e-3
    EXPECT_NEAR(tail.args[1], -0.763724, 2e-6);
    EXPECT_NEAR(tail.args[2], 1.079175, 2e-6);

    // The text moves with the frame: for one at the origin looking down -z the
    // same point lies at d forward + a up + b right = (b, a, -d).
    CameraFrame turned{{0, 0, 0}, {0, 0, -1}, {0, 1, 0}, {1, 0, 0}, 45};
    ClearGlCalls();
    DrawStrokeText(text, 1, 1, 1, 23, 0, &turned);
    const GlCall moved = RecordedStrips().at(0).at(10);
    EXPECT_NEAR(moved.args[0], -1.079175, 2e-6);
    EXPECT_NEAR(moved.args[1], -0.763724, 2e-6);
    EXPECT_NEAR(moved.args[2], -2.05, 2e-6);
}

TEST_F(TextRenderer, GridFitsInsideTheCamerasView) {
    // Full top and bottom rows: every stroke must lie inside the 45-degree view
    // on the grid plane, 2.05 in front of the camera.
    char text[81];
    std::memset(text, 'Q', 80);
    text[80] = '\0';
    DrawStrokeText(text, 1, 1, 1, 0, 0, nullptr);
    DrawStrokeText(text, 1, 1, 1, 24, 0, nullptr);
    const double pi = 3.14159265358979;
    const double halfHeight = std::tan(22.5 * pi / 180) * 2.05;
    const double halfWidth = halfHeight * 4.0 / 3.0;
    for (const Strip& strip : RecordedStrips())
        for (const GlCall& vertex : strip) {
            EXPECT_LE(std::fabs(vertex.args[1]), halfHeight);
            EXPECT_LE(std::fabs(vertex.args[2]), halfWidth);
        }
}

TEST_F(TextRenderer, LeaningUpIsSquaredSoTheTextStaysInFrontOfTheNearPlane) {
    // Up leaning 23.44 degrees along forward, right square to both, as the
    // first-frame alignment leaves the Camera at a solstice.
    const double lean = 23.44 * 3.14159265358979 / 180;
    Camera = CameraFrame{{18000, 0, 0},
                         {-1, 0, 0},
                         {float(-std::sin(lean)), float(std::cos(lean)), 0},
                         {0, 0, -1},
                         45};
    char text[] = "DATE:31 12 2026\nLOCAL:23 59 59";
    DrawStrokeText(text, 0.3f, 0.3f, 0.3f, 23, 0, nullptr);
    const std::vector<GlCall> leaning = RecordedGlCallsNamed("glVertex3f");

    Camera = InitialCamera;
    ClearGlCalls();
    DrawStrokeText(text, 0.3f, 0.3f, 0.3f, 23, 0, nullptr);
    const std::vector<GlCall> square = RecordedGlCallsNamed("glVertex3f");

    // The same picture as with the square Camera: every vertex on the plane
    // 2.05 in front of it, none behind the near plane at 2.
    ASSERT_EQ(leaning.size(), square.size());
    ASSERT_FALSE(square.empty());
    for (size_t i = 0; i < square.size(); ++i)
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(leaning[i].args[k], square[i].args[k], 2e-3);
}

TEST_F(TextRenderer, MirroredFrameKeepsItsSideWhenSquared) {
    // Right pointing the other way (-(forward x up)), and up leaning: the text
    // keeps running toward the frame's right.
    Camera = CameraFrame{{0, 0, 0}, {0, 0, -1}, {0, 0.8f, -0.6f}, {-1, 0, 0}, 45};
    char text[] = "Q";
    DrawStrokeText(text, 1, 1, 1, 12, 79, nullptr);
    const GlCall tail = RecordedStrips().at(0).at(10);
    // Column 80's left edge is 40 Sh to the right: towards -x here; row 12's
    // bottom edge is half a cell below the centre, up being +y once squared.
    EXPECT_NEAR(tail.args[0], -40 * 0.0276712, 1e-5);
    EXPECT_NEAR(tail.args[1], -0.5 * 0.0664108, 1e-5);
    EXPECT_NEAR(tail.args[2], -2.05, 1e-5);
}

TEST_F(TextRenderer, TwoPointStripBeforeAnEmptyPairIsFlushed) {
    // The empty pair stays (every character has its pair); the flush after it
    // keeps Mesa from dropping the strips that follow.
    char text[] = "1 2-\n.A:";
    DrawStrokeText(text, 1, 1, 1, 0, 0, nullptr);
    std::string sequence;
    for (const GlCall& call : RecordedGlCalls()) {
        if (call.name == "glBegin") sequence += "[";
        if (call.name == "glVertex3f") sequence += "v";
        if (call.name == "glEnd") sequence += "]";
        if (call.name == "glFlush") sequence += "F";
    }
    EXPECT_EQ(sequence, "[vv][]F[vvvvv][vv][]F[vv][vvvvvv][]");
}

TEST_F(TextRenderer, WideStrokesAreSetForTheTextAloneAndWidthOneSetsNothing) {
    char text[] = "A1";
    DrawStrokeText(text, 1, 1, 1, 23, 0, nullptr, 2.0f);
    const std::vector<std::string> calls = RecordedGlCallTexts();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[1], GlCallText("glLineWidth", {2}));
    EXPECT_EQ(calls[2], GlCallText("glBegin", {GL_LINE_STRIP}));
    EXPECT_EQ(calls.back(), GlCallText("glLineWidth", {1}));
    EXPECT_EQ(RecordedGlCallsNamed("glLineWidth").size(), 2u);
    EXPECT_EQ(RecordedStrips().size(), 2u);

    for (const float width : {1.0f, 0.0f, -2.0f, std::nanf("")}) {
        ClearGlCalls();
        DrawStrokeText(text, 1, 1, 1, 23, 0, nullptr, width);
        EXPECT_TRUE(RecordedGlCallsNamed("glLineWidth").empty()) << width;
    }
    ClearGlCalls();
    char empty[] = "";
    DrawStrokeText(empty, 1, 1, 1, 23, 0, nullptr, 2.0f);
    EXPECT_EQ(RecordedGlCalls().size(), 1u);
}
