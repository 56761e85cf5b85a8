// The checks behind the Settings dialog. Windows types stay out so that they are
// tested on the host.
#pragma once

#include <string>

// Why a folder the user picked cannot become the texture folder, as a sentence for
// the user; empty when it can. `folder` is the path as the saver will read it (the
// bytes of the system's ANSI code page), ending in its separator; `lostCharacters`
// says that turning the picked name into those bytes could not keep every
// character. A folder must be readable that way, short enough for the texture paths
// and hold the marker tex.tex and all sixteen tiles.
std::string FolderRefusal(const std::string& folder, bool lostCharacters);
