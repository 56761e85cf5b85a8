#include "textures/texture_folder.h"

#include <cstring>

#include "platform/marker_picker.h"
#include "platform/stored_values.h"

char TextureFolder[FolderTextSize] = "";

namespace {

constexpr char MarkerName[] = "tex.tex";
constexpr char FolderValueName[] = "path";

// Length of a fixed text that may lack its terminator (then the whole field).
std::size_t BoundedLength(const char (&text)[FolderTextSize]) {
    const void* end = std::memchr(text, '\0', FolderTextSize);
    return end != nullptr ? std::size_t(static_cast<const char*>(end) - text) : FolderTextSize;
}

void CopyText(char (&out)[FolderTextSize], const char* text, std::size_t length) {
    std::memcpy(out, text, length);
    out[length] = '\0';
}

}  // namespace

bool CutMarkerPath(const char* markerPath, char (&folder)[FolderTextSize]) {
    if (markerPath == nullptr) return false;
    const char* marker = std::strstr(markerPath, MarkerName);
    if (marker == nullptr) return false;
    const std::size_t length = std::size_t(marker - markerPath);
    if (length > MaxFolderLength) return false;
    CopyText(folder, markerPath, length);
    return true;
}

std::size_t TexturePathPrefix(char (&out)[FolderTextSize]) {
    const std::size_t length = BoundedLength(TextureFolder);
    if (length > MaxFolderLength) {
        out[0] = '\0';
        return 0;
    }
    CopyText(out, TextureFolder, length);
    return length;
}

void BrowseForTextureFolder() {
    char picked[MarkerPathSize] = "";
    if (!PickMarkerFile(picked, sizeof picked)) return;
    const char* marker = std::strstr(picked, MarkerName);
    if (marker == nullptr) return;
    if (!CutMarkerPath(picked, TextureFolder)) {
        // The folder exists but its paths would not fit: no folder, as for a
        // stored value of that length.
        TextureFolder[0] = '\0';
        return;
    }
    StoreTextureFolder(TextureFolder);
}

void LoadStoredTextureFolder(char (&out)[FolderTextSize]) {
    LoadAppValue(FolderValueName, out);
    if (BoundedLength(out) > MaxFolderLength) out[0] = '\0';
}

int StoreTextureFolder(const char* folder) {
    return StoreAppValue(FolderValueName, folder);
}

void SettleTextureFolder() {
    std::strcpy(AppTag, "QMT");
    LoadStoredTextureFolder(TextureFolder);
    if (TextureFolder[0] == '\0') BrowseForTextureFolder();
}
