#include "clouds/cloud_decode.h"
#include "clouds/cloud_resample.h"

CloudVerdict PrepareCloudTexture(const std::uint8_t* data, std::size_t size,
                                 CloudPicture& texture) {
    texture = CloudPicture();
    CloudPicture decoded;
    const CloudVerdict verdict = DecodeCloudImage(data, size, decoded);
    if (verdict != CloudVerdict::Accepted) return verdict;
    texture.grey = ResampleCloud(decoded.grey.data(), decoded.width, decoded.height,
                                 CloudTextureWidth, CloudTextureHeight);
    texture.width = CloudTextureWidth;
    texture.height = CloudTextureHeight;
    return verdict;
}
