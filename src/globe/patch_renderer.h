// Draws the scene list, one pass per texture and a closing pass.
#pragma once

#include "globe/globe_mesh.h"

// `patches`: head of the scene list; of `camera` only the position is read.
void DrawPatches(const Patch* patches, const CameraFrame& camera);
