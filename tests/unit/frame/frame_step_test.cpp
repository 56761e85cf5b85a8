#include "frame/frame_step.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>
#include <string>

#include "frame/scene_setup.h"
#include "globe/sun_shading.h"
#include "platform/clock.h"
#include "platform/key_state.h"
#include "tests/support/bitmap_writer.h"
#include "tests/support/gl_recorder.h"
#include "textures/texture_set.h"
#include "view/camera_frame.h"
#include "view/keyboard_camera.h"
#include "view/projection.h"

namespace {

constexpr std::int64_t December22Noon = 1797940800;  // 2026-12-22 12:00:00 UTC
constexpr std::int16_t DownNow = std::int16_t(0x8000);
constexpr int Numpad9 = 0x69;
constexpr double Degrees = 180.0 / M_PI;

// Where the Camera stands above the globe, in the globe's own latitude and
// longitude (degrees): its position carried back through the SunFrame.
struct GlobePoint {
    double latitude, longitude;
};
GlobePoint CameraAboveGlobe() {
    const Vec3& p = Camera.position;
    const auto dot = [&p](const Vec3& axis) {
        return double(p.x) * axis.x + double(p.y) * axis.y + double(p.z) * axis.z;
    };
    const double x = dot(SunFrame.forward), y = dot(SunFrame.up), z = dot(SunFrame.right);
    const double r = std::sqrt(x * x + y * y + z * z);
    // The globe puts latitude 0, longitude 0 on -x and longitude 90 on -z.
    return {std::asin(y / r) * Degrees, std::atan2(-z, -x) * Degrees};
}

// Signed turn in degrees about `axis` that carries `from` to `to`.
double TurnAbout(const Vec3& axis, const Vec3& from, const Vec3& to) {
    const double ax = axis.x, ay = axis.y, az = axis.z;
    const double cx = from.y * az - from.z * ay, cy = from.z * ax - from.x * az,
                 cz = from.x * ay - from.y * ax;  // from x axis
    const double sine = -(cx * to.x + cy * to.y + cz * to.z);
    const double cosine =
        double(from.x) * to.x + double(from.y) * to.y + double(from.z) * to.z -
        (from.x * ax + from.y * ay + from.z * az) * (to.x * ax + to.y * ay + to.z * az);
    return std::atan2(sine, cosine) * Degrees;
}

const std::string& TileFolder() {
    static const std::string folder = [] {
        const std::string path = ScratchFolder() + "frame_step_tiles/";
        mkdir(path.c_str(), 0700);
        const char* names[] = {"d11", "d12", "d13", "d14", "d21", "d22", "d23", "d24",
                               "n11", "n12", "n13", "n14", "n21", "n22", "n23", "n24"};
        for (const char* name : names) {
            const Bytes tile = Bitmap24(4, 2, [](int x, int y) {
                return Rgb{std::uint8_t(40 * x), std::uint8_t(100 * y), 200};
            });
            WriteBytes(path + name + ".bmp", tile);
        }
        return path;
    }();
    return folder;
}

class FrameStepTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* zone = std::getenv("TZ");
        hadZone = zone != nullptr;
        if (hadZone) savedZone = zone;
        ASSERT_EQ(SetUpSceneWithFolder(TileFolder().c_str()), 1);
        ResizeView(1024, 768);
        firstFrame = 1;
        previousSecond = 0;
        ReleaseKeys();
        ClearGlCalls();
    }
    void TearDown() override {
        UnpinCalendarTime();
        ReleaseKeys();
        FreeTextureSet();
        if (hadZone)
            setenv("TZ", savedZone.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
        ClearGlCalls();
    }

    static void UseZone(const char* zone) {
        setenv("TZ", zone, 1);
        tzset();
    }
    static void ReleaseKeys() {
        for (int code = 0; code < 256; ++code) SetKeyState(code, 0);
        ClearKeys();
    }
    // One frame at a pinned moment; the recorded calls are dropped between frames.
    static void Frame(std::int64_t seconds) {
        ClearGlCalls();
        PinCalendarTime(seconds);
        FrameStep();
    }

    // Back to the state window creation leaves: the next frame is a first frame.
    static void Restart() {
        CreateFrames();
        CreateSunFrame();
        firstFrame = 1;
        previousSecond = 0;
    }

    bool hadZone = false;
    std::string savedZone;
};

// The index of the first line where two call lists differ, or their common length.
std::size_t FirstDifference(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
    return i;
}

TEST_F(FrameStepTest, CameraSpinsOnlyWhenTheUtcSecondChanges) {
    UseZone("UTC");
    Frame(December22Noon);  // second 0, as previousSecond starts: no spin
    EXPECT_EQ(firstFrame, 0);
    const CameraFrame aligned = Camera;

    Frame(December22Noon);
    EXPECT_NEAR(TurnAbout(SunFrame.up, aligned.position, Camera.position), 0.0, 1e-6);

    Frame(December22Noon + 1);
    EXPECT_EQ(previousSecond, 1);
    // The Earth's axis does not move within a day, so the turn is measured about it.
    EXPECT_NEAR(TurnAbout(SunFrame.up, aligned.position, Camera.position), -0.25, 1e-4);
    EXPECT_NEAR(TurnAbout(SunFrame.up, aligned.forward, Camera.forward), -0.25, 1e-4);

    Frame(December22Noon + 61);  // the same second a minute later: no spin
    EXPECT_NEAR(TurnAbout(SunFrame.up, aligned.position, Camera.position), -0.25, 1e-4);
}

TEST_F(FrameStepTest, FirstFrameSpinsWhenItsSecondIsNotZero) {
    UseZone("UTC");
    Frame(December22Noon + 3600 + 30);  // 13:00:30: the alignment is a full circle
    EXPECT_EQ(previousSecond, 30);
    // The spin came before the alignment, about the y axis window creation gave the
    // SunFrame: a quarter degree from +x toward +z. The full circle of the alignment
    // falls short by a few hundredths of a unit (its degree factor is a little low).
    const double quarter = 0.25 / Degrees;
    EXPECT_NEAR(Camera.position.x, 18000.0 * std::cos(quarter), 0.2);
    EXPECT_NEAR(Camera.position.y, 0.0, 0.2);
    EXPECT_NEAR(Camera.position.z, 18000.0 * std::sin(quarter), 0.2);
}

TEST_F(FrameStepTest, FirstFrameAlignsTheCameraFromTheLocalHour) {
    struct Case {
        const char* zone;
        double longitude;
    };
    // One hour ahead of UTC the turn is a full circle; at UTC it is 345 degrees.
    const Case cases[] = {{"UTC", -15.0}, {"CET-1", 0.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.zone);
        UseZone(c.zone);
        CreateFrames();
        firstFrame = 1;
        previousSecond = 0;
        Frame(December22Noon);
        const GlobePoint above = CameraAboveGlobe();
        EXPECT_NEAR(above.latitude, -23.0, 0.01);
        EXPECT_NEAR(above.longitude, c.longitude, 0.01);
        EXPECT_NEAR(Camera.up.x, SunFrame.up.x, 1e-5);
        EXPECT_NEAR(Camera.up.y, SunFrame.up.y, 1e-5);
        EXPECT_NEAR(Camera.up.z, SunFrame.up.z, 1e-5);
        const Vec3& p = Camera.position;
        EXPECT_NEAR(std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z), 18000.0, 0.05);
    }
    // The full circle leaves the Camera where window creation put it.
    EXPECT_NEAR(Camera.position.x, 18000.0f, 0.5f);
}

TEST_F(FrameStepTest, FrameDrawsInItsFixedOrder) {
    UseZone("UTC");
    Frame(December22Noon);
    const std::vector<GlCall>& calls = RecordedGlCalls();
    ASSERT_GT(calls.size(), 9u);
    // Clear, then the Camera's projection: the unaligned Camera on the first frame.
    EXPECT_EQ(calls[0].name, "glClearColor");
    EXPECT_EQ(calls[1].name, "glClear");
    EXPECT_EQ(calls[2].name, "glClearDepth");
    EXPECT_EQ(calls[3].name, "glMatrixMode");
    EXPECT_EQ(calls[4].name, "glLoadIdentity");
    EXPECT_EQ(calls[5].name, "gluPerspective");
    EXPECT_EQ(calls[6].name, "glBlendFunc");
    EXPECT_EQ(FormatGlCall(calls[7]), "gluLookAt(18000, 0, 0, 17999, 0, 0, 0, 1, 0)");
    // The clock text in grey before the globe, and the frame ends on the matrix reset.
    EXPECT_EQ(FormatGlCall(calls[8]),
              FormatGlCall(GlCall{"glColor3f", {0.3f, 0.3f, 0.3f}, nullptr}));
    EXPECT_EQ(FormatGlCall(calls.back()), "glLoadIdentity()");
    EXPECT_EQ(RecordedGlCallsNamed("glTexImage2D").size(), 16u);
    // From three radii out a third of the sphere faces the Camera: 864 of 2592 patches,
    // give or take the patches the horizon cuts.
    int polygons = 0;
    for (const GlCall& call : RecordedGlCallsNamed("glBegin"))
        polygons += call.args[0] == GL_POLYGON;
    EXPECT_NEAR(polygons, 864, 40);

    Frame(December22Noon);  // from the second frame on, the aligned Camera
    // The textures stay in the GL: each of the sixteen passes only binds its own.
    EXPECT_TRUE(RecordedGlCallsNamed("glTexImage2D").empty());
    EXPECT_EQ(RecordedGlCallsNamed("glBindTexture").size(), 16u);
    const GlCall lookAt = RecordedGlCallsNamed("gluLookAt").at(0);
    EXPECT_NEAR(lookAt.args[0], Camera.position.x, 0.01);
    EXPECT_NEAR(lookAt.args[1], Camera.position.y, 0.01);
    EXPECT_GT(std::abs(lookAt.args[2]), 1000.0);  // turned 345 degrees: off the x axis
}

TEST_F(FrameStepTest, WithoutTheClockOnlyTheTextIsLeftOut) {
    UseZone("UTC");
    Frame(December22Noon);
    Restart();
    showClock = 0;
    Frame(December22Noon);
    showClock = 1;
    // The same frame, less the text's colour and its line strips.
    EXPECT_TRUE(RecordedGlCallsNamed("glColor3f").empty());
    for (const GlCall& call : RecordedGlCallsNamed("glBegin"))
        EXPECT_NE(call.args[0], GL_LINE_STRIP);
    EXPECT_EQ(lastFrameTime, December22Noon);
    // The first frame projected with the camera before its alignment: another is due.
    EXPECT_TRUE(PictureMoving());
    Frame(December22Noon);
    EXPECT_FALSE(PictureMoving());
}

TEST_F(FrameStepTest, KeysActForTheFramesThatSawThemAndAreClearedAfterEach) {
    UseZone("UTC");
    SetKeyState(Numpad9, DownNow);
    SetKeyState(0x20, 1);  // the space bar, pressed since the last query
    SetKeyState(199, DownNow);
    for (int frame = 0; frame < 10; ++frame) {
        // 13:00:00 local: a full-circle alignment, and no spin at second 0.
        Frame(December22Noon + 3600);
        for (int code = 0; code < KeyStateCount; ++code)
            ASSERT_EQ(KeyStateArray[code], 0) << "frame " << frame << ", code " << code;
    }
    EXPECT_NEAR(Camera.position.x, 12995.0f, 0.1f);
    EXPECT_NEAR(Camera.position.y, 0.0f, 0.1f);
    EXPECT_NEAR(Camera.position.z, 0.0f, 0.1f);
}

TEST_F(FrameStepTest, TimesThatCannotBeBrokenDownKeepThePreviousOne) {
    UseZone("UTC");
    Frame(-86400);  // 1969: on the first frame the epoch stands in
    EXPECT_EQ(previousSecond, 0);
    CameraFrame expected = SunFrame;
    UpdateSunFrame(0, 0, 0, 1, 1);
    EXPECT_NEAR(SunFrame.forward.x, expected.forward.x, 1e-6);
    EXPECT_NEAR(SunFrame.forward.z, expected.forward.z, 1e-6);

    Frame(December22Noon + 7);
    EXPECT_EQ(previousSecond, 7);
    const CameraFrame camera = Camera;
    UpdateSunFrame(7, 0, 12, 22, 12);
    expected = SunFrame;
    for (std::int64_t bad : {std::int64_t(-1), std::numeric_limits<std::int64_t>::max()}) {
        Frame(bad);
        EXPECT_EQ(previousSecond, 7);
        EXPECT_NEAR(Camera.position.x, camera.position.x, 1e-3);
        EXPECT_NEAR(Camera.position.z, camera.position.z, 1e-3);
        EXPECT_NEAR(SunFrame.forward.x, expected.forward.x, 1e-6);
        EXPECT_NEAR(SunFrame.forward.z, expected.forward.z, 1e-6);
    }
}

TEST_F(FrameStepTest, EachViewIsDrawnAsAWindowOfItsOwnSize) {
    UseZone("UTC");
    // A landscape monitor beside a portrait one that stands higher, on a first frame
    // whose second is not 0, so that the spin, the alignment and the unaligned
    // projection of the first frame all take part.
    const ViewRect views[] = {{0, 0, 1280, 1024}, {1280, 0, 1080, 1920}};
    const std::int64_t moment = December22Noon + 30;
    // The texture objects are made by the first frame drawn in the context; every
    // run compared here finds them made.
    Frame(moment);
    std::vector<std::string> expected = {
        GlCallText("glClearColor", {0, 0, 0, 1}),
        GlCallText("glClear", {GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT}),
        GlCallText("glClearDepth", {1})};
    for (const ViewRect& view : views) {
        Restart();
        ResizeView(view.width, view.height);
        Frame(moment);
        std::vector<std::string> alone = RecordedGlCallTexts();
        ASSERT_EQ(std::vector<std::string>(alone.begin(), alone.begin() + 3),
                  std::vector<std::string>(expected.begin(), expected.begin() + 3));
        expected.push_back(GlCallText("glViewport", {double(view.x), double(view.y),
                                                     double(view.width), double(view.height)}));
        expected.insert(expected.end(), alone.begin() + 3, alone.end());
    }
    const CameraFrame cameraAlone = Camera;

    Restart();
    ResizeView(2360, 1920);
    ClearGlCalls();
    PinCalendarTime(moment);
    FrameStepViews(views, 2);
    const std::vector<std::string> drawn = RecordedGlCallTexts();
    const std::size_t at = FirstDifference(drawn, expected);
    EXPECT_EQ(drawn.size(), expected.size());
    ASSERT_EQ(at, std::min(drawn.size(), expected.size()))
        << "call " << at << ": " << drawn.at(at) << ", expected " << expected.at(at);
    EXPECT_EQ(std::memcmp(&Camera, &cameraAlone, sizeof Camera), 0);
}

TEST_F(FrameStepTest, TexturesAreUploadedOnceWhateverTheNumberOfViews) {
    UseZone("UTC");
    const ViewRect views[] = {{0, 0, 800, 600}, {800, 0, 800, 600}, {0, 600, 1600, 900}};
    ResizeView(1600, 1500);
    ClearGlCalls();
    PinCalendarTime(December22Noon);
    FrameStepViews(views, 3);
    EXPECT_EQ(RecordedGlCallsNamed("glTexImage2D").size(), 16u);

    ClearGlCalls();
    FrameStepViews(views, 3);
    // Each view binds the tiles for its sixteen passes; none is specified again.
    EXPECT_EQ(RecordedGlCallsNamed("glTexImage2D").size(), 0u);
    EXPECT_EQ(RecordedGlCallsNamed("glBindTexture").size(), 3u * 16u);
}

TEST_F(FrameStepTest, EachViewDrawsTheClockAtItsOwnStrokeWidth) {
    UseZone("UTC");
    const ViewRect views[] = {{0, 0, 800, 600}, {800, 0, 800, 600}};
    const float widths[] = {1.0f, 1.5f};
    PinCalendarTime(December22Noon);
    FrameStepViews(views, 2, widths);
    std::string order;
    for (const GlCall& call : RecordedGlCalls()) {
        if (call.name == "glViewport") order += "view ";
        if (call.name == "glLineWidth") order += FormatGlCall(call) + " ";
    }
    EXPECT_EQ(order, "view view glLineWidth(1.5) glLineWidth(1) ");

    ClearGlCalls();
    FrameStep();
    EXPECT_TRUE(RecordedGlCallsNamed("glLineWidth").empty());
}

TEST_F(FrameStepTest, SeveralViewsDoTheWorkOfAFrameOnce) {
    UseZone("UTC");
    const ViewRect views[] = {{0, 0, 800, 600}, {800, 0, 800, 600}, {0, 600, 1600, 900}};
    // A held key and a new second every frame: each acts once per frame, not per view.
    const auto run = [](const ViewRect* list, std::size_t count) {
        SetKeyState(Numpad9, DownNow);
        for (int frame = 0; frame < 6; ++frame) {
            PinCalendarTime(December22Noon + frame);
            if (list == nullptr)
                FrameStep();
            else
                FrameStepViews(list, count);
            for (int code = 0; code < KeyStateCount; ++code)
                ASSERT_EQ(KeyStateArray[code], 0) << "frame " << frame << ", code " << code;
        }
        ReleaseKeys();
    };
    run(nullptr, 0);
    const CameraFrame alone = Camera;
    const int second = previousSecond;

    Restart();
    run(views, 3);
    EXPECT_EQ(previousSecond, second);
    EXPECT_EQ(std::memcmp(&Camera, &alone, sizeof Camera), 0);

    // No view at all: the frame still moves on, and only the clear is drawn.
    ClearGlCalls();
    PinCalendarTime(December22Noon + 6);
    FrameStepViews(nullptr, 0);
    EXPECT_EQ(previousSecond, 6);
    EXPECT_EQ(RecordedGlCallTexts().size(), 3u);
}

}  // namespace
