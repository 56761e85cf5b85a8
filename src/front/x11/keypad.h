// The numeric keypad of an X keyboard as the Windows key states the camera reads.
// Pure: keysyms in, the platform's key-state seam out; no X calls.
#pragma once

// The Win32 virtual-key code of a keypad keysym, or 0 for any other key. Both
// keysyms of each key count (KP_6 and KP_Right alike), so the keypad steers
// whether Num Lock is on or off: the hack has no other use for those keys.
int VirtualKeyOfKeysym(unsigned long keysym);

// Key events, in the form GetAsyncKeyState reports them to the frame step: a key is
// "down" from its press to its release, and "pressed since the last poll" from its
// press until the next EndKeyFrame, so that a key pressed and released between two
// frames still moves the camera once. Codes outside 1..255 are ignored.
void PressVirtualKey(int virtualKey);
void ReleaseVirtualKey(int virtualKey);
// After each frame: forgets the presses that frame has seen; held keys stay down.
void EndKeyFrame();
// Releases every key, as when the window loses the keyboard focus and their releases
// will never come. A press the next frame has not seen still counts once.
void ReleaseAllKeys();
