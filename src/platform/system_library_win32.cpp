#include <windows.h>

#include <cstring>

#include "platform/system_library.h"

HMODULE LoadSystemLibrary(const char* fileName) {
    if (fileName == nullptr || fileName[0] == '\0') return nullptr;
    // Windows 8 on (and 7 with its update KB2533623) searches the system folder alone,
    // for the library and for what it imports. Older systems refuse the flag as an
    // invalid parameter.
    HMODULE library = LoadLibraryExA(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (library != nullptr || GetLastError() != ERROR_INVALID_PARAMETER) return library;

    // There, a full path names the file itself; the altered search makes its imports
    // be looked for in its own folder, the system folder, and not beside the saver.
    char path[MAX_PATH];
    const UINT folderLength = GetSystemDirectoryA(path, MAX_PATH);
    const std::size_t nameLength = std::strlen(fileName);
    if (folderLength == 0 || folderLength + 1 + nameLength >= MAX_PATH) return nullptr;
    path[folderLength] = '\\';
    std::memcpy(path + folderLength + 1, fileName, nameLength + 1);
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void RestrictLibrarySearch() {
    // Looked up, not imported: Windows XP and 9x have neither function.
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel == nullptr) return;
    using SetDefaultFunction = BOOL(WINAPI*)(DWORD);
    const auto setDefault = reinterpret_cast<SetDefaultFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault != nullptr &&
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_USER_DIRS) != FALSE)
        return;
    using SetDirectoryFunction = BOOL(WINAPI*)(LPCSTR);
    const auto setDirectory = reinterpret_cast<SetDirectoryFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryA")));
    if (setDirectory != nullptr) setDirectory("");
}
