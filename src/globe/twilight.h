// How the Natural look lights a point of the globe from the Sun's elevation there.
// The reference bands are civil twilight (the Sun down to 6 degrees below the
// horizon), in which the day picture fades out, and nautical twilight (down to 12),
// by whose end the city lights are fully on; they start to show at 3 below.
#pragma once

#include "globe/sun_shading.h"

constexpr double CityLightsStart = -3.0;  // degrees of Sun elevation: lights begin
constexpr double CityLightsFull = -12.0;  // and are fully on
constexpr double DayPictureGone = -6.0;   // the day picture has faded out

// The factor by which the day picture is drawn where the Sun stands `sinElevation`
// (the sine of its elevation) above the horizon: 0 below DayPictureGone, rising
// through a warm twilight to 1 with the Sun overhead. Each channel 0 to 1.
RgbColour DaylightAt(double sinElevation);

// The share of the night picture (the city lights) drawn there: 0 with the Sun above
// CityLightsStart, 1 below CityLightsFull, smooth in between.
double CityLightsAt(double sinElevation);

// The texels of the ramp textures: about a quarter of a degree each near the horizon.
constexpr int TwilightRampTexels = 512;

// DaylightAt and CityLightsAt as a ramp of TwilightRampTexels texels holds them,
// before rounding, read as the GL filters it: linearly between texel centres, held at
// the ends. Per vertex, they keep in step with the ramps and cost no power,
// exponential or arcsine, which MinGW's library computes on the x87.
RgbColour RampDaylightAt(float sinElevation);
float RampLightsAt(float sinElevation);

// Texels of a 1D ramp texture of `count` RGB texels whose texture coordinate s in
// [0, 1] stands for sinElevation = 2s - 1, each texel at its centre: the daylight
// (night false) or the city lights (night true, all three channels equal).
void FillTwilightRamp(unsigned char* rgb, int count, bool night);
