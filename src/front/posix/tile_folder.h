// Which texture folder a Linux front end reads, and what is wrong with the tiles in it.
// Plain file logic, no window system.
#pragma once

#include <string>
#include <vector>

// The installed tiles of the Debian package.
constexpr char InstalledTextureFolder[] = "/usr/share/solvane/textures";

// The folder to read: `given` (from -textures) when there is one, or the folder of
// `given` when it names a file (XScreenSaver's settings dialog picks files, such as
// the folder's tex.tex); else the first of `candidates` that holds d11.bmp; else the
// first candidate, whose missing tiles will then be reported.
std::string ChooseTextureFolder(const char* given, const std::vector<std::string>& candidates);

// The default candidates: the installed tiles, then "textures" beside the program
// (where a build tree keeps the tiles it cuts). `programFolder` may be empty.
std::vector<std::string> DefaultTextureFolders(const std::string& programFolder);

// One line for each of the sixteen tiles that cannot be drawn: missing, unreadable,
// not a bitmap, or not an uncompressed bottom-up 24-bit image. A folder path too long
// for the texture paths is one line of its own. Empty when every tile is usable.
std::vector<std::string> FindTileProblems(const std::string& folder);

// The same lines once the texture set has been built from `folder`, without reading
// the images a second time: a tile the set holds as its file holds it is judged from
// its header alone, and only one the set could not take is read again to say why.
std::vector<std::string> FindLoadedTileProblems(const std::string& folder);

// Sets the scene up with the tiles of `folder` (the root folder, which holds none,
// stands in for one too long for the texture paths). When they cannot all be drawn it
// says why on stderr, as `program`, naming `textureOption` as the way to other tiles,
// and drops the images: the globe then shows its day and night shading only.
void SetUpSceneWithTiles(const std::string& folder, const char* program, const char* textureOption);
