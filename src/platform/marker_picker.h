// Lets the user pick the texture folder's marker file (Windows: the open-file
// dialog "Browse for textures path").
#pragma once

#include <cstddef>

// Writes the chosen file's full path into `out`. Returns false, with `out` empty,
// when the user cancels or no picker exists.
bool PickMarkerFile(char* out, std::size_t size);

// Host builds only: the answers PickMarkerFile gives, one per call, for tests and
// tools; an empty path stands for a cancel. Without answers it cancels.
void QueueMarkerPick(const char* path);
// Host builds only: forgets the answers not yet given.
void ClearMarkerPicks();
