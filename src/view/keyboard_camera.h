// Numeric-keypad control of the Camera.
#pragma once

#include <cstdint>

constexpr int KeyStateCount = 200;

// Key states by virtual-key code, filled at the start of a frame and zeroed at its
// end. Nonzero: down now, or pressed since the previous query.
extern std::int32_t KeyStateArray[KeyStateCount];

// Reads the keys that anyone reads (the camera keys and the space bar) into the array.
void PollKeys();
// Whether the last PollKeys found a camera key down (or pressed since the poll
// before): the picture moves with it, so a front end draws the next frame at once.
bool SteeringKeysDown();
// Applies the key table to the Camera, then normalises its axes.
void SteerCamera();
void ClearKeys();
