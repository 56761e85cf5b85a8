#include "globe/twilight.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double Pi = 3.14159265358979323846;

double Elevation(double sinElevation) {
    return std::asin(std::min(1.0, std::max(-1.0, sinElevation))) * 180.0 / Pi;
}

// 0 at `from`, 1 at `to`, smooth at both ends; `from` may lie above `to`.
double SmoothStep(double from, double to, double x) {
    const double t = std::min(1.0, std::max(0.0, (x - from) / (to - from)));
    return t * t * (3.0 - 2.0 * t);
}

unsigned char Byte(double value) {
    return static_cast<unsigned char>(std::lround(std::min(1.0, std::max(0.0, value)) * 255.0));
}

struct RampSamples {
    RgbColour day[TwilightRampTexels];
    float lights[TwilightRampTexels];
};

const RampSamples& Samples() {
    static const RampSamples samples = [] {
        RampSamples made{};
        for (int i = 0; i < TwilightRampTexels; ++i) {
            const double s = (2.0 * i + 1.0) / TwilightRampTexels - 1.0;
            made.day[i] = DaylightAt(s);
            made.lights[i] = float(CityLightsAt(s));
        }
        return made;
    }();
    return samples;
}

// The texel below sinElevation and the weight of the one above it.
int RampTexelAt(float sinElevation, float& above) {
    constexpr int n = TwilightRampTexels;
    const float x = std::min((sinElevation + 1.0f) * 0.5f * n - 0.5f, float(n - 1));
    const float held = x > 0.0f ? x : 0.0f;  // a NaN too
    const int i = std::min(int(held), n - 2);
    above = held - float(i);
    return i;
}

}  // namespace

RgbColour RampDaylightAt(float sinElevation) {
    float f = 0.0f;
    const int i = RampTexelAt(sinElevation, f);
    const RgbColour& a = Samples().day[i];
    const RgbColour& b = Samples().day[i + 1];
    return {a.r + f * (b.r - a.r), a.g + f * (b.g - a.g), a.b + f * (b.b - a.b)};
}

float RampLightsAt(float sinElevation) {
    float f = 0.0f;
    const int i = RampTexelAt(sinElevation, f);
    const float* lights = Samples().lights;
    return lights[i] + f * (lights[i + 1] - lights[i]);
}

RgbColour DaylightAt(double sinElevation) {
    // The light of a Sun that sets 6 degrees late: the sky still lights the ground a
    // little after sunset. The power below 1 keeps a low Sun's ground readable.
    const double horizon = std::sin(-DayPictureGone * Pi / 180.0);
    const double lifted = std::max(0.0, sinElevation + horizon) / (1.0 + horizon);
    const double level = std::pow(lifted, 0.8);
    // Reddened near the horizon, where sunlight crosses most air: strongest at sunset,
    // gone about 10 degrees either side.
    const double e = Elevation(sinElevation);
    const double warmth = std::exp(-(e / 6.0) * (e / 6.0));
    return {float(level), float(level * (1.0 - 0.22 * warmth)),
            float(level * (1.0 - 0.45 * warmth))};
}

double CityLightsAt(double sinElevation) {
    return SmoothStep(CityLightsStart, CityLightsFull, Elevation(sinElevation));
}

void FillTwilightRamp(unsigned char* rgb, int count, bool night) {
    for (int i = 0; i < count; ++i) {
        const double s = (2.0 * i + 1.0) / count - 1.0;
        if (night) {
            const unsigned char v = Byte(CityLightsAt(s));
            rgb[3 * i] = rgb[3 * i + 1] = rgb[3 * i + 2] = v;
        } else {
            const RgbColour c = DaylightAt(s);
            rgb[3 * i] = Byte(c.r);
            rgb[3 * i + 1] = Byte(c.g);
            rgb[3 * i + 2] = Byte(c.b);
        }
    }
}
