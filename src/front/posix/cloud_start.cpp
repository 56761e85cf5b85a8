#include <sys/stat.h>

#include "front/posix/cloud_options.h"

namespace {

constexpr char InstalledStillClouds[] = "/usr/share/solvane/clouds.png";

bool IsFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

std::string FindStillClouds(const std::string& textureFolder) {
    std::string folder = textureFolder;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    const std::size_t slash = folder.rfind('/');
    const std::string parent = slash == std::string::npos ? std::string(".")
                               : slash == 0               ? std::string("/")
                                                          : folder.substr(0, slash);
    for (const std::string& path : {folder + "/" + StillCloudFile, parent + "/" + StillCloudFile,
                                    std::string(InstalledStillClouds)})
        if (IsFile(path)) return path;
    return std::string();
}

void StartFrontClouds(CloudMode mode, const char* url, const std::string& textureFolder) {
    CloudSettings settings;
    settings.mode = mode;
    if (url != nullptr) settings.url = url;
    if (mode == CloudMode::Still) settings.stillFile = FindStillClouds(textureFolder);
    StartClouds(settings);
}
