// Draws the scene list, one pass per texture and a closing pass. Each texture pass
// binds its record's texture object, which the texture set makes on first use.
#pragma once

#include "globe/globe_mesh.h"

// `patches`: head of the scene list; of `camera` only the position is read.
void DrawPatches(const Patch* patches, const CameraFrame& camera);
