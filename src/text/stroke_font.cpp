#include "text/stroke_font.h"

#include <new>

namespace {

// A coordinate in the glyph table: 0 to 6 are sevenths of the cell (k/7), the
// named codes stand for values off that grid. The digits 0, 1 and 2 were laid
// out with five- and six-digit decimals (0.28571, not 2/7) a hair off the
// sevenths of the other glyphs; they keep those exact values.
enum GridValue : signed char {
    Mid = 20,  // 0.5
    P2,        // 0.28571
    P3,        // 0.42857
    PP3,       // 0.428571
    P4,        // 0.57143
    P5,        // 0.71429
    P6,        // 0.85714
};

float GridValueOf(signed char value) {
    switch (value) {
        case Mid:
            return 0.5f;
        case P2:
            return 0.28571f;
        case P3:
            return 0.42857f;
        case PP3:
            return 0.428571f;
        case P4:
            return 0.57143f;
        case P5:
            return 0.71429f;
        case P6:
            return 0.85714f;
        // Float division is correctly rounded: the float nearest to k/7.
        default:
            return float(value) / 7.0f;
    }
}

constexpr int MaxGlyphPoints = 11;

struct GlyphPoint {
    signed char rise;
    signed char inset;
};

struct GlyphRow {
    char code;
    int count;
    GlyphPoint points[MaxGlyphPoints];  // (rise, inset) in drawing order
};

// clang-format off
constexpr GlyphRow GlyphTable[] = {
    {'+',  5, {{6, Mid}, {1, Mid}, {Mid, Mid}, {Mid, 1}, {Mid, 6}}},
    {',',  2, {{1, 2}, {3, 4}}},
    {'-',  2, {{3, 5}, {3, 1}}},
    {'.',  2, {{1, Mid}, {3, Mid}}},
    {'/',  2, {{6, 2}, {2, 6}}},
    {'0',  9, {{P6, P3}, {P6, P5}, {P5, P6}, {P3, P6}, {P2, P5}, {P2, PP3}, {P3, P2}, {P5, P2}, {P6, P3}}},
    {'1',  2, {{P6, P4}, {P2, P4}}},
    {'2',  5, {{P6, P6}, {P6, P3}, {P5, P2}, {P2, P6}, {P2, P2}}},
    {'3',  9, {{6, 6}, {6, 3}, {5, 2}, {4, 3}, {4, 4}, {4, 3}, {3, 2}, {2, 3}, {2, 6}}},
    {'4',  4, {{2, 2}, {6, 2}, {4, 5}, {4, 1}}},
    {'5',  7, {{6, 2}, {6, 6}, {4, 6}, {4, 3}, {3, 2}, {2, 3}, {2, 6}}},
    {'6',  8, {{6, 2}, {6, 5}, {5, 6}, {2, 6}, {2, 3}, {3, 2}, {4, 3}, {4, 6}}},
    {'7',  3, {{6, 6}, {6, 2}, {2, 5}}},
    {'8',  9, {{6, 3}, {6, 5}, {5, 6}, {3, 2}, {2, 3}, {2, 5}, {3, 6}, {5, 2}, {6, 3}}},
    {'9',  9, {{2, 6}, {2, 3}, {3, 2}, {5, 2}, {6, 3}, {6, 5}, {5, 6}, {4, 5}, {4, 2}}},
    {'A',  6, {{1, 1}, {5, 1}, {5, 5}, {1, 5}, {3, 5}, {3, 1}}},
    {'B', 10, {{1, 5}, {5, 5}, {5, 2}, {4, 1}, {3, 2}, {3, 5}, {3, 2}, {2, 1}, {1, 2}, {1, 5}}},
    {'C',  6, {{5, 1}, {5, 4}, {4, 5}, {2, 5}, {1, 4}, {1, 1}}},
    {'D',  7, {{1, 5}, {5, 5}, {5, 2}, {4, 1}, {2, 1}, {1, 2}, {1, 5}}},
    {'E',  9, {{1, 1}, {1, 4}, {2, 5}, {3, 5}, {3, 3}, {3, 5}, {4, 5}, {5, 4}, {5, 1}}},
    {'F',  8, {{1, 5}, {2, 5}, {3, 5}, {3, 3}, {3, 5}, {4, 5}, {5, 4}, {5, 1}}},
    {'G',  9, {{5, 1}, {5, 4}, {4, 5}, {2, 5}, {1, 4}, {1, 2}, {2, 1}, {3, 2}, {3, 4}}},
    {'H',  6, {{5, 1}, {1, 1}, {3, 1}, {3, 5}, {5, 5}, {1, 5}}},
    {'I',  2, {{5, 3}, {1, 3}}},
    {'J',  7, {{5, 5}, {5, 1}, {2, 1}, {1, 2}, {1, 4}, {2, 5}, {3, 5}}},
    {'K',  7, {{5, 5}, {3, 5}, {5, 1}, {3, 5}, {1, 1}, {3, 5}, {1, 5}}},
    {'L',  3, {{5, 5}, {1, 5}, {1, 1}}},
    {'M',  5, {{1, 1}, {5, 1}, {3, 3}, {5, 5}, {1, 5}}},
    {'N',  4, {{5, 1}, {1, 1}, {5, 5}, {1, 5}}},
    {'O', 10, {{5, 2}, {5, 4}, {4, 5}, {2, 5}, {2, 5}, {1, 4}, {1, 2}, {2, 1}, {4, 1}, {5, 2}}},
    {'P',  7, {{1, 5}, {3, 5}, {3, 2}, {4, 1}, {5, 2}, {5, 5}, {3, 5}}},
    {'Q', 11, {{5, 2}, {5, 4}, {4, 5}, {2, 5}, {2, 5}, {1, 4}, {1, 2}, {2, 1}, {4, 1}, {5, 2}, {0, 0}}},
    {'R',  7, {{1, 5}, {5, 5}, {5, 2}, {4, 1}, {3, 2}, {3, 5}, {1, 1}}},
    {'S',  8, {{5, 1}, {5, 4}, {4, 5}, {3, 4}, {3, 2}, {2, 1}, {1, 2}, {1, 5}}},
    {'T',  4, {{5, 1}, {5, 5}, {5, 3}, {1, 4}}},
    {'U',  6, {{5, 5}, {2, 5}, {1, 4}, {1, 2}, {2, 1}, {5, 1}}},
    {'V',  3, {{5, 5}, {1, 3}, {5, 1}}},
    {'W',  5, {{5, 1}, {1, 1}, {3, 3}, {1, 5}, {5, 5}}},
    {'X',  5, {{5, 5}, {1, 1}, {3, 3}, {1, 5}, {5, 1}}},
    {'Y',  5, {{5, 5}, {3, 3}, {5, 1}, {3, 3}, {1, 3}}},
    {'Z',  4, {{5, 5}, {5, 1}, {1, 5}, {1, 1}}},
};
// clang-format on

const GlyphRow* FindGlyphRow(unsigned char code) {
    for (const GlyphRow& row : GlyphTable)
        if (static_cast<unsigned char>(row.code) == code) return &row;
    return nullptr;
}

}  // namespace

GlyphNode* BuildGlyph(int code) {
    const GlyphRow* row = FindGlyphRow(static_cast<unsigned char>(code & 0xFF));
    if (!row) return nullptr;

    GlyphNode* head = nullptr;
    GlyphNode** tail = &head;
    for (int i = 0; i < row->count; ++i) {
        GlyphNode* node = new (std::nothrow) GlyphNode;
        if (!node) {
            // A glyph with points missing would draw a wrong character; draw none.
            FreeGlyph(head);
            return nullptr;
        }
        node->aux = 0.3f;
        node->rise = GridValueOf(row->points[i].rise);
        node->inset = GridValueOf(row->points[i].inset);
        node->next = nullptr;
        *tail = node;
        tail = &node->next;
    }
    return head;
}

void FreeGlyph(GlyphNode* glyph) {
    while (glyph) {
        GlyphNode* next = glyph->next;
        delete glyph;
        glyph = next;
    }
}
