// Windows decodes cloud maps with WIC, loaded from the system folder at run time. Until
// that decoder is in place every map is judged by its header and then refused, so the
// layer stays as it was.
#include "clouds/cloud_decode.h"

CloudVerdict DecodeCloudImage(const std::uint8_t* data, std::size_t size, CloudPicture& picture) {
    picture = CloudPicture();
    CloudImageHeader header;
    const CloudVerdict verdict = InspectCloudImage(data, size, header);
    return verdict == CloudVerdict::Accepted ? CloudVerdict::NotAnImage : verdict;
}
