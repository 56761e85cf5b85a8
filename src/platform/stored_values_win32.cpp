#include <windows.h>

#include <cstdio>
#include <cstring>

#include "platform/stored_values.h"

namespace {

constexpr DWORD ValueSize = FixedTextSize;

// "Software\" + AppTag + "_kvr".
void ComposeKeyPath(char (&out)[64]) {
    std::snprintf(out, sizeof out, "Software\\%.*s_kvr", int(sizeof AppTag), AppTag);
}

}  // namespace

int StoreAppValue(const char* name, const char* text) {
    char keyPath[64];
    ComposeKeyPath(keyPath);
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return 1;
    }
    // The whole text and its NUL: a long folder must come back as it was chosen.
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   DWORD(std::strlen(text) + 1));
    RegCloseKey(key);
    return 0;
}

void LoadAppValue(const char* name, char (&out)[FixedTextSize]) {
    out[0] = '\0';
    char keyPath[64];
    ComposeKeyPath(keyPath);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        return;
    }
    BYTE buffer[ValueSize];
    DWORD size = ValueSize;
    // A value longer than the buffer gives ERROR_MORE_DATA and is not read.
    if (RegQueryValueExA(key, name, nullptr, nullptr, buffer, &size) == ERROR_SUCCESS && size > 0 &&
        size <= ValueSize) {
        std::memcpy(out, buffer, size);
        // A value stored without its NUL ends inside the buffer.
        out[size < ValueSize ? size : ValueSize - 1] = '\0';
    }
    RegCloseKey(key);
}
