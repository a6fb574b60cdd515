#include <gtest/gtest.h>

#include "math/autovector.h"

// The ramp is linear and clamped, and its tests run in the order edge0 > x,
// then x >= edge1: that order settles equal and reversed edges.
TEST(Smoothstep, IsALinearClampedRamp)
{
    EXPECT_FLOAT_EQ(smoothstep(0, 300, 150), 0.5f);   // the Hermite curve would also give 0.5 here
    EXPECT_FLOAT_EQ(smoothstep(0, 300, 75), 0.25f);   // ... but 0.15625 here
    EXPECT_EQ(smoothstep(0, 300, -1), 0.0f);
    EXPECT_EQ(smoothstep(0, 300, 0), 0.0f);
    EXPECT_EQ(smoothstep(0, 300, 300), 1.0f);
    EXPECT_EQ(smoothstep(0, 300, 1e9f), 1.0f);
}

TEST(Smoothstep, EqualEdgesStepWithoutDividing)
{
    EXPECT_EQ(smoothstep(5, 5, 5), 1.0f);
    EXPECT_EQ(smoothstep(5, 5, 4.9f), 0.0f);
}

TEST(Smoothstep, ReversedRangeStepsAtEdge0)
{
    EXPECT_EQ(smoothstep(10, 2, 9.99f), 0.0f);
    EXPECT_EQ(smoothstep(10, 2, 10), 1.0f);
    EXPECT_EQ(smoothstep(10, 2, 11), 1.0f);
}

TEST(Vector, OperatorsAreComponentWise)
{
    VECTOR3 a{1, 2, 3}, b{0.5f, -2, 10};
    VECTOR3 s = a + b, d = a - b;
    EXPECT_FLOAT_EQ(s.x, 1.5f);
    EXPECT_FLOAT_EQ(s.y, 0);
    EXPECT_FLOAT_EQ(s.z, 13);
    EXPECT_FLOAT_EQ(d.x, 0.5f);
    EXPECT_FLOAT_EQ(d.y, 4);
    EXPECT_FLOAT_EQ(d.z, -7);
}

TEST(Vector, NormalizeScalesAndLeavesZeroAlone)
{
    VECTOR3 v{3, 0, 4};
    Normalize(v);
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.y, 0.0f);
    EXPECT_FLOAT_EQ(v.z, 0.8f);

    VECTOR3 zero{0, 0, 0};
    Normalize(zero);
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.y, 0.0f);
    EXPECT_EQ(zero.z, 0.0f);

    // Components too small for their float squares to be non-zero still
    // normalise: the length is taken in double precision.
    VECTOR3 tiny{3e-30f, 0, 4e-30f};
    Normalize(tiny);
    EXPECT_FLOAT_EQ(tiny.x, 0.6f);
    EXPECT_FLOAT_EQ(tiny.z, 0.8f);
}
