// The application's stored values: on Windows the registry key
// HKEY_CURRENT_USER "Software\<AppTag>_kvr", elsewhere a folder of that name under
// the user's configuration folder.
#pragma once

#include <cstddef>
#include <cstdint>

#include "text/fixed_text.h"

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

// How a registry read is taken, on every platform, so that the parse of what any
// registry editor may have left is the same and can be tested anywhere. `read`: the
// read succeeded; `type` is the value's registry type (REG_SZ 1, REG_DWORD 4), and
// `size` the bytes it returned into `data`.
// A string: the bytes as stored, ending at their NUL or, without one, after the last
// byte; empty when unread, empty, or longer than FixedTextSize.
void DecodeStoredText(bool read, const std::uint8_t* data, std::size_t size,
                      char (&out)[FixedTextSize]);
// A number: only a REG_DWORD of exactly four bytes, little-endian; false, with
// `value` untouched, otherwise.
bool DecodeStoredNumber(bool read, std::uint32_t type, const std::uint8_t* data, std::size_t size,
                        std::uint32_t& value);

constexpr std::uint32_t StoredTextType = 1;    // REG_SZ
constexpr std::uint32_t StoredNumberType = 4;  // REG_DWORD
