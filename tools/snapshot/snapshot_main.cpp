// solvane-snapshot: renders the saver's frame for a pinned UTC moment without a
// window system and writes it as a PNG. See SnapshotUsage for the command line.
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "frame/frame_step.h"
#include "frame/scene_setup.h"
#include "globe/look.h"
#include "globe/sun_shading.h"
#include "globe_angles.h"
#include "headless_context.h"
#include "platform/clock.h"
#include "platform/key_state.h"
#include "png_output.h"
#include "snapshot_options.h"
#include "textures/bitmap_loader.h"
#include "textures/texture_set.h"
#include "view/camera_frame.h"
#include "view/projection.h"

// Mesa keeps process-lifetime allocations that LeakSanitizer would report at exit in
// sanitizer builds; they are not ours to free.
extern "C" const char* __asan_default_options() {
    return "detect_leaks=0";
}

namespace {

constexpr int ExitWriteFailed = 1;
constexpr int ExitUsage = 2;
constexpr float CameraDistance = 18000.0f;

const char* const TextureFiles[] = {
    "d11.bmp", "d12.bmp", "d13.bmp", "d14.bmp", "d21.bmp", "d22.bmp", "d23.bmp", "d24.bmp",
    "n11.bmp", "n12.bmp", "n13.bmp", "n14.bmp", "n21.bmp", "n22.bmp", "n23.bmp", "n24.bmp"};

int Refuse(const char* format, const char* detail) {
    std::fprintf(stderr, "solvane-snapshot: ");
    std::fprintf(stderr, format, detail);
    std::fputc('\n', stderr);
    return ExitUsage;
}

// Every texture must load as a usable image before the set is built: the saver's own
// fallback (asking for another folder) has no place in a tool.
bool CheckTextureFolder(const std::string& folder, std::string& problem) {
    struct stat info {};
    if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        problem = "the texture folder " + folder + " does not exist or is not a folder";
        return false;
    }
    for (const char* file : TextureFiles) {
        const std::string path = folder + file;
        ByteBlock header;
        const auto pixels = LoadBitmapFile(path.c_str(), header);
        if (!pixels) {
            problem = "cannot read " + path + " as a bitmap";
            return false;
        }
        const auto rgb = ConvertToRgb(header, *pixels);
        if (!rgb || BitmapWidth(header) <= 0 || BitmapHeight(header) <= 0) {
            problem = path + " is not an uncompressed bottom-up 24-bit bitmap";
            return false;
        }
    }
    return true;
}

bool TextureSetComplete() {
    int count = 0;
    for (const TextureRecord* record = TextureList; record != nullptr; record = record->next) {
        if (record->rgb.empty() || BitmapWidth(record->header) <= 0) return false;
        ++count;
    }
    return count == 16;
}

// Holds the keys down from now on, as the keypad would: the top bit of the state.
void HoldKeys(const char* labels) {
    for (const char* label = labels; *label != '\0'; ++label)
        SetKeyState(KeypadKey(*label), INT16_MIN);
}

// The SunFrame as the frame step will build it for the pinned moment, so that the
// camera can be placed before the frame that first computes it.
void PlaceSunFrameFor(std::int64_t seconds) {
    const std::time_t moment = static_cast<std::time_t>(seconds);
    std::tm utc{};
    gmtime_r(&moment, &utc);
    UpdateSunFrame(utc.tm_sec, utc.tm_min, utc.tm_hour, utc.tm_mday, utc.tm_mon + 1);
}

void PrintInfo() {
    const GlobePoint sun = SubsolarPoint(SunFrame);
    double distance = 0;
    const GlobePoint camera = PointBeneath(SunFrame, Camera, distance);
    std::printf("subsolar_lat=%.4f\nsubsolar_lon=%.4f\n", sun.latitude, sun.longitude);
    std::printf("camera_lat=%.4f\ncamera_lon=%.4f\ncamera_distance=%.2f\n", camera.latitude,
                camera.longitude, distance);
}

}  // namespace

int main(int argc, char** argv) {
    SnapshotOptions options;
    char error[256];
    if (!ParseSnapshotOptions(argc, argv, options, error, sizeof error)) {
        std::fprintf(stderr, "solvane-snapshot: %s\n%s", error, SnapshotUsage);
        return ExitUsage;
    }
    if (options.help) {
        std::fputs(SnapshotUsage, stdout);
        return 0;
    }

    SetLook(options.look);
    std::string folder = options.textures;
    if (folder.back() != '/') folder += '/';
    std::string problem;
    if (!CheckTextureFolder(folder, problem)) return Refuse("%s", problem.c_str());
    if (!SetUpSceneWithFolder(folder.c_str()))
        return Refuse("the texture folder path %s is too long (92 characters at most)",
                      folder.c_str());
    if (!TextureSetComplete()) return Refuse("the textures in %s did not all load", folder.c_str());

    PinCalendarTime(options.utcSeconds);
    showClock = options.noClock ? 0 : 1;

    HeadlessContext gl;
    if (!gl.Open(options.width, options.height, error, sizeof error))
        return Refuse("no usable headless OpenGL: %s", error);
    // A tile too large for this GL is a bad tile, which the tool refuses.
    const std::vector<std::string> oversized = OversizedTextureProblems(GlMaxTextureSide());
    if (!oversized.empty()) return Refuse("cannot use the textures: %s", oversized[0].c_str());
    ResizeView(options.width, options.height);
    for (int frame = 1; frame <= options.frames; ++frame) {
        // The first frame aligns the camera to the hour; turns start from there.
        if (frame == 2) HoldKeys(options.hold);
        if (options.lookAt && frame == options.frames) {
            PlaceSunFrameFor(options.utcSeconds);
            PlaceCameraAbove(Camera, SunFrame, options.lookLatitude, options.lookLongitude,
                             CameraDistance);
        }
        FrameStep();
    }
    const std::vector<std::uint8_t> picture = gl.ReadRgbTopDown();
    ReleaseGlObjects();
    FreeTextureSet();

    if (!WritePng(options.out, options.width, options.height, picture)) {
        std::fprintf(stderr, "solvane-snapshot: cannot write %s\n", options.out);
        return ExitWriteFailed;
    }
    if (options.info) PrintInfo();
    return 0;
}
