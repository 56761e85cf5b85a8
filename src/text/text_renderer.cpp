#include "text/text_renderer.h"

#include <GL/gl.h>

#include <cmath>

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
    // Perspective: the grid plane lies `distance` along forward from the
    // position, spanned by up and right.
    CameraFrame frame;
    float distance;  // d: from the frame's position along forward
    float cellV;     // Sv
    float cellH;     // Sh
    // 2D: the orthographic window.
    float cellWidth;
    float cellHeight;
};

double Dot(const Vec3& p, const Vec3& q) {
    return double(p.x) * q.x + double(p.y) * q.y + double(p.z) * q.z;
}

bool IsSquare(const CameraFrame& f) {
    // Orbits and rotations in floats leave the axes square to within about
    // 1e-5; this is far looser, and far tighter than what would move the
    // text visibly (a lean of 1e-3 shifts its lowest row 1e-3 along forward).
    const double tolerance = 1e-3;
    return std::fabs(Dot(f.forward, f.up)) < tolerance &&
           std::fabs(Dot(f.forward, f.right)) < tolerance &&
           std::fabs(Dot(f.up, f.right)) < tolerance &&
           std::fabs(Dot(f.forward, f.forward) - 1) < tolerance &&
           std::fabs(Dot(f.up, f.up) - 1) < tolerance &&
           std::fabs(Dot(f.right, f.right) - 1) < tolerance;
}

// A frame whose up leans along its forward (as the first-frame alignment can
// leave the Camera) would tilt the text plane: its lower rows would fall behind
// the near plane, only 0.05 away, and vanish. The view itself squares the up
// (gluLookAt does), so the text is laid on the axes the view really has:
// forward, the up square to it, and right on the side the frame's right is.
// A degenerate frame (up along forward) is used as it is.
CameraFrame SquareAxes(const CameraFrame& f) {
    const double fl = std::sqrt(Dot(f.forward, f.forward));
    if (fl == 0) return f;
    const double fx = f.forward.x / fl, fy = f.forward.y / fl, fz = f.forward.z / fl;
    double rx = fy * f.up.z - fz * f.up.y;
    double ry = fz * f.up.x - fx * f.up.z;
    double rz = fx * f.up.y - fy * f.up.x;
    double rl = std::sqrt(rx * rx + ry * ry + rz * rz);
    if (rl < 1e-6) return f;
    if (rx * f.right.x + ry * f.right.y + rz * f.right.z < 0) rl = -rl;
    rx /= rl, ry /= rl, rz /= rl;
    // up = right x forward for a right that is forward x up; mirrored with it.
    const double sign = rl < 0 ? -1 : 1;
    CameraFrame square = f;
    square.forward = Vec3{float(fx), float(fy), float(fz)};
    square.right = Vec3{float(rx), float(ry), float(rz)};
    square.up = Vec3{float(sign * (ry * fz - rz * fy)), float(sign * (rz * fx - rx * fz)),
                     float(sign * (rx * fy - ry * fx))};
    return square;
}

GridPlacement PlaceGrid(const CameraFrame* frame) {
    GridPlacement grid{};
    grid.perspective = viewSettings.perspective != 0;
    if (grid.perspective) {
        const CameraFrame& view = frame ? *frame : Camera;
        grid.frame = IsSquare(view) ? view : SquareAxes(view);
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
        const CameraFrame& f = grid.frame;
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
                    const CameraFrame* frame, float lineWidth) {
    glColor3f(red, green, blue);
    if (!text || *text == '\0') return;
    const GridPlacement grid = PlaceGrid(frame);
    const bool widened = lineWidth > 0.0f && lineWidth != 1.0f;
    if (widened) glLineWidth(lineWidth);

    // Wider than the int arguments, so that no start position and no text
    // length can overflow the counters.
    long long currentRow = row;
    long long currentColumn = column;
    int previousPoints = 0;  // of the character before
    for (char* cursor = text; *cursor != '\0'; ++cursor) {
        const unsigned char code = static_cast<unsigned char>(*cursor);
        if (code >= 'a' && code <= 'z') *cursor = static_cast<char>(code - 32);

        GlyphNode* glyph = BuildGlyph(static_cast<unsigned char>(*cursor));
        int points = 0;
        glBegin(GL_LINE_STRIP);
        for (const GlyphNode* node = glyph; node; node = node->next, ++points)
            EmitPoint(grid, node->rise, node->inset, float(currentRow), float(currentColumn));
        glEnd();
        FreeGlyph(glyph);
        // Mesa 22.3 (llvmpipe, also under Wine) loses every following strip up to
        // the next two-point one when a two-point strip is followed by an empty
        // pair: "1 " in the clock would blank the rest of it. A flush there
        // keeps the strips apart; it costs one flush per "1 " and no state.
        if (points == 0 && previousPoints == 2) glFlush();
        previousPoints = points;

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
    if (widened) glLineWidth(1.0f);
}
