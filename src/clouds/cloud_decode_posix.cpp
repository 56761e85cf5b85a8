#include <csetjmp>
#include <cstddef>
#include <cstdio>

// jpeglib.h uses size_t and FILE without including their headers.
// clang-format off
#include <jpeglib.h>
#include <png.h>
// clang-format on

#include "clouds/cloud_decode.h"

namespace {

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void LeaveJpeg(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

// Counts warnings as libjpeg's own handler does, without printing them.
void SilentJpeg(j_common_ptr info, int level) {
    if (level < 0) ++info->err->num_warnings;
}

// Nothing with a destructor may live between setjmp and a longjmp to it: the picture's
// buffer is sized before the jump point and only written after it.
bool DecodeJpeg(const std::uint8_t* data, std::size_t size, const CloudImageHeader& header,
                std::vector<std::uint8_t>& grey) {
    grey.assign(std::size_t(header.width) * header.height, 0);
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = LeaveJpeg;
    error.manager.emit_message = SilentJpeg;
    if (setjmp(error.jump) != 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    // The decoder reads the same frame header; a disagreement means a second frame or a
    // header judged wrongly, and the buffer would not fit.
    if (int(info.image_width) != header.width || int(info.image_height) != header.height) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_GRAYSCALE;
    jpeg_start_decompress(&info);
    if (info.output_components != 1 || int(info.output_width) != header.width) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = grey.data() + std::size_t(info.output_scanline) * header.width;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    // A scan cut short is padded by libjpeg with a warning: such an image is refused.
    const bool whole = info.err->num_warnings == 0;
    jpeg_destroy_decompress(&info);
    return whole;
}

bool DecodePng(const std::uint8_t* data, std::size_t size, const CloudImageHeader& header,
               std::vector<std::uint8_t>& grey) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) return false;
    if (int(image.width) != header.width || int(image.height) != header.height) {
        png_image_free(&image);
        return false;
    }
    // Alpha, where there is any, is coverage too: composite over black.
    image.format = PNG_FORMAT_GRAY;
    grey.assign(PNG_IMAGE_SIZE(image), 0);
    png_color black = {0, 0, 0};
    const bool done = png_image_finish_read(&image, &black, grey.data(), 0, nullptr) != 0;
    const bool clean = done && (image.warning_or_error & PNG_IMAGE_ERROR) == 0;
    png_image_free(&image);
    return clean;
}

}  // namespace

CloudVerdict DecodeInspectedImage(const std::uint8_t* data, std::size_t size,
                                  const CloudImageHeader& header, std::vector<std::uint8_t>& grey) {
    const bool decoded = header.format == CloudImageFormat::Jpeg
                             ? DecodeJpeg(data, size, header, grey)
                             : DecodePng(data, size, header, grey);
    return decoded ? CloudVerdict::Accepted : CloudVerdict::NotAnImage;
}
