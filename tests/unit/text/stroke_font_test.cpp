#include "text/stroke_font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Point {
    float rise;
    float inset;
};

// The points of a glyph in list order; frees the list. Empty for no glyph.
std::vector<Point> GlyphPoints(int code) {
    std::vector<Point> points;
    GlyphNode* glyph = BuildGlyph(code);
    for (const GlyphNode* node = glyph; node; node = node->next)
        points.push_back({node->rise, node->inset});
    FreeGlyph(glyph);
    return points;
}

float Sevenths(int k) {
    return float(k) / 7.0f;
}

const char Covered[] = "+,-./0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
const char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";

}  // namespace

TEST(StrokeFont, OnlyTheFortyOneCharactersHaveGlyphs) {
    int withGlyph = 0;
    for (int code = 0; code < 256; ++code) {
        GlyphNode* glyph = BuildGlyph(code);
        const bool covered = code != 0 && std::strchr(Covered, code) != nullptr;
        EXPECT_EQ(glyph != nullptr, covered) << "code " << code;
        withGlyph += glyph != nullptr;
        FreeGlyph(glyph);
    }
    EXPECT_EQ(withGlyph, 41);
    // Among them the space, the colon, the newline and lower case, which the
    // clock text and the renderer's case folding depend on.
    EXPECT_EQ(BuildGlyph(' '), nullptr);
    EXPECT_EQ(BuildGlyph(':'), nullptr);
    EXPECT_EQ(BuildGlyph('\n'), nullptr);
    EXPECT_EQ(BuildGlyph('a'), nullptr);
    FreeGlyph(nullptr);  // nothing to free is not an error
}

TEST(StrokeFont, OnlyTheLowByteOfTheCodeCounts) {
    const std::vector<Point> a = GlyphPoints('A');
    for (int code : {321, 0x7F41, -191}) {  // each has 0x41 as its low byte
        const std::vector<Point> same = GlyphPoints(code);
        ASSERT_EQ(same.size(), a.size()) << "code " << code;
        for (size_t i = 0; i < a.size(); ++i) {
            EXPECT_EQ(same[i].rise, a[i].rise);
            EXPECT_EQ(same[i].inset, a[i].inset);
        }
    }
    EXPECT_EQ(BuildGlyph(256 + ' '), nullptr);
}

TEST(StrokeFont, PointCountsOfEveryGlyph) {
    const int counts[] = {5, 2,  2, 2,  2,                           // + , - . /
                          9, 2,  5, 9,  4, 7, 8, 3, 9, 9,            // 0 to 9
                          6, 10, 6, 7,  9, 8, 9, 6, 2, 7, 7, 3, 5,   // A to M
                          4, 10, 7, 11, 7, 8, 4, 6, 3, 5, 5, 5, 4};  // N to Z
    for (size_t i = 0; i < sizeof counts / sizeof counts[0]; ++i)
        EXPECT_EQ(GlyphPoints(Covered[i]).size(), size_t(counts[i])) << Covered[i];
}

TEST(StrokeFont, EveryNodeCarriesAuxAndTheLastEndsTheList) {
    for (const char* c = Covered; *c; ++c) {
        GlyphNode* glyph = BuildGlyph(*c);
        int nodes = 0;
        for (const GlyphNode* node = glyph; node; node = node->next, ++nodes)
            EXPECT_EQ(node->aux, 0.3f) << *c;
        EXPECT_GE(nodes, 2) << *c;
        FreeGlyph(glyph);
    }
}

TEST(StrokeFont, DigitsZeroToTwoUseTheFiveDigitDecimals) {
    const std::vector<Point> one = GlyphPoints('1');
    ASSERT_EQ(one.size(), 2u);
    EXPECT_EQ(one[0].rise, 0.85714f);
    EXPECT_EQ(one[0].inset, 0.57143f);
    EXPECT_NE(one[0].rise, Sevenths(6));  // not on the sevenths grid
    EXPECT_NE(one[0].inset, Sevenths(4));
    EXPECT_EQ(one[1].rise, 0.28571f);

    // The one six-digit value: the sixth point of 0 is (2', 3").
    const std::vector<Point> zero = GlyphPoints('0');
    ASSERT_EQ(zero.size(), 9u);
    EXPECT_EQ(zero[5].rise, 0.28571f);
    EXPECT_EQ(zero[5].inset, 0.428571f);
    EXPECT_EQ(zero[0].inset, 0.42857f);
    EXPECT_NE(zero[5].inset, zero[0].inset);

    const std::vector<Point> two = GlyphPoints('2');
    ASSERT_EQ(two.size(), 5u);
    EXPECT_EQ(two[2].rise, 0.71429f);
    EXPECT_EQ(two[2].inset, 0.28571f);

    const float primed[] = {0.28571f, 0.42857f, 0.428571f, 0.57143f, 0.71429f, 0.85714f};
    for (char digit : {'0', '1', '2'}) {
        for (const Point& p : GlyphPoints(digit)) {
            EXPECT_NE(std::find(std::begin(primed), std::end(primed), p.rise), std::end(primed))
                << digit;
            EXPECT_NE(std::find(std::begin(primed), std::end(primed), p.inset), std::end(primed))
                << digit;
        }
    }
}

TEST(StrokeFont, PointAndCommaAreShortStrokes) {
    const std::vector<Point> point = GlyphPoints('.');
    ASSERT_EQ(point.size(), 2u);
    EXPECT_EQ(point[0].rise, Sevenths(1));
    EXPECT_EQ(point[0].inset, 0.5f);
    EXPECT_EQ(point[1].rise, Sevenths(3));
    EXPECT_EQ(point[1].inset, 0.5f);

    const std::vector<Point> comma = GlyphPoints(',');
    ASSERT_EQ(comma.size(), 2u);
    EXPECT_EQ(comma[0].rise, Sevenths(1));
    EXPECT_EQ(comma[0].inset, Sevenths(2));
    EXPECT_EQ(comma[1].rise, Sevenths(3));
    EXPECT_EQ(comma[1].inset, Sevenths(4));
}

TEST(StrokeFont, QIsOWithATailToTheCellCorner) {
    const std::vector<Point> o = GlyphPoints('O');
    const std::vector<Point> q = GlyphPoints('Q');
    ASSERT_EQ(o.size(), 10u);
    ASSERT_EQ(q.size(), 11u);
    for (size_t i = 0; i < o.size(); ++i) {
        EXPECT_EQ(q[i].rise, o[i].rise);
        EXPECT_EQ(q[i].inset, o[i].inset);
    }
    EXPECT_EQ(q[10].rise, 0.0f);
    EXPECT_EQ(q[10].inset, 0.0f);
    // Both hold (2, 5) twice in a row.
    for (const std::vector<Point>* glyph : {&o, &q}) {
        EXPECT_EQ((*glyph)[3].rise, Sevenths(2));
        EXPECT_EQ((*glyph)[3].inset, Sevenths(5));
        EXPECT_EQ((*glyph)[4].rise, Sevenths(2));
        EXPECT_EQ((*glyph)[4].inset, Sevenths(5));
    }
}

TEST(StrokeFont, ClosedOutlinesEndOnTheirFirstPoint) {
    for (char c : std::string("08BDO")) {
        const std::vector<Point> points = GlyphPoints(c);
        ASSERT_FALSE(points.empty()) << c;
        EXPECT_EQ(points.back().rise, points.front().rise) << c;
        EXPECT_EQ(points.back().inset, points.front().inset) << c;
    }
    // An open glyph does not.
    const std::vector<Point> c = GlyphPoints('C');
    EXPECT_FALSE(c.back().rise == c.front().rise && c.back().inset == c.front().inset);
}

TEST(StrokeFont, LettersAndDigitsKeepTheirMargins) {
    for (const char* c = Letters; *c; ++c) {
        std::vector<Point> points = GlyphPoints(*c);
        if (*c == 'Q') points.pop_back();  // the tail reaches the corner
        for (const Point& p : points) {
            EXPECT_GE(p.rise, Sevenths(1)) << *c;
            EXPECT_LE(p.rise, Sevenths(5)) << *c;
            EXPECT_GE(p.inset, Sevenths(1)) << *c;
            EXPECT_LE(p.inset, Sevenths(5)) << *c;
        }
    }
    // Digits within 2 to 6 (the primed values of 0 to 2 sit a hair off the grid).
    const float low = 0.28571f;
    for (char d = '0'; d <= '9'; ++d) {
        std::vector<Point> points = GlyphPoints(d);
        if (d == '4') {
            // The cross-bar reaches inset 1.
            EXPECT_EQ(points.back().inset, Sevenths(1));
            points.pop_back();
        }
        for (const Point& p : points) {
            EXPECT_GE(p.rise, low) << d;
            EXPECT_LE(p.rise, Sevenths(6)) << d;
            EXPECT_GE(p.inset, low) << d;
            EXPECT_LE(p.inset, Sevenths(6)) << d;
        }
    }
}
