/* Stands in for the Windows 9x password-change entry of MPR.DLL: records its
   arguments and changes nothing. */
#include <stdio.h>
#include <windows.h>

#include "double_log.h"

__declspec(dllexport) DWORD WINAPI
    PwdChangePasswordA(LPCSTR registryKey, HWND owner, DWORD reserved1, LPVOID reserved2) {
    char key[64] = "(null)";
    if (registryKey != NULL) lstrcpynA(key, registryKey, sizeof key);
    char line[256];
    snprintf(line, sizeof line, "PwdChangePasswordA key=%s owner=%llu reserved1=%lu reserved2=%llu",
             key, (unsigned long long)(UINT_PTR)owner, (unsigned long)reserved1,
             (unsigned long long)(UINT_PTR)reserved2);
    AppendDoubleLog(line);
    return 0;
}
