// Places the globe under the Sun for a UTC moment and shades every vertex.
#pragma once

#include "view/camera_frame.h"

struct RgbColour {
    float r, g, b;
};

// The direction in which sunlight travels in the scene: (-1, 0, 0).
extern Vec3 LightDirection;
// The colour the light does not reach, and the floor of every channel.
extern RgbColour Ambient;

// Sets LightDirection and Ambient to their values.
void SetLighting();

// Day number of the year, 10 on 1 January to 374 on 31 December, leap days not
// counted. `month` is 1 to 12.
int DayNumber(int dayOfMonth, int month);

// Rebuilds the SunFrame for a UTC moment: the 23-degree tilt, the day of the year
// and the hour angle. `month` is 1 to 12, `hour` 0 to 23.
void UpdateSunFrame(int second, int minute, int hour, int dayOfMonth, int month);

// Carries every model patch through the SunFrame into the scene list and colours
// every vertex by its angle to the light.
void ShadeGlobe();
// The same without the colours, which only the Classic look's patches take: what the
// Natural look's cloud shell needs of the scene list (a power a vertex, ten thousand a
// frame, is a processor's time that look has no use for).
void PlaceGlobe();
