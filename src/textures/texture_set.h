// The sixteen day and night textures, loaded once at window creation, and their
// texture objects in the GL context that draws them.
#pragma once

#include <string>
#include <vector>

#include "textures/bitmap_loader.h"

struct TextureRecord {
    char path[100];  // TextureFolder + file name; the key the patches name
    ByteBlock header;
    // The file's pixels, only until they are converted into `rgb`: a 4K set would
    // otherwise be held twice besides the GL's copy.
    ByteBlock pixels;
    std::size_t pixelBytes;  // how many pixel bytes the file held
    ByteBlock rgb;           // the image of the texture object, header's width x height
    // The texture object holding `rgb` in the current GL context, made on first use
    // by MakeTextureObjects; 0 while there is none.
    unsigned int textureObject;
    TextureRecord* next;
};

constexpr int TextureCount = 16;
// The files of the records in list order: d11.bmp ... d24.bmp, n11.bmp ... n24.bmp.
extern const char* const TextureFileNames[TextureCount];

// First of the sixteen records, d11 ... d24, n11 ... n24; null until built.
extern TextureRecord* TextureList;

void BuildTextureSet();

// How texture objects sample their tile. Texel: the nearest texel, the tile repeated
// (the Classic look's coordinates run past 0 to 1). Smooth: mipmaps, trilinear and,
// where the GL offers it, anisotropic filtering (on a GL that draws on the processor,
// bilinear from the nearest mipmap and no anisotropy), with the edges clamped so that
// no tile borrows texels from its far side. Applies to texture objects made afterwards.
enum class TextureSampling { Texel, Smooth };
void SetTextureSampling(TextureSampling sampling);
// Deletes the texture objects first (ReleaseTextureObjects), then the records.
void FreeTextureSet();
// Keeps the records and their paths but drops every image, so that each pass gets an
// incomplete texture and the globe shows its vertex colours: the day and night
// shading without pictures. For a front end that found the tiles unusable. Texture
// objects already made are released first (ReleaseTextureObjects).
void DropTextureImages();

// Gives every record that has none a texture object in the current GL context: the
// image uploaded once, wrap and filters set with it. Once they exist this costs one
// query a call, which finds out whether the objects belong to the current context;
// if that context is another one (the context they were made in has gone and another
// is current), they are made again here. An image larger than the GL takes is named,
// with the limit, through ReportProblem, and dropped: its patches show their shading,
// as after DropTextureImages.
void MakeTextureObjects();

// The largest side of a texture that the current GL context takes
// (GL_MAX_TEXTURE_SIZE); 0 when it cannot tell.
int GlMaxTextureSide();

// One line for each record whose image is larger than `maxSide` on a side (none when
// `maxSide` is 0), naming its path, its size and the limit: for a front end that
// would rather refuse such tiles than draw without them.
std::vector<std::string> OversizedTextureProblems(int maxSide);

// Deletes the texture objects of the set in the current GL context and forgets them;
// the images stay, so the next MakeTextureObjects makes them anew in the context
// current then. Called with the context that drew still current, before it goes.
void ReleaseTextureObjects();
