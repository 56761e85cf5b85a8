#include "png_output.h"

#include <stb_image_write.h>

bool WritePng(const char* path, int width, int height, const std::vector<std::uint8_t>& rgb) {
    if (width <= 0 || height <= 0) return false;
    if (rgb.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3)
        return false;
    return stbi_write_png(path, width, height, 3, rgb.data(), width * 3) != 0;
}
