// Draws the scene list, one pass per texture and a closing pass. Each texture pass
// binds its record's texture object, which the texture set makes on first use.
#pragma once

#include "globe/globe_mesh.h"

// `patches`: head of the scene list; of `camera` only the position is read.
// PlanPatches and then DrawPlannedPatches.
void DrawPatches(const Patch* patches, const CameraFrame& camera);

// Which patches each pass draws, in which order: the part of DrawPatches that does
// not depend on the camera, so that a frame drawn into several views works it out
// once. Calls no GL. The plan holds on to the patches and the texture records until
// the next call; neither may change before it is drawn.
void PlanPatches(const Patch* patches);
// Draws the passes of the last plan as seen from `camera` (its position).
void DrawPlannedPatches(const CameraFrame& camera);
