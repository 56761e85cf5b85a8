#include "globe/sun_shading.h"

#include <gtest/gtest.h>

#include <cmath>

#include "globe/globe_mesh.h"
#include "globe/twilight.h"

namespace {

constexpr double Degrees = 180.0 / M_PI;

struct LatLon {
    double latitude, longitude;
};

// The point of the globe whose scene normal is (1, 0, 0): the SunFrame's axes are
// orthonormal, so the globe-frame normal is the first row of its matrix.
LatLon FacingTheLight() {
    const double x = SunFrame.forward.x, y = SunFrame.up.x, z = SunFrame.right.x;
    return {std::asin(y) * Degrees, std::atan2(-z, -x) * Degrees};
}

double AngleBetween(double a, double b) {
    double d = std::fmod(a - b, 360.0);
    if (d > 180) d -= 360;
    if (d < -180) d += 360;
    return d;
}

class SunShadingTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { BuildGlobeMesh(); }
    void SetUp() override {
        SetLighting();
        CreateFrames();
        CreateSunFrame();
    }
};

TEST_F(SunShadingTest, DayNumbersIgnoreLeapDays) {
    EXPECT_EQ(DayNumber(1, 1), 10);
    EXPECT_EQ(DayNumber(29, 2), 69);
    EXPECT_EQ(DayNumber(1, 3), 69);
    EXPECT_EQ(DayNumber(22, 12), 365);
    EXPECT_EQ(DayNumber(31, 12), 374);
}

TEST_F(SunShadingTest, PointFacingTheLightAtKnownMoments) {
    UpdateSunFrame(0, 0, 12, 22, 12);
    LatLon p = FacingTheLight();
    EXPECT_NEAR(p.latitude, -23, 1e-3);
    EXPECT_NEAR(p.longitude, 0, 1e-3);

    UpdateSunFrame(0, 0, 13, 22, 12);
    p = FacingTheLight();
    EXPECT_NEAR(p.latitude, -23, 1e-3);
    EXPECT_NEAR(p.longitude, -15, 1e-3);

    UpdateSunFrame(0, 0, 12, 21, 6);
    p = FacingTheLight();
    EXPECT_NEAR(p.latitude, 22.99, 0.01);
    EXPECT_NEAR(p.longitude, 0.13, 0.01);
}

TEST_F(SunShadingTest, EveryHourOfALeapYearStaysNearTheHourAngle) {
    static const int daysInMonth[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int month = 1; month <= 12; ++month) {
        for (int day = 1; day <= daysInMonth[month - 1]; ++day) {
            for (int hour = 0; hour < 24; ++hour) {
                UpdateSunFrame(0, 0, hour, day, month);
                const LatLon p = FacingTheLight();
                const double hourAngle = hour * 15.0 - 180;
                ASSERT_LE(std::fabs(p.latitude), 23.0) << day << "/" << month << " " << hour;
                ASSERT_LE(std::fabs(AngleBetween(p.longitude, -hourAngle)), 2.4)
                    << day << "/" << month << " " << hour;
                ASSERT_NEAR(SunFrame.position.x, 0, 0);
            }
        }
    }
}

TEST_F(SunShadingTest, SceneVerticesStayOnTheGlobe) {
    for (int hour : {0, 7, 12, 19}) {
        UpdateSunFrame(30, 15, hour, 3, 4);
        ShadeGlobe();
        for (const Patch* p = SceneList; p; p = p->next) {
            const Vec3& c = p->centreNormal;
            ASSERT_NEAR(std::sqrt(c.x * c.x + c.y * c.y + c.z * c.z), 1.0, 1e-6);
            for (const PatchVertex* v = p->vertices; v; v = v->next) {
                const Vec3& q = v->position;
                ASSERT_NEAR(std::sqrt(double(q.x) * q.x + double(q.y) * q.y + double(q.z) * q.z),
                            6000.0, 0.01);
            }
        }
    }
}

TEST_F(SunShadingTest, ColourFollowsTheLightAboveTheAmbientFloor) {
    // With the SunFrame at its start the scene normal is the model normal, and the
    // light term is its x component.
    ShadeGlobe();
    int lit = 0, dark = 0;
    for (const Patch* p = SceneList; p; p = p->next) {
        for (const PatchVertex* v = p->vertices; v; v = v->next) {
            const double d = v->normal.x;
            ASSERT_FALSE(std::isnan(v->colour.r) || std::isnan(v->colour.g) ||
                         std::isnan(v->colour.b));
            if (d <= 0) {
                ++dark;
                ASSERT_EQ(v->colour.r, Ambient.r);
                ASSERT_EQ(v->colour.g, Ambient.g);
                ASSERT_EQ(v->colour.b, Ambient.b);
            } else {
                ++lit;
                const double light = std::pow(d, 1.75);
                ASSERT_NEAR(v->colour.r, 0.03 + 0.97 * light, 1e-6);
                ASSERT_NEAR(v->colour.b, 0.08 + 0.92 * light, 1e-6);
            }
            ASSERT_EQ(v->colour.a, 1.0f);
        }
    }
    EXPECT_GT(lit, 1000);
    EXPECT_GT(dark, 1000);
}

TEST_F(SunShadingTest, ColourAtFullHalfAndGrazingLight) {
    ShadeGlobe();
    // Latitude 0: longitude 180 faces the light (d = 1), 120 has d = 0.5, 90 grazes it.
    auto cornerAt = [](int west, int k) -> const PatchVertex& {
        const Patch* p = SceneList;
        for (int i = 0; i < (west + 180) / 5 * 36 + 18; ++i) p = p->next;
        const PatchVertex* v = p->vertices;
        for (int i = 0; i < k; ++i) v = v->next;
        return *v;
    };
    const PatchVertex& full = cornerAt(175, 1);
    EXPECT_NEAR(full.colour.r, 1, 1e-5);
    EXPECT_NEAR(full.colour.g, 1, 1e-5);
    EXPECT_NEAR(full.colour.b, 1, 1e-5);
    EXPECT_NEAR(cornerAt(120, 0).colour.r, 0.3184, 1e-4);
    const PatchVertex& grazing = cornerAt(90, 0);
    EXPECT_NEAR(grazing.colour.r, 0.03, 1e-6);
    EXPECT_NEAR(grazing.colour.b, 0.08, 1e-6);
}

}  // namespace

// The Natural look's twilight, by the Sun's elevation in degrees.
TEST(Twilight, CityLightsComeOnFromThreeToTwelveDegreesBelowAndDaylightFadesBySix) {
    const auto at = [](double degrees) { return std::sin(degrees * 3.14159265358979 / 180); };
    for (const double e : {90.0, 10.0, 0.0, -2.9}) EXPECT_EQ(CityLightsAt(at(e)), 0.0) << e;
    for (const double e : {-12.1, -30.0, -90.0}) EXPECT_EQ(CityLightsAt(at(e)), 1.0) << e;
    for (const double e : {-6.1, -12.0, -90.0}) EXPECT_EQ(DaylightAt(at(e)).r, 0.0f) << e;
    EXPECT_NEAR(DaylightAt(1.0).r, 1.0f, 1e-6);
    EXPECT_NEAR(DaylightAt(1.0).b, 1.0f, 1e-3);
    double lights = 0, light = 0;
    for (double e = -3; e >= -12; e -= 0.25) {
        EXPECT_GE(CityLightsAt(at(e)), lights) << e;
        lights = CityLightsAt(at(e));
    }
    for (double e = -6; e <= 90; e += 0.25) {
        EXPECT_GE(DaylightAt(at(e)).r, light) << e;
        light = DaylightAt(at(e)).r;
    }
    // The ramp texture holds the same values at its texel centres (s = 2 t - 1).
    unsigned char ramp[8 * 3];
    FillTwilightRamp(ramp, 8, true);
    EXPECT_EQ(ramp[0], 255);    // sine -0.875
    EXPECT_EQ(ramp[3 * 4], 0);  // sine +0.125
    // The vertex colours' sampled curves stay within a level of the exact
    // ones, also where the day's end breaks the curve, and hold at the ends.
    for (double e = -90; e <= 90; e += 0.1) {
        const float s = float(at(e));
        EXPECT_NEAR(RampDaylightAt(s).r, DaylightAt(s).r, 0.003) << e;
        EXPECT_NEAR(RampDaylightAt(s).b, DaylightAt(s).b, 0.003) << e;
        EXPECT_NEAR(RampLightsAt(s), CityLightsAt(s), 0.003) << e;
    }
    EXPECT_EQ(RampDaylightAt(-2.0f).r, 0.0f);
    EXPECT_EQ(RampDaylightAt(2.0f).b, RampDaylightAt(1.0f).b);
    EXPECT_EQ(RampLightsAt(std::nanf("")), RampLightsAt(-1.0f));
}
