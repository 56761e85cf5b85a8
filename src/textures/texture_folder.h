// The folder of the sixteen texture files, chosen once and remembered.
#pragma once

#include <cstddef>

#include "text/fixed_text.h"

constexpr int FolderTextSize = FixedTextSize;
// The longest folder that still leaves room for a seven-character file name such as
// "d11.bmp" and the NUL in a 100-character path. A longer one counts as no folder.
constexpr std::size_t MaxFolderLength = FolderTextSize - 8;
// Size of the buffer the picker fills with the chosen file's path.
constexpr std::size_t MarkerPathSize = 500;

// The texture folder, ending in its separator, or empty when none is known.
extern char TextureFolder[FolderTextSize];

// Asks the user for the marker file tex.tex, makes its folder the TextureFolder
// and stores it as the value "path". A cancel, or a file whose path holds no
// "tex.tex", leaves TextureFolder as it was; a folder too long for the texture paths
// empties it. Nothing is stored in either case.
void BrowseForTextureFolder();

// The set-up step: AppTag, then the stored "path", then the dialog when none.
void SettleTextureFolder();

// The stored folder as the set-up takes it: empty when none is stored or when it is
// too long for the texture paths.
void LoadStoredTextureFolder(char (&out)[FolderTextSize]);

// Stores `folder` as the value "path". Returns 0 on success, 1 when the key cannot
// be created.
int StoreTextureFolder(const char* folder);

// Cuts a picked marker path at its first "tex.tex" (case-sensitive) into `folder`.
// Returns false, with `folder` untouched, when the path holds no "tex.tex" or the
// folder would be longer than MaxFolderLength.
bool CutMarkerPath(const char* markerPath, char (&folder)[FolderTextSize]);

// Writes the folder part of every texture path into `out` and returns its length:
// TextureFolder, or the empty text when TextureFolder is too long to form the paths.
// The texture set and the tile names both use it, so their paths always agree.
std::size_t TexturePathPrefix(char (&out)[FolderTextSize]);
