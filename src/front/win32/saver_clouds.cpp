#include "front/win32/saver_clouds.h"

#include <string>

#include "clouds/cloud_source.h"
#include "front/win32/saver_process.h"
#include "textures/texture_folder.h"

void StartSaverClouds() {
    CloudSettings settings;
    settings.mode = displayOptions.clouds;
    settings.url = displayOptions.cloudsUrl;
    settings.mayFetch = runMode == RunMode::Saver;
    // The map that ships lies beside the texture folder, which ends in its separator.
    std::string folder(TextureFolder);
    if (!folder.empty()) folder.pop_back();
    const std::size_t separator = folder.find_last_of("\\/");
    settings.stillFile =
        (separator == std::string::npos ? std::string(".") : folder.substr(0, separator)) + "\\" +
        StillCloudFile;
    StartClouds(settings);
}
