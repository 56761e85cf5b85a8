// The sixteen day and night textures, loaded once at window creation.
#pragma once

#include "textures/bitmap_loader.h"

struct TextureRecord {
    char path[100];  // TextureFolder + file name; the key the patches name
    ByteBlock header;
    ByteBlock pixels;
    ByteBlock rgb;  // uploaded by the patch renderer, header's width x height
    TextureRecord* next;
};

constexpr int TextureCount = 16;
// The files of the records in list order: d11.bmp ... d24.bmp, n11.bmp ... n24.bmp.
extern const char* const TextureFileNames[TextureCount];

// First of the sixteen records, d11 ... d24, n11 ... n24; null until built.
extern TextureRecord* TextureList;

void BuildTextureSet();
void FreeTextureSet();
// Keeps the records and their paths but drops every image, so that each pass gets an
// incomplete texture and the globe shows its vertex colours: the day and night
// shading without pictures. For a front end that found the tiles unusable.
void DropTextureImages();
