#include "frame/scene_setup.h"

#include <cstring>

#include "globe/sun_shading.h"
#include "textures/texture_folder.h"
#include "textures/texture_set.h"
#include "view/camera_frame.h"
#include "view/projection.h"

void SetUpScene() {
    SetUpViewSettings();
    SetLighting();
    CreateFrames();
    SettleTextureFolder();
    BuildTextureSet();
    CreateSunFrame();
}

int SetUpSceneWithFolder(const char* folder) {
    if (folder == nullptr || folder[0] == '\0') return 0;
    std::size_t length = std::strlen(folder);
    const bool hasSeparator = folder[length - 1] == '/' || folder[length - 1] == '\\';
    if (length + (hasSeparator ? 0 : 1) > MaxFolderLength) return 0;

    SetUpViewSettings();
    SetLighting();
    CreateFrames();
    std::memcpy(TextureFolder, folder, length);
    if (!hasSeparator) TextureFolder[length++] = '/';
    TextureFolder[length] = '\0';
    BuildTextureSet();
    CreateSunFrame();
    return 1;
}
