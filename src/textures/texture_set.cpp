#include "textures/texture_set.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/gl_extensions.h"
#include "platform/problem_report.h"
#include "textures/texture_folder.h"

TextureRecord* TextureList = nullptr;

const char* const TextureFileNames[TextureCount] = {
    "d11.bmp", "d12.bmp", "d13.bmp", "d14.bmp", "d21.bmp", "d22.bmp", "d23.bmp", "d24.bmp",
    "n11.bmp", "n12.bmp", "n13.bmp", "n14.bmp", "n21.bmp", "n22.bmp", "n23.bmp", "n24.bmp",
};

namespace {

// Owns the records; TextureList and the `next` fields link through it.
std::vector<TextureRecord> records;
TextureSampling sampling = TextureSampling::Texel;

// A texture that could not be loaded becomes one dark texel, so the renderer always
// meets a header with a size the GL accepts and RGB data of that size; its patches
// keep their shading, only very dim.
constexpr std::uint8_t PlaceholderRgb[3] = {24, 24, 32};

void MakePlaceholder(TextureRecord& record) {
    record.header.assign(40, 0);
    std::uint8_t* h = record.header.data();
    h[0] = 40;   // biSize
    h[4] = 1;    // biWidth
    h[8] = 1;    // biHeight
    h[12] = 1;   // biPlanes
    h[14] = 24;  // biBitCount; biCompression stays 0 (BI_RGB)
    record.pixels.clear();
    record.pixelBytes = 0;
    record.rgb = {PlaceholderRgb[0], PlaceholderRgb[1], PlaceholderRgb[2], 0};
}

// Returns false when no folder is known: the path is then the bare file name.
bool SetPath(TextureRecord& record, const char* fileName) {
    char prefix[FolderTextSize];
    const std::size_t length = TexturePathPrefix(prefix);
    std::memcpy(record.path, prefix, length);
    std::memcpy(record.path + length, fileName, std::strlen(fileName) + 1);
    return length > 0;
}

// A bare file name would be looked up in the current directory, which the open-file
// dialog moves to wherever the user last browsed: without a folder nothing loads, so
// a cancelled dialog is asked again instead of picking up stray files.
bool LoadRecord(TextureRecord& record, bool inFolder) {
    if (!inFolder) return false;
    std::optional<ByteBlock> pixels = LoadBitmapFile(record.path, record.header);
    if (!pixels) return false;
    record.pixels = std::move(*pixels);
    return true;
}

// Makes the RGB copy, or the placeholder when the image cannot be uploaded as it
// is (no pixels, a top-down or empty image).
void FinishRecord(TextureRecord& record, bool loaded) {
    if (loaded && BitmapWidth(record.header) > 0 && BitmapHeight(record.header) > 0) {
        std::optional<ByteBlock> rgb = ConvertToRgb(record.header, record.pixels);
        if (rgb) {
            record.rgb = std::move(*rgb);
            record.pixelBytes = record.pixels.size();
            ByteBlock().swap(record.pixels);
            return;
        }
    }
    MakePlaceholder(record);
}

// Bytes of an RGB image as the GL reads it with an unpack alignment of 4.
std::uint64_t RgbImageSize(std::int32_t width, std::int32_t height) {
    const std::uint64_t row = (std::uint64_t(width) * 3u + 3u) / 4u * 4u;
    return row * std::uint64_t(height);
}

bool TooLargeForGl(const TextureRecord& record, int maxSide) {
    return maxSide > 0 &&
           (BitmapWidth(record.header) > maxSide || BitmapHeight(record.header) > maxSide);
}

std::string OversizedProblem(const TextureRecord& record, int maxSide) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "%s is %d x %d pixels, more than this OpenGL takes (%d on a side)", record.path,
                  int(BitmapWidth(record.header)), int(BitmapHeight(record.header)), maxSide);
    return text;
}

// A GL that draws on the processor: there anisotropic filtering costs several times
// the rest of the frame (about 150 ms a frame at 1920 x 1080 with llvmpipe, against 25
// without), and blending two mipmap levels doubles the cost of every texel (28 ms
// against 13), which a saver that should cost nearly nothing cannot pay. It still
// gets mipmaps, sampled bilinearly from the nearest level: no sparkle, no blocks.
bool SoftwareRenderer() {
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (renderer == nullptr) return true;
    for (const char* name :
         {"llvmpipe", "softpipe", "swrast", "Software Rasterizer", "GDI Generic"})
        if (std::strstr(renderer, name) != nullptr) return true;
    return false;
}

// Mipmaps made by the GL where it can (GL 1.4 or SGIS_generate_mipmap), else by GLU
// on the processor; trilinear between them, and up to 8 samples along the slant
// where the GL filters anisotropically (the limb is seen nearly edge on), but for
// a GL that draws on the processor (SoftwareRenderer).
void UploadSmooth(std::int32_t width, std::int32_t height, const std::uint8_t* rgb) {
    // GL_CLAMP would blend the edge with the border colour: a dark seam. Without edge
    // clamping the globe's texture coordinates keep half a texel inside the edge.
    const GLint wrap = GlHasEdgeClamp() ? GLint(GlClampToEdge) : GL_REPEAT;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    const bool software = SoftwareRenderer();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    software ? GL_LINEAR_MIPMAP_NEAREST : GL_LINEAR_MIPMAP_LINEAR);
    if (GlHasExtension("GL_EXT_texture_filter_anisotropic") && !software) {
        GLfloat most = 1.0f;
        glGetFloatv(GlMaxTextureMaxAnisotropy, &most);
        glTexParameterf(GL_TEXTURE_2D, GlTextureMaxAnisotropy, most < 8.0f ? most : 8.0f);
    }
    if (GlVersionAtLeast(1, 4) || GlHasExtension("GL_SGIS_generate_mipmap")) {
        glTexParameteri(GL_TEXTURE_2D, GlGenerateMipmap, GL_TRUE);
        glTexImage2D(GL_TEXTURE_2D, 0, 3, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    } else {
        gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    }
}

void CreateTextureObject(TextureRecord& record, int maxSide) {
    // The GL would refuse the image and leave an error behind. Said once: the images
    // go, so a later context makes an empty texture of it without a word.
    if (TooLargeForGl(record, maxSide)) {
        const std::string problem = OversizedProblem(record, maxSide) +
                                    "; its part of the globe is drawn without a picture";
        ReportProblem(problem.c_str());
        record.header.clear();
        record.pixels.clear();
        record.rgb.clear();
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    const std::int32_t width = BitmapWidth(record.header);
    const std::int32_t height = BitmapHeight(record.header);
    const bool usable = width > 0 && height > 0 && RgbImageSize(width, height) <= record.rgb.size();
    if (usable && sampling == TextureSampling::Smooth) {
        UploadSmooth(width, height, record.rgb.data());
        record.textureObject = name;
        return;
    }
    if (usable) {
        glTexImage2D(GL_TEXTURE_2D, 0, 3, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                     record.rgb.data());
    } else {
        // The RGB block cannot back an image of the header's size: the GL would read
        // past it. An empty image leaves the texture incomplete, so its pass shows
        // vertex colours.
        glTexImage2D(GL_TEXTURE_2D, 0, 3, 0, 0, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    record.textureObject = name;
}

}  // namespace

void BuildTextureSet() {
    FreeTextureSet();
    records.assign(TextureCount, TextureRecord{});
    for (int i = 0; i < TextureCount; ++i) {
        records[i].next = i + 1 < TextureCount ? &records[i + 1] : nullptr;
    }
    TextureList = &records[0];

    // Only the first file brings up the dialog again: a folder that lacks it is the
    // wrong folder, while a later missing file is a gap in the right one.
    TextureRecord& first = records[0];
    bool loaded = LoadRecord(first, SetPath(first, TextureFileNames[0]));
    if (!loaded) {
        BrowseForTextureFolder();
        loaded = LoadRecord(first, SetPath(first, TextureFileNames[0]));
    }
    FinishRecord(first, loaded);

    for (int i = 1; i < TextureCount; ++i) {
        TextureRecord& record = records[i];
        FinishRecord(record, LoadRecord(record, SetPath(record, TextureFileNames[i])));
    }
}

void SetTextureSampling(TextureSampling chosen) {
    sampling = chosen;
}

void FreeTextureSet() {
    ReleaseTextureObjects();
    TextureList = nullptr;
    records.clear();
    records.shrink_to_fit();
}

void MakeTextureObjects() {
    if (TextureList == nullptr) return;
    // All objects are made in one call, so the first one speaks for the rest. A name
    // this context does not know belongs to a context that has gone without releasing
    // them, and that context took its objects along.
    if (TextureList->textureObject != 0 && !glIsTexture(TextureList->textureObject)) {
        for (TextureRecord* record = TextureList; record != nullptr; record = record->next)
            record->textureObject = 0;
    }
    bool unpackingSet = false;
    int maxSide = 0;
    for (TextureRecord* record = TextureList; record != nullptr; record = record->next) {
        if (record->textureObject != 0) continue;
        if (!unpackingSet) {
            glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
            glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
            glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
            glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
            maxSide = GlMaxTextureSide();
            unpackingSet = true;
        }
        CreateTextureObject(*record, maxSide);
    }
}

int GlMaxTextureSide() {
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    return side;
}

std::vector<std::string> OversizedTextureProblems(int maxSide) {
    std::vector<std::string> problems;
    for (const TextureRecord* record = TextureList; record != nullptr; record = record->next) {
        if (TooLargeForGl(*record, maxSide)) problems.push_back(OversizedProblem(*record, maxSide));
    }
    return problems;
}

void ReleaseTextureObjects() {
    for (TextureRecord* record = TextureList; record != nullptr; record = record->next) {
        if (record->textureObject == 0) continue;
        const GLuint name = record->textureObject;
        glDeleteTextures(1, &name);
        record->textureObject = 0;
    }
}

void DropTextureImages() {
    // Objects made from the images would keep them.
    ReleaseTextureObjects();
    for (TextureRecord& record : records) {
        // An empty header has no size: the next MakeTextureObjects then gives the
        // record an empty image.
        record.header.clear();
        record.pixels.clear();
        record.rgb.clear();
    }
}
