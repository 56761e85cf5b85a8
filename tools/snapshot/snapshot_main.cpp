// solvane-snapshot: renders the saver's frame for a pinned UTC moment without a
// window system and writes it as a PNG. See SnapshotUsage for the command line.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "clouds/cloud_cache.h"
#include "clouds/cloud_layer.h"
#include "frame/frame_step.h"
#include "frame/scene_setup.h"
#include "front/posix/tile_folder.h"
#include "globe/look.h"
#include "globe/sun_shading.h"
#include "globe_angles.h"
#include "headless_context.h"
#include "platform/clock.h"
#include "platform/key_state.h"
#include "png_output.h"
#include "snapshot_options.h"
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

int Refuse(const char* format, const char* detail) {
    std::fprintf(stderr, "solvane-snapshot: ");
    std::fprintf(stderr, format, detail);
    std::fputc('\n', stderr);
    return ExitUsage;
}

// The cloud map through the saver's own decoding and the layer's preparation, so that
// the picture is the one a saver shows for the same image.
bool LoadClouds(const char* path, std::string& problem) {
    std::vector<std::uint8_t> bytes;
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        problem = std::string("cannot open the cloud map ") + path;
        return false;
    }
    std::uint8_t chunk[65536];
    std::size_t count = 0;
    while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + count);
        if (bytes.size() > CloudMaxBytes) break;
    }
    std::fclose(file);
    CloudPicture texture;
    const CloudVerdict verdict = bytes.size() > CloudMaxBytes
                                     ? CloudVerdict::TooLarge
                                     : PrepareCloudTexture(bytes.data(), bytes.size(), texture);
    if (verdict != CloudVerdict::Accepted) {
        problem =
            std::string("cannot use the cloud map ") + path + ": " + DescribeCloudVerdict(verdict);
        return false;
    }
    SetCloudPicture(texture);
    return true;
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
    // Every tile must be usable: the saver's own fallback (asking for another folder,
    // or the shading alone) has no place in a tool that makes oracles.
    std::vector<std::string> problems = FindTileProblems(folder);
    if (problems.empty() && SetUpSceneWithFolder(folder.c_str()))
        problems = FindLoadedTileProblems(folder);
    else if (problems.empty())
        problems.push_back("the texture folder path " + folder + " is too long");
    if (!problems.empty()) return Refuse("%s", problems.front().c_str());

    std::string problem;
    if (options.clouds != nullptr && !LoadClouds(options.clouds, problem))
        return Refuse("%s", problem.c_str());

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
