// The cloud layer: a shell just above the globe, drawn over the patches with a
// texture of its own (or, in Classic where the GL can, that texture on the patches'
// second unit), so that a new cloud image replaces one texture and leaves the sixteen
// tiles alone.
#pragma once

#include <cstdint>
#include <vector>

#include "clouds/cloud_decode.h"
#include "globe/globe_mesh.h"
#include "view/camera_frame.h"

// The shell's radius over the globe's: about 15 km above the ground at Earth's size,
// and enough that the flat 5-degree patches of the shell stay outside those of the
// ground everywhere (their centres sag by up to 0.19 %), so the depth test keeps it.
constexpr float CloudShellScale = 1.0025f;

// Hands the layer a cloud picture of CloudTextureWidth x CloudTextureHeight grey
// bytes (0 clear, 255 cloud), from any thread. The work on it (the pole smoothing and
// the smaller levels of the texture) is done here, in the caller's thread; the next
// frame only uploads it. A picture of another size, or an empty one, takes the
// layer away.
void SetCloudPicture(const CloudPicture& picture);

// Whether a picture is set: the layer is drawn.
bool CloudLayerShown();

// Whether a picture was set (or the layer taken away) since the last frame drew: the
// picture on screen is out of date, whatever the clock says.
bool CloudPictureWaiting();

// The picture as the layer shows it, level 0 of the texture: each row near a pole
// averaged across a width that grows as 1 / cos(latitude), wrapping at the date line,
// so that the converging columns of an equirectangular map do not draw streaks into
// the pole. Exposed for tests.
std::vector<std::uint8_t> SmoothTowardsPoles(const std::vector<std::uint8_t>& grey, int width,
                                             int height);

// Draws the layer over the globe as placed by the last ShadeGlobe, seen from `camera`
// (its position), lit as the ground is lit: full white under the Sun, the ambient
// colour on the night side, so that clouds hide the city lights beneath them.
// Uploads a picture set since the last call. Draws nothing without a picture.
void DrawCloudLayer(const CameraFrame& camera);

// The layer's texture coordinates at a patch's corners: south-west, south-east,
// north-east and north-west, the order of its vertices.
struct CloudCorners {
    float s[4], t[4];
};
CloudCorners CloudCornersOf(const Patch& patch);

// Where the GL combines two textures (GL 1.3, or ARB_multitexture with
// ARB_texture_env_combine), the Classic globe's texture passes carry the layer on a
// second unit: a texture lookup a pixel instead of a blended pass over the whole disc,
// which on a software GL costs as much again as the globe. Between Begin (true: the
// unit is ready) and End, each pass says whether its tiles are the night's, and each
// vertex takes its corner's coordinates; the view's DrawCloudLayer then draws nothing.
bool BeginCloudsOnGround();
void LightCloudsOnGround(bool night);
void CloudsOnGroundAt(float s, float t);
void EndCloudsOnGround();

// Deletes the layer's texture object in the current context; the picture stays, and
// the next DrawCloudLayer in any context uploads it again.
void ReleaseCloudObjects();
