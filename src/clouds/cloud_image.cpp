#include "clouds/cloud_image.h"

#include "clouds/cloud_decode.h"

namespace {

std::uint32_t BigEndian16(const std::uint8_t* bytes) {
    return (std::uint32_t(bytes[0]) << 8) | bytes[1];
}

std::uint32_t BigEndian32(const std::uint8_t* bytes) {
    return (std::uint32_t(bytes[0]) << 24) | (std::uint32_t(bytes[1]) << 16) |
           (std::uint32_t(bytes[2]) << 8) | bytes[3];
}

const std::uint8_t PngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// An empty IEND chunk: length 0, type, CRC.
const std::uint8_t PngEnd[12] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};

bool StartsWith(const std::uint8_t* data, std::size_t size, const std::uint8_t* prefix,
                std::size_t length) {
    if (size < length) return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (data[i] != prefix[i]) return false;
    }
    return true;
}

CloudVerdict InspectPng(const std::uint8_t* data, std::size_t size, CloudImageHeader& header) {
    header.format = CloudImageFormat::Png;
    // Signature, then IHDR: length, type, width, height, depth, colour type, ...
    if (size < 8 + 8 + 13 + 4) return CloudVerdict::Truncated;
    const std::uint8_t* chunk = data + 8;
    if (BigEndian32(chunk) != 13 || chunk[4] != 'I' || chunk[5] != 'H' || chunk[6] != 'D' ||
        chunk[7] != 'R') {
        return CloudVerdict::NotAnImage;
    }
    const std::uint32_t width = BigEndian32(chunk + 8);
    const std::uint32_t height = BigEndian32(chunk + 12);
    // A width beyond 2^31 is outside the format; int would not hold it either.
    if (width > 0x7FFFFFFFu || height > 0x7FFFFFFFu) return CloudVerdict::TooLarge;
    header.width = int(width);
    header.height = int(height);
    const CloudVerdict sized = JudgeCloudSize(width, height);
    if (sized != CloudVerdict::Accepted) return sized;
    if (size < 8 + 25 + sizeof PngEnd ||
        !StartsWith(data + size - sizeof PngEnd, sizeof PngEnd, PngEnd, sizeof PngEnd)) {
        return CloudVerdict::Truncated;
    }
    return CloudVerdict::Accepted;
}

// Walks the marker segments up to the frame header. Only the baseline, extended and
// progressive Huffman frames are taken: those are what cloud maps are written in.
CloudVerdict InspectJpeg(const std::uint8_t* data, std::size_t size, CloudImageHeader& header) {
    header.format = CloudImageFormat::Jpeg;
    std::size_t at = 2;
    for (;;) {
        if (at >= size) return CloudVerdict::Truncated;
        if (data[at] != 0xFF) return CloudVerdict::NotAnImage;
        while (at < size && data[at] == 0xFF) ++at;  // fill bytes
        if (at >= size) return CloudVerdict::Truncated;
        const std::uint8_t marker = data[at++];
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length
        if (marker == 0xD8 || marker == 0xD9 || marker == 0xDA || marker == 0x00) {
            return CloudVerdict::NotAnImage;  // scan or end before any frame header
        }
        if (size - at < 2) return CloudVerdict::Truncated;
        const std::uint32_t length = BigEndian16(data + at);
        if (length < 2) return CloudVerdict::NotAnImage;
        if (size - at < length) return CloudVerdict::Truncated;
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (marker > 0xC2 || length < 8) return CloudVerdict::NotAnImage;
            const std::uint8_t* segment = data + at + 2;  // precision, height, width, ...
            const std::uint32_t height = BigEndian16(segment + 1);
            const std::uint32_t width = BigEndian16(segment + 3);
            const std::uint32_t components = segment[5];
            header.width = int(width);
            header.height = int(height);
            // Height 0 defers it to a later DNL marker: refused, as nothing claims it.
            if (segment[0] != 8 || height == 0 || width == 0 ||
                (components != 1 && components != 3) || length != 8 + 3 * components) {
                return CloudVerdict::NotAnImage;
            }
            const CloudVerdict sized = JudgeCloudSize(width, height);
            if (sized != CloudVerdict::Accepted) return sized;
            if (data[size - 2] != 0xFF || data[size - 1] != 0xD9) return CloudVerdict::Truncated;
            return CloudVerdict::Accepted;
        }
        at += length;
    }
}

}  // namespace

CloudVerdict JudgeCloudSize(std::int64_t width, std::int64_t height) {
    if (width > MaxCloudWidth || height > MaxCloudWidth / 2) return CloudVerdict::TooLarge;
    if (width < MinCloudWidth) return CloudVerdict::TooSmall;
    if (width != 2 * height) return CloudVerdict::WrongAspect;
    return CloudVerdict::Accepted;
}

CloudVerdict InspectCloudImage(const std::uint8_t* data, std::size_t size,
                               CloudImageHeader& header) {
    header = CloudImageHeader();
    if (data == nullptr || size == 0) return CloudVerdict::Truncated;
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xD8) return InspectJpeg(data, size, header);
    if (size >= 1 && data[0] == 0x89) {
        if (StartsWith(data, size, PngSignature, sizeof PngSignature)) {
            return InspectPng(data, size, header);
        }
        // A prefix of the signature is a file cut short, not some other format.
        if (size < sizeof PngSignature &&
            StartsWith(PngSignature, sizeof PngSignature, data, size)) {
            return CloudVerdict::Truncated;
        }
    }
    if (size == 1 && data[0] == 0xFF) return CloudVerdict::Truncated;
    return CloudVerdict::NotAnImage;
}

const char* DescribeCloudVerdict(CloudVerdict verdict) {
    switch (verdict) {
        case CloudVerdict::Accepted:
            return "accepted";
        case CloudVerdict::NotAnImage:
            return "not a JPEG or PNG image";
        case CloudVerdict::Truncated:
            return "truncated";
        case CloudVerdict::TooSmall:
            return "too small";
        case CloudVerdict::TooLarge:
            return "too large";
        case CloudVerdict::WrongAspect:
            return "wrong aspect";
    }
    return "unknown";
}

CloudVerdict DecodeCloudImage(const std::uint8_t* data, std::size_t size, CloudPicture& picture) {
    picture = CloudPicture();
    CloudImageHeader header;
    CloudVerdict verdict = InspectCloudImage(data, size, header);
    if (verdict == CloudVerdict::Accepted)
        verdict = DecodeInspectedImage(data, size, header, picture.grey);
    if (verdict != CloudVerdict::Accepted) {
        picture = CloudPicture();
        return verdict;
    }
    picture.width = header.width;
    picture.height = header.height;
    return verdict;
}
