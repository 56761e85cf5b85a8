// Latitudes and longitudes of the globe's own frame, read off or placed in the scene.
//
// Degrees throughout, north and east positive, in the frame the mesh is built in: the
// point (lat, lon) has the outward normal (-cos lat cos lon, sin lat, -cos lat sin lon),
// and the SunFrame carries a globe-frame vector v into the scene as
// v.x*forward + v.y*up + v.z*right + position.
#pragma once

#include "view/camera_frame.h"

struct GlobePoint {
    double latitude;   // degrees, -90 to 90
    double longitude;  // degrees, -180 to 180
};

// The unit outward normal of a point of the globe, in the globe's frame.
Vec3 GlobeNormal(double latitude, double longitude);

// The point of the globe whose scene normal is (1, 0, 0), the one facing the light.
GlobePoint SubsolarPoint(const CameraFrame& sunFrame);

// The point of the globe beneath `camera` (on the line from the centre to it), and
// in `distance` the camera's distance from the centre in world units.
GlobePoint PointBeneath(const CameraFrame& sunFrame, const CameraFrame& camera, double& distance);

// Puts `camera` `distance` units above the point, looking at the globe's centre with
// the Earth's north (the SunFrame's up) at the top of the view. Above a pole, where
// north has no direction, the meridian opposite `longitude` points up. The field of
// view is left alone.
void PlaceCameraAbove(CameraFrame& camera, const CameraFrame& sunFrame, double latitude,
                      double longitude, double distance);
