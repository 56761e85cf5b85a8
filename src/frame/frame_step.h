// One frame of the saver's work, in its fixed order.
#pragma once

// 1 until the end of the first frame, which builds the mesh and aligns the Camera.
extern int firstFrame;
// The UTC second read by the previous frame.
extern int previousSecond;

void FrameStep();
