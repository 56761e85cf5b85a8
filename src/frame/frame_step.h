// One frame of the saver's work, in its fixed order.
#pragma once

// 1 until the end of the first frame, which builds the mesh and aligns the Camera.
extern int firstFrame;
// The UTC second read by the previous frame.
extern int previousSecond;

void FrameStep();

// Deletes the GL objects the frame step keeps in the current context (the texture
// objects of the texture set). Every front end calls it with its context still
// current, just before destroying that context: the objects go with the context
// they were made in, and a later FrameStep in another context makes its own.
void ReleaseGlObjects();
