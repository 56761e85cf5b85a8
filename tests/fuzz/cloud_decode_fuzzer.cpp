// Cloud maps as a server might send them, through the header judge and the decoders.
#include <cstddef>
#include <cstdint>

#include "clouds/cloud_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CloudPicture picture;
    const CloudVerdict verdict = DecodeCloudImage(data, size, picture);
    // An accepted picture is whole; a refused one holds nothing.
    const std::size_t expected =
        verdict == CloudVerdict::Accepted ? std::size_t(picture.width) * picture.height : 0;
    if (picture.grey.size() != expected) __builtin_trap();
    return 0;
}
