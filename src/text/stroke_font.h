// The built-in stroke font: one polyline per character on a grid of sevenths.
#pragma once

struct GlyphNode {
    float aux;    // 0.3 in every node; nothing reads it
    float rise;   // cell heights above the cell's bottom edge
    float inset;  // cell widths from the cell's right edge toward the left
    GlyphNode* next;
};

// A new list of the points of the glyph for the low byte of `code`, or null when
// that character has no glyph. The caller frees it with FreeGlyph.
GlyphNode* BuildGlyph(int code);
void FreeGlyph(GlyphNode* glyph);
