// Classes every scene patch as day or night and names its texture file.
#pragma once

void AssignTileTextures();
