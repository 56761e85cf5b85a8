#include <GL/gl.h>
#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

// clang-format off
#include <jpeglib.h>
#include <png.h>
// clang-format on

#include "clouds/cloud_cache.h"
#include "clouds/cloud_decode.h"
#include "clouds/cloud_image.h"
#include "clouds/cloud_layer.h"
#include "clouds/cloud_resample.h"
#include "clouds/cloud_source.h"
#include "globe/globe_mesh.h"
#include "globe/sun_shading.h"
#include "tests/support/gl_recorder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& out, std::uint32_t value) {
    out.push_back(std::uint8_t(value >> 8));
    out.push_back(std::uint8_t(value));
}

void Put32(Bytes& out, std::uint32_t value) {
    Put16(out, value >> 16);
    Put16(out, value & 0xFFFF);
}

// A JPEG's markers around a frame header of the given size: enough for the header
// judge, which never decodes the scan.
Bytes JpegClaiming(std::uint32_t width, std::uint32_t height, std::uint8_t frame = 0xC0) {
    Bytes out = {0xFF, 0xD8, 0xFF, 0xE0};
    Put16(out, 16);
    const char jfif[] = "JFIF\0\1\1\0\0\1\0\1\0";
    out.insert(out.end(), jfif, jfif + 14);
    out.insert(out.end(), {0xFF, frame});
    Put16(out, 11);
    out.push_back(8);
    Put16(out, height);
    Put16(out, width);
    out.insert(out.end(), {1, 1, 0x11, 0});
    out.insert(out.end(), {0xFF, 0xDA, 0, 8, 1, 1, 0, 0, 63, 0, 0x12, 0x34, 0xFF, 0xD9});
    return out;
}

Bytes PngClaiming(std::uint32_t width, std::uint32_t height) {
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Put32(out, 13);
    out.insert(out.end(), {'I', 'H', 'D', 'R'});
    Put32(out, width);
    Put32(out, height);
    out.insert(out.end(), {8, 0, 0, 0, 0, 1, 2, 3, 4});
    out.insert(out.end(), {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82});
    return out;
}

CloudVerdict Judge(const Bytes& bytes) {
    CloudImageHeader header;
    return InspectCloudImage(bytes.data(), bytes.size(), header);
}

TEST(CloudImage, HeadersAreJudgedBeforeAnyDecoding) {
    const Bytes good = JpegClaiming(4096, 2048);
    Bytes cut(good.begin(), good.begin() + good.size() / 2);
    Bytes noEnd(good.begin(), good.end() - 2);
    const std::string html = "<!DOCTYPE html><html><body>Not here</body></html>";
    const struct {
        const char* name;
        Bytes bytes;
        CloudVerdict verdict;
    } cases[] = {
        {"jpeg 4096", good, CloudVerdict::Accepted},
        {"jpeg smallest", JpegClaiming(1024, 512), CloudVerdict::Accepted},
        {"jpeg largest", JpegClaiming(8192, 4096), CloudVerdict::Accepted},
        {"progressive", JpegClaiming(2048, 1024, 0xC2), CloudVerdict::Accepted},
        {"png 2048", PngClaiming(2048, 1024), CloudVerdict::Accepted},
        {"dimension bomb", JpegClaiming(60000, 30000), CloudVerdict::TooLarge},
        {"png bomb", PngClaiming(0x7FFFFFFF, 0x3FFFFFFF), CloudVerdict::TooLarge},
        {"png beyond int", PngClaiming(0xFFFFFFFF, 0x80000000), CloudVerdict::TooLarge},
        {"one past largest", JpegClaiming(8194, 4097), CloudVerdict::TooLarge},
        {"too small", JpegClaiming(1022, 511), CloudVerdict::TooSmall},
        {"wrong aspect", JpegClaiming(4096, 4096), CloudVerdict::WrongAspect},
        {"odd aspect png", PngClaiming(2048, 1025), CloudVerdict::WrongAspect},
        {"height by DNL", JpegClaiming(4096, 0), CloudVerdict::NotAnImage},
        {"lossless frame", JpegClaiming(4096, 2048, 0xC3), CloudVerdict::NotAnImage},
        {"cut in half", cut, CloudVerdict::Truncated},
        {"no end marker", noEnd, CloudVerdict::Truncated},
        {"png signature only", Bytes{0x89, 0x50, 0x4E}, CloudVerdict::Truncated},
        {"html", Bytes(html.begin(), html.end()), CloudVerdict::NotAnImage},
        {"jpeg start only", Bytes{0xFF, 0xD8}, CloudVerdict::Truncated},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Judge(c.bytes), c.verdict) << c.name;
    }
    // Every prefix of a good file is refused, never read past.
    for (const Bytes& whole : {good, PngClaiming(2048, 1024)}) {
        for (std::size_t length = 0; length < whole.size(); ++length) {
            const Bytes prefix(whole.begin(), whole.begin() + length);
            EXPECT_NE(Judge(prefix), CloudVerdict::Accepted) << length;
        }
    }
    CloudImageHeader header;
    const Bytes png = PngClaiming(2048, 1024);
    ASSERT_EQ(InspectCloudImage(png.data(), png.size(), header), CloudVerdict::Accepted);
    EXPECT_EQ(header.format, CloudImageFormat::Png);
    EXPECT_EQ(header.width, 2048);
    EXPECT_EQ(header.height, 1024);
}

TEST(CloudResample, ShrinkingKeepsCoverageAndNeverWrapsTheDateLine) {
    // 8 x 4 to 4 x 2: each output the mean of a 2 x 2 block.
    Bytes source(32, 0);
    source[0] = 255;  // top-left corner alone: a quarter of its block
    for (int y = 0; y < 4; ++y) source[y * 8 + 7] = 200;  // the last column only
    const Bytes out = ResampleCloud(source.data(), 8, 4, 4, 2);
    ASSERT_EQ(out.size(), 8u);
    EXPECT_EQ(out[0], 64);  // 255 / 4, rounded
    EXPECT_EQ(out[3], 100);
    EXPECT_EQ(out[7], 100);
    EXPECT_EQ(out[4], 0);  // the first column never takes the last one's cloud
    // Uneven scale: a uniform field stays uniform, growing and shrinking.
    const Bytes grey(12 * 6, 77);
    for (const Bytes& resized :
         {ResampleCloud(grey.data(), 12, 6, 10, 5), ResampleCloud(grey.data(), 12, 6, 28, 14)}) {
        for (const std::uint8_t value : resized) ASSERT_EQ(value, 77);
    }
    EXPECT_TRUE(ResampleCloud(grey.data(), 12, 6, 0, 5).empty());
}

TEST(CloudCacheState, FetchesWhenStaleAndTriesAtMostHourly) {
    const std::int64_t now = 1797940800;
    CloudCacheState state;
    EXPECT_TRUE(CloudFetchDue(state, now));  // nothing cached, never tried
    state.fetchedAt = now - CloudRefreshSeconds + 1;
    EXPECT_FALSE(CloudFetchDue(state, now));
    state.fetchedAt = now - CloudRefreshSeconds;
    EXPECT_TRUE(CloudFetchDue(state, now));
    state.triedAt = now - CloudRetrySeconds + 1;
    EXPECT_FALSE(CloudFetchDue(state, now));
    state.triedAt = now - CloudRetrySeconds;
    EXPECT_TRUE(CloudFetchDue(state, now));
    state.triedAt = now + 86400;  // a clock set back does not stop fetches
    state.fetchedAt = now + 86400;
    EXPECT_TRUE(CloudFetchDue(state, now));

    state = {123, 456, "\"abc-1\"", "Tue, 08 Dec 2026 03:00:00 GMT"};
    const CloudCacheState back = ParseCloudCacheState(FormatCloudCacheState(state));
    EXPECT_EQ(back.fetchedAt, 123);
    EXPECT_EQ(back.triedAt, 456);
    EXPECT_EQ(back.etag, state.etag);
    EXPECT_EQ(back.lastModified, state.lastModified);
    const CloudCacheState bad = ParseCloudCacheState(
        "fetched -5\ntried 99999999999999999999\netag a\rb\nmodified \x01\nnoise\n");
    EXPECT_EQ(bad.fetchedAt, 0);
    EXPECT_EQ(bad.triedAt, 0);
    EXPECT_TRUE(bad.etag.empty());
    EXPECT_TRUE(bad.lastModified.empty());
}

TEST(CloudCache, KeepsTheLastImageWholeAndClaimsOneTry) {
    char pattern[] = "/tmp/solvane-clouds-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string folder = pattern;
    const CloudCache cache(folder);
    const std::int64_t now = 1797940800;
    Bytes bytes;
    EXPECT_FALSE(cache.LoadImage(bytes));
    EXPECT_TRUE(cache.ClaimFetch(now));
    EXPECT_FALSE(cache.ClaimFetch(now + 60));  // another saver starting a minute later
    const Bytes image = JpegClaiming(4096, 2048);
    ASSERT_TRUE(cache.StoreImage(image, now + 5, "\"v1\"", ""));
    EXPECT_TRUE(cache.LoadImage(bytes));
    EXPECT_EQ(bytes, image);
    EXPECT_FALSE(cache.ClaimFetch(now + CloudRetrySeconds + 10));  // fresh image
    EXPECT_TRUE(cache.ClaimFetch(now + 5 + CloudRefreshSeconds));
    ASSERT_TRUE(cache.ConfirmImage(now + 5 + CloudRefreshSeconds));
    const CloudCacheState state = cache.LoadState();
    EXPECT_EQ(state.fetchedAt, now + 5 + CloudRefreshSeconds);
    EXPECT_EQ(state.etag, "\"v1\"");
    // An oversized file left in place is refused, not read.
    std::FILE* big = std::fopen((folder + "/clouds.img").c_str(), "wb");
    ASSERT_NE(big, nullptr);
    std::fseek(big, long(CloudMaxBytes), SEEK_SET);
    std::fputc(0, big);
    std::fclose(big);
    EXPECT_FALSE(cache.LoadImage(bytes));
    // Only the two files, no temporaries.
    DIR* listing = opendir(folder.c_str());
    ASSERT_NE(listing, nullptr);
    std::vector<std::string> names;
    while (dirent* entry = readdir(listing)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
        unlink((folder + "/" + name).c_str());
    }
    closedir(listing);
    rmdir(folder.c_str());
    EXPECT_EQ(names.size(), 2u);
    // A folder that cannot be written claims nothing: no record, no fetch.
    EXPECT_FALSE(CloudCache("/nonexistent/solvane").ClaimFetch(now));
}

// Real files, written by the libraries the decoder reads them with: a gradient so
// that rows and columns cannot be swapped unnoticed.
Bytes GreyPixels(int width, int height) {
    Bytes pixels(std::size_t(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) pixels[std::size_t(y) * width + x] = std::uint8_t(y / 4);
    }
    return pixels;
}

Bytes EncodeJpeg(int width, int height) {
    const Bytes pixels = GreyPixels(width, height);
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 1;
    info.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<std::uint8_t*>(pixels.data()) + info.next_scanline * width;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes file(out, out + size);
    std::free(out);
    return file;
}

Bytes EncodePng(int width, int height) {
    const Bytes pixels = GreyPixels(width, height);
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = PNG_FORMAT_GRAY;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
    Bytes file(size);
    png_image_write_to_memory(&image, file.data(), &size, 0, pixels.data(), 0, nullptr);
    file.resize(size);
    return file;
}

TEST(CloudDecode, ReadsGoodFilesAndRefusesBrokenOnes) {
    const Bytes jpeg = EncodeJpeg(1024, 512);
    const Bytes png = EncodePng(1024, 512);
    for (const Bytes& file : {jpeg, png}) {
        CloudPicture picture;
        ASSERT_EQ(DecodeCloudImage(file.data(), file.size(), picture), CloudVerdict::Accepted);
        ASSERT_EQ(picture.width, 1024);
        ASSERT_EQ(picture.height, 512);
        ASSERT_EQ(picture.grey.size(), 1024u * 512u);
        EXPECT_NEAR(picture.grey[0], 0, 2);
        EXPECT_NEAR(picture.grey[std::size_t(511) * 1024 + 1023], 127, 2);
        EXPECT_NEAR(picture.grey[std::size_t(256) * 1024 + 7], 64, 2);
    }
    // Past a good header: a JPEG scan cut short (end marker put back) and a PNG whose
    // compressed data is damaged. The decoders notice; no half picture comes back.
    Bytes cutJpeg(jpeg.begin(), jpeg.begin() + jpeg.size() / 2);
    cutJpeg.insert(cutJpeg.end(), {0xFF, 0xD9});
    Bytes damagedPng = png;
    for (std::size_t i = png.size() / 3; i < png.size() * 2 / 3; ++i) damagedPng[i] ^= 0x5A;
    for (const Bytes& file : {cutJpeg, damagedPng}) {
        CloudPicture picture;
        EXPECT_EQ(DecodeCloudImage(file.data(), file.size(), picture), CloudVerdict::NotAnImage);
        EXPECT_TRUE(picture.grey.empty());
    }
    CloudPicture texture;
    ASSERT_EQ(PrepareCloudTexture(jpeg.data(), jpeg.size(), texture), CloudVerdict::Accepted);
    ASSERT_EQ(texture.grey.size(), std::size_t(CloudTextureWidth) * CloudTextureHeight);
    EXPECT_NEAR(texture.grey[std::size_t(CloudTextureHeight / 2) * CloudTextureWidth], 64, 2);
    EXPECT_EQ(PrepareCloudTexture(cutJpeg.data(), cutJpeg.size(), texture),
              CloudVerdict::NotAnImage);
    EXPECT_TRUE(texture.grey.empty());
    CloudPicture picture;
    const Bytes small = EncodePng(512, 256);
    EXPECT_EQ(DecodeCloudImage(small.data(), small.size(), picture), CloudVerdict::TooSmall);
}

TEST(CloudLayer, PolarRowsAreSmoothedRoundTheDateLine) {
    const int w = 64, h = 32;
    Bytes grey(std::size_t(w) * h, 0);
    for (int y = 0; y < h; ++y) grey[std::size_t(y) * w] = 255;  // one bright column at -180
    const Bytes smooth = SmoothTowardsPoles(grey, w, h);
    // Rows within 60 degrees of the equator keep their texels.
    for (int x = 0; x < w; ++x)
        EXPECT_EQ(smooth[std::size_t(h / 2) * w + x], grey[std::size_t(h / 2) * w + x]);
    // The rows next to the poles spread the column to both sides of the date line alike.
    for (const int y : {0, h - 1}) {
        const std::uint8_t* row = &smooth[std::size_t(y) * w];
        EXPECT_LT(row[0], 64);
        EXPECT_GT(row[1], 0);
        EXPECT_EQ(row[1], row[w - 1]);
    }
    // A picture that does not match its size is handed back as it is.
    EXPECT_EQ(SmoothTowardsPoles(Bytes(10, 7), w, h), Bytes(10, 7));
}

TEST(CloudLayer, DrawsALitShellAndReplacesOnlyItsOwnTexture) {
    CreateFrames();
    CreateSunFrame();
    SetLighting();
    BuildGlobeMesh();
    UpdateSunFrame(0, 0, 12, 21, 6);
    ShadeGlobe();
    ReplaceGlContext();
    ClearGlCalls();
    DrawCloudLayer(Camera);
    EXPECT_TRUE(RecordedGlCalls().empty()) << "no picture, no layer";

    CloudPicture picture;
    picture.width = CloudTextureWidth;
    picture.height = CloudTextureHeight;
    picture.grey.assign(std::size_t(picture.width) * picture.height, 200);
    SetCloudPicture(picture);
    EXPECT_TRUE(CloudLayerShown());
    DrawCloudLayer(Camera);
    const std::vector<GlCall> images = RecordedGlCallsNamed("glTexImage2D");
    ASSERT_EQ(images.size(), 12u);  // 2048 x 1024 down to 1 x 1
    EXPECT_EQ(images[0].args[2], double(GL_INTENSITY8));
    EXPECT_EQ(images[0].args[3], 2048.0);
    EXPECT_EQ(RecordedGlCallsNamed("glGenTextures").size(), 1u);

    // Every corner on the shell, every coordinate inside the texture's rows, and the
    // light from the ground's ambient on the night side to full white under the Sun.
    const Vec3 o = SunFrame.position;
    for (const GlCall& call : RecordedGlCallsNamed("glVertex3f")) {
        const double dx = call.args[0] - o.x, dy = call.args[1] - o.y, dz = call.args[2] - o.z;
        EXPECT_NEAR(std::sqrt(dx * dx + dy * dy + dz * dz), GlobeRadius * CloudShellScale, 0.05);
    }
    for (const GlCall& call : RecordedGlCallsNamed("glTexCoord2f")) {
        EXPECT_GE(call.args[0], 0.0);
        EXPECT_LE(call.args[0], 1.0);
        EXPECT_GE(call.args[1], 0.5 / CloudTextureHeight - 1e-6);
        EXPECT_LE(call.args[1], 1 - 0.5 / CloudTextureHeight + 1e-6);
    }
    const auto lightRange = [](double& darkest, double& brightest) {
        darkest = 1;
        brightest = 0;
        for (const GlCall& call : RecordedGlCallsNamed("glColor4f")) {
            darkest = std::min(darkest, call.args[0]);
            brightest = std::max(brightest, call.args[0]);
        }
    };
    double darkest = 0, brightest = 0;
    lightRange(darkest, brightest);  // the Camera looks at the Sun's side
    EXPECT_GT(brightest, 0.95);
    CameraFrame night = Camera;
    night.position = {-night.position.x, -night.position.y, -night.position.z};
    ClearGlCalls();
    DrawCloudLayer(night);
    lightRange(darkest, brightest);
    EXPECT_NEAR(darkest, Ambient.r, 1e-6);

    // A second picture goes into the same texture object; the next frame only draws.
    ClearGlCalls();
    SetCloudPicture(picture);
    DrawCloudLayer(Camera);
    EXPECT_EQ(RecordedGlCallsNamed("glTexImage2D").size(), 12u);
    EXPECT_TRUE(RecordedGlCallsNamed("glGenTextures").empty());
    ClearGlCalls();
    DrawCloudLayer(Camera);
    EXPECT_TRUE(RecordedGlCallsNamed("glTexImage2D").empty());
    // A new context gets the picture again; a wrong-sized picture takes the layer away.
    ReplaceGlContext();
    ClearGlCalls();
    DrawCloudLayer(Camera);
    EXPECT_EQ(RecordedGlCallsNamed("glTexImage2D").size(), 12u);
    SetCloudPicture(CloudPicture());
    EXPECT_FALSE(CloudLayerShown());
    ClearGlCalls();
    DrawCloudLayer(Camera);
    EXPECT_TRUE(RecordedGlCalls().empty());
    ReleaseCloudObjects();
}

// The server of tests/support/cloud_server.py, started once for the cases below and
// ended with the test program (its stdin closes).
struct CloudServer {
    std::string folder;
    int httpPort = 0, httpsPort = 0;
    Bytes good, other;

    static std::string Write(const std::string& path, const Bytes& bytes) {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (file != nullptr) {
            std::fwrite(bytes.data(), 1, bytes.size(), file);
            std::fclose(file);
        }
        return path;
    }

    bool Start() {
        char pattern[] = "/tmp/solvane-cloud-server-XXXXXX";
        if (mkdtemp(pattern) == nullptr) return false;
        folder = pattern;
        good = EncodeJpeg(1024, 512);
        other = EncodePng(1024, 512);
        Write(folder + "/good.jpg", good);
        Write(folder + "/other.jpg", other);
        Write(folder + "/bomb.jpg", JpegClaiming(60000, 30000));
        Write(folder + "/aspect.jpg", EncodeJpeg(1024, 600));
        const std::string make =
            "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=localhost -addext "
            "subjectAltName=DNS:localhost,IP:127.0.0.1 -keyout " +
            folder + "/key.pem -out " + folder + "/cert.pem >/dev/null 2>&1";
        if (std::system(make.c_str()) != 0) return false;
        int toServer[2], fromServer[2];
        if (pipe(toServer) != 0 || pipe(fromServer) != 0) return false;
        const pid_t child = fork();
        if (child == 0) {
            dup2(toServer[0], 0);
            dup2(fromServer[1], 1);
            close(toServer[1]);
            close(fromServer[0]);
            const std::string cert = folder + "/cert.pem", key = folder + "/key.pem";
            execlp("python3", "python3", SOLVANE_CLOUD_SERVER, folder.c_str(), cert.c_str(),
                   key.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(toServer[0]);
        close(fromServer[1]);
        char line[64] = {};
        std::size_t got = 0;
        while (got + 1 < sizeof line) {
            const ssize_t n = read(fromServer[0], line + got, 1);
            if (n <= 0 || line[got] == '\n') break;
            ++got;
        }
        return std::sscanf(line, "%d %d", &httpPort, &httpsPort) == 2;
    }
};

CloudServer& Server() {
    static CloudServer* server = [] {
        auto* s = new CloudServer;
        if (!s->Start()) s->httpPort = 0;
        return s;
    }();
    return *server;
}

struct ServerCase {
    const char* what;
    bool secure;
    const char* path;
    CloudRefresh expected;
    bool keptIsGood = false;  // the cache held the good image (and its ETag) before
    bool trusted = true;      // the test's certificate is trusted
    int totalSeconds = 60;
};

TEST(CloudFetch, EveryServerCaseKeepsACacheThatShowsTheLastGoodImage) {
    CloudServer& server = Server();
    ASSERT_NE(server.httpPort, 0) << "the test server did not start";
    const ServerCase cases[] = {
        {"a good image", false, "/good.jpg", CloudRefresh::Fetched},
        {"a good image over https", true, "/good.jpg", CloudRefresh::Fetched},
        {"304 Not Modified", false, "/good.jpg", CloudRefresh::Confirmed, true},
        {"404", false, "/404", CloudRefresh::Failed},
        {"500", true, "/500", CloudRefresh::Failed},
        {"a redirect loop", false, "/loop", CloudRefresh::Failed},
        {"three redirects", false, "/hops3", CloudRefresh::Fetched},
        {"four redirects", false, "/hops4", CloudRefresh::Failed},
        {"a redirect from https to http", true, "/to-http", CloudRefresh::Failed},
        {"a certificate nobody trusts", true, "/good.jpg", CloudRefresh::Failed, false, false},
        {"one byte a second", false, "/slow", CloudRefresh::Failed, false, true, 2},
        {"a body cut in half", false, "/half", CloudRefresh::Failed},
        {"a JPEG claiming 60000 x 30000", false, "/bomb.jpg", CloudRefresh::Refused},
        {"an HTML page", false, "/page", CloudRefresh::Refused},
        {"100 MiB", false, "/huge", CloudRefresh::Failed},
        {"100 MiB without a length", true, "/huge-unsized", CloudRefresh::Failed},
        {"the wrong aspect", false, "/aspect.jpg", CloudRefresh::Refused},
        {"no server at all", false, nullptr, CloudRefresh::Failed},
    };
    const std::int64_t now = 1797940800;
    int index = 0;
    for (const ServerCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string folder = server.folder + "/cache" + std::to_string(index++);
        ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
        const CloudCache cache(folder);
        const Bytes& kept = c.keptIsGood ? server.good : server.other;
        ASSERT_TRUE(cache.StoreImage(kept, now - CloudRefreshSeconds - 1,
                                     c.keptIsGood ? "\"good\"" : "\"other\"", ""));
        CloudFetchRequest request;
        request.url = c.path == nullptr
                          ? "http://127.0.0.1:1/good.jpg"
                          : std::string(c.secure ? "https" : "http") + "://127.0.0.1:" +
                                std::to_string(c.secure ? server.httpsPort : server.httpPort) +
                                c.path;
        request.userAgent = CloudUserAgent();
        if (c.trusted) request.caFile = server.folder + "/cert.pem";
        request.totalSeconds = c.totalSeconds;
        std::string problem;
        EXPECT_EQ(RefreshClouds(cache, request, now, problem), c.expected) << problem;
        Bytes shown;
        ASSERT_TRUE(cache.LoadImage(shown));
        EXPECT_EQ(shown, c.expected == CloudRefresh::Fetched ? server.good : kept);
        const CloudCacheState state = cache.LoadState();
        EXPECT_EQ(state.triedAt, now);
        EXPECT_EQ(state.fetchedAt == now,
                  c.expected == CloudRefresh::Fetched || c.expected == CloudRefresh::Confirmed);
        // Within the hour nobody tries again, whatever came of this try.
        EXPECT_EQ(RefreshClouds(cache, request, now + 60, problem), CloudRefresh::NotDue);
    }
    SetCloudPicture(CloudPicture());
}

TEST(CloudFetch, OnlyWebAddressesAndTheThreeModes) {
    EXPECT_TRUE(CloudUrlAllowed(DefaultCloudUrl));
    EXPECT_TRUE(CloudUrlAllowed("http://127.0.0.1:8080/c.png"));
    EXPECT_FALSE(CloudUrlAllowed(""));
    // Each refused address as its scheme and what follows the "//".
    const char* const refused[][2] = {{"ftp:", "127.0.0.1/c.jpg"},
                                      {"file:", "/etc/passwd"},
                                      {"https:", ""},
                                      {"http:", "/x"},
                                      {"https:", "127.0.0.1/a b.jpg"},
                                      {"https:", "127.0.0.1/\x7f"},
                                      {"HTTPS:", "127.0.0.1/c.jpg"}};
    for (const auto& parts : refused) {
        const std::string bad = std::string(parts[0]) + "//" + parts[1];
        EXPECT_FALSE(CloudUrlAllowed(bad)) << bad;
    }
    EXPECT_FALSE(CloudUrlAllowed("https://127.0.0.1/" + std::string(2000, 'a')));
    CloudMode mode = CloudMode::Still;
    EXPECT_TRUE(ParseCloudMode("LIVE", mode));
    EXPECT_EQ(mode, CloudMode::Live);
    EXPECT_FALSE(ParseCloudMode("sometimes", mode));
    EXPECT_EQ(mode, CloudMode::Live);
    EXPECT_EQ(CloudModeFromNumber(1), CloudMode::Still);
    EXPECT_EQ(CloudModeFromNumber(2), CloudMode::Live);
    EXPECT_EQ(CloudModeFromNumber(3), CloudMode::NoClouds);
    EXPECT_EQ(CloudModeFromNumber(-1), CloudMode::NoClouds);
    EXPECT_EQ(CloudUserAgent().compare(0, 8, "Solvane/"), 0);
    EXPECT_EQ(DescribeCloudAge(0, 1000), "No live clouds kept yet.");
    EXPECT_EQ(DescribeCloudAge(1000, 1000 + 61), "Live clouds kept: fetched 1 minute ago.");
    EXPECT_EQ(DescribeCloudAge(1000, 1000 + 5 * 3600 + 5),
              "Live clouds kept: fetched 5 hours ago.");
    EXPECT_EQ(DescribeCloudAge(1000, 1000 + 2 * 86400), "Live clouds kept: fetched 2 days ago.");
}

}  // namespace
