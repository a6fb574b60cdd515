// Normals and tangents computed at load: the figures of single triangles,
// area weighting, winding, and the zero vector wherever a sum has no
// direction.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "mesh/obj.h"

namespace {

struct Loaded {
    OBJ_Model_t m{};
    explicit Loaded(const std::string& text)
    {
        EXPECT_EQ(OBJ_LoadModelText(&m, text.data(), text.size()), 1);
    }
    ~Loaded() { OBJ_FreeModel(&m); }
};

void expectVec(const VECTOR3& v, float x, float y, float z, const char* what)
{
    EXPECT_NEAR(v.x, x, 1e-6f) << what;
    EXPECT_NEAR(v.y, y, 1e-6f) << what;
    EXPECT_NEAR(v.z, z, 1e-6f) << what;
}

bool isZero(const VECTOR3& v)
{
    return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f;
}

}  // namespace

TEST(ObjNormals, SingleTriangleFacesTheViewerWhenCounterClockwise)
{
    Loaded l("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    for (int i = 1; i <= 3; i++)
        expectVec(l.m.normals[i], 0, 0, 1, "ccw corner");
    Loaded r("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 3 2\n");
    for (int i = 1; i <= 3; i++)
        expectVec(r.m.normals[i], 0, 0, -1, "reversed corner");
}

TEST(ObjNormals, LargerTrianglesWeighMore)
{
    // Area 1 facing +z and area 3 facing +x share the edge 1-2: the sums
    // there are (6, 0, 2), so the normal is (3, 0, 1) / sqrt(10).
    Loaded l("v 0 0 0\nv 0 1 0\nv -2 0 0\nv 0 0 -6\nf 1 2 3\nf 1 4 2\n");
    const float s = 1.0f / std::sqrt(10.0f);
    expectVec(l.m.normals[1], 3 * s, 0, s, "shared corner 1");
    expectVec(l.m.normals[2], 3 * s, 0, s, "shared corner 2");
    expectVec(l.m.normals[3], 0, 0, 1, "z-only corner");
    expectVec(l.m.normals[4], 1, 0, 0, "x-only corner");
}

TEST(ObjNormals, SumsWithoutDirectionAreZeroNotNaN)
{
    // Entry 0, an unused position, a degenerate triangle, and two faces
    // that cancel at their shared corners.
    Loaded l("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 5 5 5\nv 2 2 2\n"
             "f 1 2 3\nf 1 3 2\nf 5 5 5\n");
    EXPECT_TRUE(isZero(l.m.normals[0]));
    EXPECT_TRUE(isZero(l.m.normals[4]));
    EXPECT_TRUE(isZero(l.m.normals[5]));
    for (int i = 1; i <= 3; i++)
        EXPECT_TRUE(isZero(l.m.normals[i])) << i;
    // Positions that overflow the float sums give zero too.
    Loaded big("v 0 0 0\nv 3e38 0 0\nv 0 3e38 0\nv nan 0 0\nf 1 2 3\nf 1 2 4\n");
    for (unsigned i = 0; i <= big.m.numVertices; i++) {
        EXPECT_TRUE(std::isfinite(big.m.normals[i].x) && std::isfinite(big.m.normals[i].y) &&
                    std::isfinite(big.m.normals[i].z))
            << i;
    }
}

TEST(ObjTangents, TangentFollowsGrowingU)
{
    float p0[3] = {0, 0, 0}, p1[3] = {2, 0, 0}, p2[3] = {0, 3, 0};
    float t0[2] = {0, 0}, t1[2] = {1, 0}, t2[2] = {0, 1};
    float out[3] = {9, 9, 9};
    tangent_basis(p0, p1, p2, t0, t1, t2, out);
    EXPECT_EQ(out[0], 2.0f);
    EXPECT_EQ(out[1], 0.0f);
    EXPECT_EQ(out[2], 0.0f);

    Loaded l("v 0 0 0\nv 2 0 0\nv 0 3 0\nvt 0 0\nvt 1 0\nvt 0 1\nf 1/1 2/2 3/3\n");
    ASSERT_NE(l.m.tangents, nullptr);
    for (int i = 1; i <= 3; i++)
        expectVec(l.m.tangents[i], 1, 0, 0, "tangent");
    // u growing along -y on a mirrored mapping.
    Loaded m("v 0 0 0\nv 2 0 0\nv 0 3 0\nvt 0 0\nvt 0 1\nvt 1 0\nf 1/1 2/2 3/3\n");
    expectVec(m.m.tangents[1], 0, 1, 0, "mirrored tangent");
}

TEST(ObjTangents, FlatTextureMappingAddsNothing)
{
    float p0[3] = {0, 0, 0}, p1[3] = {1, 0, 0}, p2[3] = {0, 1, 0};
    float t[2] = {0.5f, 0.5f};
    float out[3] = {9, 9, 9};
    tangent_basis(p0, p1, p2, t, t, t, out);
    EXPECT_TRUE(out[0] == 0.0f && out[1] == 0.0f && out[2] == 0.0f);

    // The second face has all corners on one texel and the third has no
    // texture indices (fixed entry 0): only the first face's tangent counts.
    Loaded l("v 0 0 0\nv 2 0 0\nv 0 3 0\nv 0 0 1\nvt 0 0\nvt 1 0\nvt 0 1\n"
             "f 1/1 2/2 3/3\nf 1/2 3/2 4/2\nf 1 2 4\n");
    expectVec(l.m.tangents[1], 1, 0, 0, "shared corner");
    EXPECT_TRUE(isZero(l.m.tangents[4]));
    EXPECT_TRUE(isZero(l.m.tangents[0]));
}
