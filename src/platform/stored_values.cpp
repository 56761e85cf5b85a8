#include "platform/stored_values.h"

#include <cstring>

char AppTag[16] = "QMT";

void DecodeStoredText(bool read, const std::uint8_t* data, std::size_t size,
                      char (&out)[FixedTextSize]) {
    out[0] = '\0';
    // A value longer than the buffer is not read (ERROR_MORE_DATA).
    if (!read || data == nullptr || size == 0 || size > FixedTextSize) return;
    std::memcpy(out, data, size);
    // A value stored without its NUL ends inside the buffer.
    out[size < FixedTextSize ? size : FixedTextSize - 1] = '\0';
}

bool DecodeStoredNumber(bool read, std::uint32_t type, const std::uint8_t* data, std::size_t size,
                        std::uint32_t& value) {
    if (!read || type != StoredNumberType || data == nullptr || size != 4) return false;
    value = std::uint32_t(data[0]) | std::uint32_t(data[1]) << 8 | std::uint32_t(data[2]) << 16 |
            std::uint32_t(data[3]) << 24;
    return true;
}
