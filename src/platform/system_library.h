// Loads a library of the operating system from the system folder only (Windows).
#pragma once

struct HINSTANCE__;

// The library `fileName` (a bare file name such as "MPR.DLL") from the system folder,
// and the libraries it imports from there too; null when it is not there. Never the
// saver's own folder or the working directory: a saver started from a downloads
// folder would otherwise run whatever DLL of that name was put beside it.
HINSTANCE__* LoadSystemLibrary(const char* fileName);
