// A thread that nobody waits for: a fetcher beside the frame loop, which the process
// may end in the middle of its work.
#pragma once

// Runs `task(argument)` in a new thread and returns at once. False when no thread
// could be made; `task` has not run then.
bool RunDetached(void (*task)(void*), void* argument);

// Sleeps the calling thread for `milliseconds`.
void SleepMilliseconds(int milliseconds);
