#include "front/win32/saver_settings.h"

SaverSettings saverSettings{};

std::uint32_t DecodeSettingValue(bool readSucceeded, const unsigned char* bytes, std::size_t length,
                                 std::uint32_t fallback) {
    if (!readSucceeded || length > 4 || (length > 0 && bytes == nullptr)) return fallback;
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < length; ++i) value |= std::uint32_t(bytes[i]) << (8 * i);
    return value;
}
