#include "text/text_renderer.h"

#include <GL/gl.h>

#include "text/stroke_font.h"
#include "view/projection.h"

namespace {

// The tangent of 45 radians, not of 45 degrees. Deliberate: it sizes the text
// grid so that with a 45-degree field of view its half-height is 0.405 of the
// plane distance, just inside the visible 0.414.
constexpr float TanOf45Radians = 1.6197751905438615f;
// 1/2250 as a float: the vertical cell size per degree of field of view
// (25 rows over 2 x 45 / 180 of the view). Deliberately this float, not 1/2250.0.
constexpr float VerticalCellPerDegree = 0.00044444445f;
// 1/7200 as a float: the horizontal cell size per degree (80 columns). Deliberate.
constexpr float HorizontalCellPerDegree = 0.00013888889f;

// Where the glyph points of a cell go: one vertex per point, in either mode.
struct GridPlacement {
    bool perspective;
    // Perspective: the grid plane in front of `frame`.
    const CameraFrame* frame;
    float distance;  // d: from the frame's position along forward
    float cellV;     // Sv
    float cellH;     // Sh
    // 2D: the orthographic window.
    float cellWidth;
    float cellHeight;
};

GridPlacement PlaceGrid(const CameraFrame* frame) {
    GridPlacement grid{};
    grid.perspective = viewSettings.perspective != 0;
    if (grid.perspective) {
        const CameraFrame& view = frame ? *frame : Camera;
        grid.frame = &view;
        grid.distance = viewSettings.nearPlane + 0.05f;
        grid.cellV = TanOf45Radians * view.fieldOfView * grid.distance * VerticalCellPerDegree;
        grid.cellH = TanOf45Radians * view.fieldOfView * viewSettings.aspect * grid.distance *
                     HorizontalCellPerDegree;
    } else {
        grid.cellWidth = viewSettings.orthoWidth * 0.0125f;
        grid.cellHeight = viewSettings.orthoHeight * 0.04f;
    }
    return grid;
}

void EmitPoint(const GridPlacement& grid, float rise, float inset, float row, float column) {
    if (grid.perspective) {
        const CameraFrame& f = *grid.frame;
        const float a = (rise - row + 11.5f) * grid.cellV;
        const float b = (1.0f - inset + column - 40.0f) * grid.cellH;
        const float d = grid.distance;
        glVertex3f(f.position.x + d * f.forward.x + a * f.up.x + b * f.right.x,
                   f.position.y + d * f.forward.y + a * f.up.y + b * f.right.y,
                   f.position.z + d * f.forward.z + a * f.up.z + b * f.right.z);
    } else {
        const ViewSettings& v = viewSettings;
        const float x = (1.0f - inset + column) * v.aspect * grid.cellWidth + v.orthoCentreX -
                        v.orthoWidth * 0.5f;
        const float y =
            (rise - row - 1.0f) * grid.cellHeight + v.orthoHeight * 0.5f + v.orthoCentreY;
        glVertex2f(x, y);
    }
}

}  // namespace

void DrawStrokeText(char* text, float red, float green, float blue, int row, int column,
                    const CameraFrame* frame) {
    glColor3f(red, green, blue);
    if (!text) return;
    const GridPlacement grid = PlaceGrid(frame);

    // Wider than the int arguments, so that no start position and no text
    // length can overflow the counters.
    long long currentRow = row;
    long long currentColumn = column;
    for (char* cursor = text; *cursor != '\0'; ++cursor) {
        const unsigned char code = static_cast<unsigned char>(*cursor);
        if (code >= 'a' && code <= 'z') *cursor = static_cast<char>(code - 32);

        GlyphNode* glyph = BuildGlyph(static_cast<unsigned char>(*cursor));
        glBegin(GL_LINE_STRIP);
        for (const GlyphNode* node = glyph; node; node = node->next)
            EmitPoint(grid, node->rise, node->inset, float(currentRow), float(currentColumn));
        glEnd();
        FreeGlyph(glyph);

        if (*cursor == '\n') {
            ++currentRow;
            currentColumn = -1;
        }
        ++currentColumn;
        if (currentColumn == TextColumns) {
            currentColumn = 0;
            ++currentRow;
        }
    }
}
