// The application's stored values: on Windows the registry key
// HKEY_CURRENT_USER "Software\<AppTag>_kvr", elsewhere a folder of that name under
// the user's configuration folder.
#pragma once

#include <cstdint>

#include "platform/fixed_text.h"

// Names the key: "Software\" + AppTag + "_kvr". The texture folder's set-up sets it
// before the first value is read or written; it reads "QMT" from the start, so that
// the settings can be read before that.
extern char AppTag[16];

// Writes `text` whole as the string value `name`. Returns 0 on success, 1 when the
// key cannot be created or the value not written.
int StoreAppValue(const char* name, const char* text);

// Reads the string value `name` into `out`; `out` is empty when the value is missing
// or unreadable, and always terminated.
void LoadAppValue(const char* name, char (&out)[FixedTextSize]);

// Reads the number value `name` (Windows: a REG_DWORD) into `value`. Returns false,
// with `value` untouched, when it is missing, of another type or of another size.
bool LoadAppNumber(const char* name, std::uint32_t& value);

// Writes `value` as the number value `name`. Returns 0 on success, 1 when the key
// cannot be created or the value not written.
int StoreAppNumber(const char* name, std::uint32_t value);
