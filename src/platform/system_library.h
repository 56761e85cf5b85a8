// Loads a library of the operating system from the system folder only (Windows).
#pragma once

struct HINSTANCE__;

// The library `fileName` (a bare file name such as "MPR.DLL") from the system folder,
// and the libraries it imports from there too; null when it is not there. Never the
// saver's own folder or the working directory: a saver started from a downloads
// folder would otherwise run whatever DLL of that name was put beside it.
HINSTANCE__* LoadSystemLibrary(const char* fileName);

// Makes every later load by bare name in this process, the ones the system's own
// libraries make on the saver's behalf included, search the system folder (and
// folders added with AddDllDirectory) instead of the saver's folder, the working
// directory and PATH. Where the system cannot (before Windows 8, or 7 without
// KB2533623), the working directory at least is taken out of the search.
void RestrictLibrarySearch();
