#include "globe/globe_mesh.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class GlobeMeshTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { BuildGlobeMesh(); }

    static const Patch& ScenePatch(int index) {
        const Patch* patch = SceneList;
        for (int i = 0; i < index; ++i) patch = patch->next;
        return *patch;
    }
    static const Patch& ModelPatch(int index) {
        const Patch* patch = ModelList;
        for (int i = 0; i < index; ++i) patch = patch->next;
        return *patch;
    }
    // Patch index of a west edge and south edge: columns west to east, rows south to north.
    static int IndexOf(int west, int south) { return (west + 180) / 5 * 36 + (south + 90) / 5; }
    static const PatchVertex& Corner(const Patch& patch, int k) {
        const PatchVertex* v = patch.vertices;
        for (int i = 0; i < k; ++i) v = v->next;
        return *v;
    }
};

TEST_F(GlobeMeshTest, BothListsHoldEveryPatchWithFourCorners) {
    for (const Patch* head : {ModelList, SceneList}) {
        int patches = 0;
        for (const Patch* p = head; p; p = p->next, ++patches) {
            int corners = 0;
            for (const PatchVertex* v = p->vertices; v; v = v->next) ++corners;
            ASSERT_EQ(corners, 4) << "patch " << patches;
        }
        EXPECT_EQ(patches, PatchCount);
    }
}

TEST_F(GlobeMeshTest, RunsColumnByColumnFromTheWestAndSouthToNorth) {
    const int cases[][3] = {
        {0, -180, -90}, {35, -180, 85}, {36, -175, -90}, {PatchCount - 1, 175, 85}};
    for (const auto& c : cases) {
        for (const Patch* patch : {&ScenePatch(c[0]), &ModelPatch(c[0])}) {
            EXPECT_EQ(patch->longitude, c[1]) << "patch " << c[0];
            EXPECT_EQ(patch->latitude, c[2]) << "patch " << c[0];
        }
    }
}

TEST_F(GlobeMeshTest, CornersGoSouthWestSouthEastNorthEastNorthWest) {
    // Latitude 0, longitude 0 lies on -x and longitude 90 east on -z.
    const Patch& patch = ModelPatch(IndexOf(0, 0));
    const PatchVertex& southWest = Corner(patch, 0);
    EXPECT_NEAR(southWest.position.x, -6000, 0.01);
    EXPECT_NEAR(southWest.position.y, 0, 0.01);
    EXPECT_NEAR(southWest.position.z, 0, 0.01);
    const PatchVertex& northWest = Corner(patch, 3);
    EXPECT_NEAR(northWest.position.y, 6000 * std::sin(5 * M_PI / 180), 0.05);
    EXPECT_LT(Corner(patch, 1).position.z, 0);  // 5 degrees east

    const PatchVertex& ninetyEast = Corner(ModelPatch(IndexOf(85, 0)), 1);
    EXPECT_NEAR(ninetyEast.position.x, 0, 0.01);
    EXPECT_NEAR(ninetyEast.position.y, 0, 0.01);
    EXPECT_NEAR(ninetyEast.position.z, -6000, 0.01);
}

TEST_F(GlobeMeshTest, PolesMeetOnTheAxis) {
    for (int west = -180; west < 180; west += 5) {
        const Patch& north = ModelPatch(IndexOf(west, 85));
        for (int k : {2, 3}) {
            EXPECT_EQ(Corner(north, k).position.x, 0);
            EXPECT_EQ(Corner(north, k).position.y, 6000);
            EXPECT_EQ(Corner(north, k).position.z, 0);
        }
        // The degree factor is a little below pi/180: the south pole misses the axis
        // by a small fraction of a unit.
        const Patch& south = ModelPatch(IndexOf(west, -90));
        for (int k : {0, 1}) {
            EXPECT_NEAR(Corner(south, k).position.x, 0, 0.05);
            EXPECT_NEAR(Corner(south, k).position.y, -6000, 0.001);
            EXPECT_NEAR(Corner(south, k).position.z, 0, 0.05);
        }
    }
}

// Every normal is the outward direction of its own point of the globe, worked out
// here from latitude and longitude alone: +y to the north pole, latitude 0 and
// longitude 0 on -x, longitude 90 east on -z. This catches a swapped corner, a
// centre taken from the wrong edge and a normal that points inward.
TEST_F(GlobeMeshTest, NormalsPointOutwardFromTheirOwnPoint) {
    const auto outward = [](double latitude, double longitude) {
        const double phi = latitude * M_PI / 180, lambda = longitude * M_PI / 180;
        return Vec3{float(-std::cos(phi) * std::cos(lambda)), float(std::sin(phi)),
                    float(-std::cos(phi) * std::sin(lambda))};
    };
    // The mesh's degree factor lies a little below pi/180: at 180 degrees that
    // moves a direction by about 3e-6.
    constexpr double Tolerance = 1e-5;
    const int cornerLatitude[4] = {0, 0, 5, 5}, cornerLongitude[4] = {0, 5, 5, 0};
    for (const Patch* p = ModelList; p; p = p->next) {
        const Vec3 centre = outward(p->latitude + 2.5, p->longitude + 2.5);
        ASSERT_NEAR(p->centreNormal.x, centre.x, Tolerance) << p->longitude << " " << p->latitude;
        ASSERT_NEAR(p->centreNormal.y, centre.y, Tolerance) << p->longitude << " " << p->latitude;
        ASSERT_NEAR(p->centreNormal.z, centre.z, Tolerance) << p->longitude << " " << p->latitude;
        int k = 0;
        for (const PatchVertex* v = p->vertices; v; v = v->next, ++k) {
            const Vec3 n =
                outward(p->latitude + cornerLatitude[k], p->longitude + cornerLongitude[k]);
            ASSERT_NEAR(v->normal.x, n.x, Tolerance) << "corner " << k;
            ASSERT_NEAR(v->normal.y, n.y, Tolerance) << "corner " << k;
            ASSERT_NEAR(v->normal.z, n.z, Tolerance) << "corner " << k;
        }
    }
}

TEST_F(GlobeMeshTest, TextureBandsFollowTheWestEdge) {
    // s = (longitude + k) / 90 with k from the patch's west edge; t = latitude / 90.
    const Patch& lastOfBand = ScenePatch(IndexOf(85, 0));
    EXPECT_FLOAT_EQ(Corner(lastOfBand, 0).texCoord.s, 85.0f / 90);
    EXPECT_FLOAT_EQ(Corner(lastOfBand, 1).texCoord.s, 1.0f);
    EXPECT_FLOAT_EQ(Corner(ScenePatch(IndexOf(90, 0)), 0).texCoord.s, 2.0f);
    EXPECT_FLOAT_EQ(Corner(ScenePatch(IndexOf(-90, 0)), 0).texCoord.s, -2.0f);
    EXPECT_FLOAT_EQ(Corner(ScenePatch(IndexOf(-95, 0)), 1).texCoord.s, -3.0f);
    EXPECT_FLOAT_EQ(Corner(ScenePatch(IndexOf(0, 0)), 0).texCoord.s, 0.0f);
    EXPECT_FLOAT_EQ(Corner(ScenePatch(IndexOf(-180, 0)), 0).texCoord.s, -4.0f);
    EXPECT_FLOAT_EQ(Corner(ScenePatch(IndexOf(175, 0)), 1).texCoord.s, 3.0f);

    const Patch& belowEquator = ScenePatch(IndexOf(0, -5));
    EXPECT_FLOAT_EQ(Corner(belowEquator, 0).texCoord.t, -5.0f / 90);
    EXPECT_FLOAT_EQ(Corner(belowEquator, 1).texCoord.t, -5.0f / 90);
    EXPECT_EQ(Corner(belowEquator, 2).texCoord.t, 0.0f);
    EXPECT_EQ(Corner(belowEquator, 3).texCoord.t, 0.0f);
    EXPECT_FLOAT_EQ(Corner(ScenePatch(IndexOf(0, 85)), 2).texCoord.t, 1.0f);
    EXPECT_FLOAT_EQ(Corner(ScenePatch(IndexOf(0, -90)), 0).texCoord.t, -1.0f);
}

TEST_F(GlobeMeshTest, ScenePatchesStartPlainTexturedAndOpaque) {
    for (const Patch* p = SceneList; p; p = p->next) {
        ASSERT_EQ(p->outline, 0);
        ASSERT_EQ(p->blend, 0);
        ASSERT_EQ(p->textured, 1);
        for (const PatchVertex* v = p->vertices; v; v = v->next) {
            ASSERT_EQ(v->noCull, 0);
            ASSERT_EQ(v->colour.a, 1.0f);
        }
    }
}

}  // namespace
