// The one-time set-up of the scene that every front end makes before its first
// frame: the view settings, the Sun's light, the frames, the texture folder and set,
// and the SunFrame. Calls no GL.
#pragma once

// The set-up of window creation, with the stored texture folder (or the picker's).
void SetUpScene();

// The same set-up with `folder` as the TextureFolder instead of the stored or picked
// one (front ends and tools that take the folder on their command line). A missing
// separator at the end is added. Returns 0 and sets up nothing when the folder is
// empty or too long for the texture paths (more than 92 characters with its
// separator), else 1.
int SetUpSceneWithFolder(const char* folder);
