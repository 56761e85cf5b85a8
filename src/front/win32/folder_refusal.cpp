#include "front/win32/folder_refusal.h"

#include <cstdio>
#include <vector>

#include "platform/regular_file.h"
#include "textures/texture_folder.h"
#include "textures/texture_set.h"

namespace {

// Opened the way the saver opens its tiles, so that a file it could not read
// counts as missing here too.
bool Readable(const std::string& path) {
    std::FILE* file = OpenRegularFile(path.c_str());
    if (file == nullptr) return false;
    std::fclose(file);
    return true;
}

// "a", "a and b", "a, b and c".
std::string JoinNames(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    return text;
}

}  // namespace

std::string FolderRefusal(const std::string& folder, bool lostCharacters) {
    // An empty form is what a failed conversion leaves: nothing the saver can read.
    if (lostCharacters || folder.empty() || folder.find('\0') != std::string::npos)
        return "The folder's name holds characters that Solvane cannot read on this "
               "system. Choose a folder whose path has none of them.";
    if (folder.size() > MaxFolderLength)
        return "The folder's path is too long for Solvane, which can use at most " +
               std::to_string(MaxFolderLength) +
               " characters. Choose a folder with a shorter path.";

    std::vector<std::string> missing;
    if (!Readable(folder + "tex.tex")) missing.push_back("tex.tex");
    std::vector<std::string> missingTiles;
    for (const char* name : TextureFileNames)
        if (!Readable(folder + name)) missingTiles.push_back(name);
    if (missingTiles.size() == std::size_t(TextureCount)) {
        missing.push_back("all sixteen tiles (" + std::string(TextureFileNames[0]) + " to " +
                          TextureFileNames[TextureCount - 1] + ")");
    } else {
        missing.insert(missing.end(), missingTiles.begin(), missingTiles.end());
    }
    if (missing.empty()) return {};
    return "The folder lacks " + JoinNames(missing) +
           ". Choose the folder that holds Solvane's textures.";
}
