// The folder of the sixteen texture files, chosen once and remembered.
#pragma once

constexpr int FolderTextSize = 100;  // characters, including the terminating NUL

// Names the application's stored-value key: "Software\" + AppTag + "_kvr".
extern char AppTag[16];
// The texture folder, ending in its separator, or empty when none is known.
extern char TextureFolder[FolderTextSize];

// Asks the user for the marker file tex.tex, makes its folder the TextureFolder
// and stores it as the value "path".
void BrowseForTextureFolder();

// The set-up step: AppTag, then the stored "path", then the dialog when none.
void SettleTextureFolder();
