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

// First of the sixteen records, d11 ... d24, n11 ... n24; null until built.
extern TextureRecord* TextureList;

void BuildTextureSet();
void FreeTextureSet();
