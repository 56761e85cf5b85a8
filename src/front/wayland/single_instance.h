// One solvane-wayland per Wayland display. An idle daemon starts the program again at
// its next timeout whenever input came that did not end the run (a nudge of the
// pointer, a key on another surface); a second instance would only stack surfaces,
// contexts and tiles that the user must dismiss one by one.
#pragma once

// Takes the display's lock for the life of the process: true when this is the only
// instance on the display, false when another holds the lock. The lock is a file in
// $XDG_RUNTIME_DIR named after $WAYLAND_DISPLAY, which the kernel releases when the
// holder ends however it ends. Where no lock can be made (no runtime folder), the
// program runs unguarded: better two globes than none.
bool TakeDisplayLock();
