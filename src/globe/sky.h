// What the Natural look draws around the globe: the stars of the Yale Bright Star
// Catalogue and the atmosphere's glow at the limb.
#pragma once

#include <cstdint>

#include "view/camera_frame.h"

// One star of the catalogue (J2000): declination in degrees, right ascension in
// hours, visual magnitude.
struct CatalogueStar {
    float declination, rightAscension, magnitude;
};
// The table generated at build time from the catalogue (star_catalogue.cpp).
extern const CatalogueStar StarCatalogue[];
extern const int StarCatalogueCount;

// The Sun's right ascension at `utcSeconds` (seconds since 1970, UTC) in degrees,
// referred to the equinox of J2000 as the catalogue is; good to about 0.02 degrees.
double SunRightAscension(std::int64_t utcSeconds);

// The scene direction (unit length) of a star at `rightAscension` and `declination`
// (degrees), given the scene directions of the Earth's north axis `north` and of the
// Sun `sun`, whose right ascension is `sunRightAscension` (degrees).
Vec3 SkyDirection(double rightAscension, double declination, const Vec3& north, const Vec3& sun,
                  double sunRightAscension);

// The stars, as points far behind the globe, before it: the globe covers those
// behind it. `sun`: the scene direction of the Sun.
void DrawStars(const CameraFrame& camera, const Vec3& sun, std::int64_t utcSeconds);

// The limb glow, added over the globe's edge and into the space around it.
void DrawAtmosphere(const CameraFrame& camera, const Vec3& sun);
