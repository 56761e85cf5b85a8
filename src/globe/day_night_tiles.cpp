#include "globe/day_night_tiles.h"

#include <cstring>

#include "globe/globe_mesh.h"
#include "globe/sun_shading.h"
#include "textures/texture_folder.h"

namespace {

// The dim colour of the night side, in place of the shading.
constexpr float NightRed = 0.2f;
constexpr float NightGreen = 0.2f;
constexpr float NightBlue = 0.3f;

// Length of a tile file name such as "d13.bmp", without its NUL.
constexpr std::size_t TileNameLength = 7;

char RowDigit(float latitude) {
    return latitude >= 0 ? '1' : '2';
}

// Bands [-180, -90), [-90, 0), [0, 90), [90, 180); a west edge outside them (which the
// mesh never makes) falls into the nearest end band.
char ColumnDigit(float longitude) {
    if (longitude < -90) return '1';
    if (longitude < 0) return '2';
    if (longitude < 90) return '3';
    return '4';
}

bool FacesSun(const Vec3& normal) {
    const float d =
        -(normal.x * LightDirection.x + normal.y * LightDirection.y + normal.z * LightDirection.z);
    return d >= 0;  // NaN compares false: night
}

}  // namespace

void AssignTileTextures() {
    // The name is composed once: the folder, then a file name whose three changing
    // characters are overwritten for each patch.
    char name[FolderTextSize];
    const std::size_t folderLength = TexturePathPrefix(name);
    std::memcpy(name + folderLength, "d11.bmp", TileNameLength + 1);
    const std::size_t nameSize = folderLength + TileNameLength + 1;
    char* letter = name + folderLength;

    for (Patch* patch = SceneList; patch != nullptr; patch = patch->next) {
        const bool day = FacesSun(patch->centreNormal);
        if (!day) {
            for (PatchVertex* vertex = patch->vertices; vertex != nullptr; vertex = vertex->next) {
                vertex->colour.r = NightRed;
                vertex->colour.g = NightGreen;
                vertex->colour.b = NightBlue;
            }
        }
        letter[0] = day ? 'd' : 'n';
        letter[1] = RowDigit(patch->latitude);
        letter[2] = ColumnDigit(patch->longitude);
        std::memcpy(patch->textureName, name, nameSize);
    }
}
