// The delay-imported DLLs (opengl32 and glu32, in the 64-bit saver) come from the
// system folder only.
// clang-format off
#include <windows.h>
#include <delayimp.h>
// clang-format on

#include "platform/system_library.h"

namespace {

FARPROC WINAPI LoadFromSystemFolder(unsigned notification, PDelayLoadInfo info) {
    if (notification != dliNotePreLoadLibrary) return nullptr;
    return reinterpret_cast<FARPROC>(LoadSystemLibrary(info->szDll));
}

}  // namespace

// Asked by the delay-load helper before it loads a DLL; what it returns is the DLL.
// (Declared extern "C" by delayimp.h.)
PfnDliHook __pfnDliNotifyHook2 = LoadFromSystemFolder;
