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

// Opens the key with the access asked; null when it cannot be opened or made.
HKEY OpenAppKey(REGSAM access, bool create) {
    char keyPath[64];
    ComposeKeyPath(keyPath);
    HKEY key = nullptr;
    const LONG status =
        create ? RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 access, nullptr, &key, nullptr)
               : RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, access, &key);
    return status == ERROR_SUCCESS ? key : nullptr;
}

}  // namespace

int StoreAppValue(const char* name, const char* text) {
    HKEY key = OpenAppKey(KEY_SET_VALUE, true);
    if (key == nullptr) return 1;
    // The whole text and its NUL: a long folder must come back as it was chosen.
    const LONG status = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                       DWORD(std::strlen(text) + 1));
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? 0 : 1;
}

void LoadAppValue(const char* name, char (&out)[FixedTextSize]) {
    out[0] = '\0';
    HKEY key = OpenAppKey(KEY_QUERY_VALUE, false);
    if (key == nullptr) return;
    BYTE buffer[ValueSize];
    DWORD size = ValueSize;
    // A value longer than the buffer gives ERROR_MORE_DATA and is not read.
    const bool read = RegQueryValueExA(key, name, nullptr, nullptr, buffer, &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    DecodeStoredText(read, buffer, size, out);
}

bool LoadAppNumber(const char* name, std::uint32_t& value) {
    HKEY key = OpenAppKey(KEY_QUERY_VALUE, false);
    if (key == nullptr) return false;
    DWORD type = REG_NONE;
    BYTE data[4];
    DWORD size = sizeof data;
    const bool read = RegQueryValueExA(key, name, nullptr, &type, data, &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return DecodeStoredNumber(read, type, data, size, value);
}

int StoreAppNumber(const char* name, std::uint32_t value) {
    HKEY key = OpenAppKey(KEY_SET_VALUE, true);
    if (key == nullptr) return 1;
    const DWORD data = value;
    const LONG status =
        RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? 0 : 1;
}
