#include "clouds/cloud_resample.h"

#include <algorithm>

namespace {

// One output sample's share of the input: the input cells it covers and their weights.
struct Span {
    int first = 0;
    std::vector<float> weights;
};

// The box of each of `out` samples over `in` cells, in cell units: sample i covers
// [i * in / out, (i + 1) * in / out). Weights sum to 1.
std::vector<Span> BoxSpans(int in, int out) {
    std::vector<Span> spans(out);
    const double scale = double(in) / out;
    for (int i = 0; i < out; ++i) {
        const double start = i * scale;
        const double end = std::min(double(in), (i + 1) * scale);
        Span& span = spans[i];
        span.first = std::min(in - 1, int(start));
        for (int cell = span.first; cell < in && cell < end; ++cell) {
            const double covered = std::min(end, cell + 1.0) - std::max(start, double(cell));
            span.weights.push_back(float(covered / (end - start)));
        }
    }
    return spans;
}

}  // namespace

std::vector<std::uint8_t> ResampleCloud(const std::uint8_t* source, int width, int height,
                                        int outWidth, int outHeight) {
    if (source == nullptr || width <= 0 || height <= 0 || outWidth <= 0 || outHeight <= 0) {
        return {};
    }
    const std::vector<Span> across = BoxSpans(width, outWidth);
    const std::vector<Span> down = BoxSpans(height, outHeight);
    // Rows first into floats, then columns: each source byte is read once per pass.
    std::vector<float> rows(std::size_t(outWidth) * height);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = source + std::size_t(y) * width;
        float* out = rows.data() + std::size_t(y) * outWidth;
        for (int x = 0; x < outWidth; ++x) {
            const Span& span = across[x];
            float sum = 0.0f;
            for (std::size_t k = 0; k < span.weights.size(); ++k) {
                sum += span.weights[k] * in[span.first + k];
            }
            out[x] = sum;
        }
    }
    std::vector<std::uint8_t> result(std::size_t(outWidth) * outHeight);
    for (int y = 0; y < outHeight; ++y) {
        const Span& span = down[y];
        for (int x = 0; x < outWidth; ++x) {
            float sum = 0.0f;
            for (std::size_t k = 0; k < span.weights.size(); ++k) {
                sum += span.weights[k] * rows[(span.first + k) * outWidth + x];
            }
            result[std::size_t(y) * outWidth + x] =
                std::uint8_t(std::clamp(int(sum + 0.5f), 0, 255));
        }
    }
    return result;
}
