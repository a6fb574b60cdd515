// Keyframe tracks: the half-cosine figures of the caption's slide-in, the
// truncated segment search, clamping, and tracks that break the rules.
#include <gtest/gtest.h>

#include <cmath>

#include "math/autokeyframe.h"

namespace {

autoKey slideIn[2] = {{{-550, 0, 0}, 0}, {{128, 0, 0}, 1000}};

float at(float time, autoKey* keys = slideIn, int count = 2)
{
    VECTOR3 out = {12345, 12345, 12345};
    autoKeyframeCosine(keys, count, time, out);
    EXPECT_EQ(out.y, 0.0f) << "at " << time;
    return out.x;
}

}  // namespace

TEST(Keyframe, SlideInFigures)
{
    EXPECT_EQ(at(-500), -550.0f);
    EXPECT_EQ(at(0), -550.0f);
    EXPECT_NEAR(at(250), -450.711f, 0.001f);
    // The constant 3.14156535 is just below pi: halfway is 0.4999932, not 0.5.
    EXPECT_NEAR(at(500), -211.0046f, 0.0005f);
    EXPECT_GT(at(500), -550 + 678 * 0.5f - 0.01f);
    EXPECT_LT(at(500), -550 + 678 * 0.5f - 0.002f);
    EXPECT_NEAR(at(750), 28.704f, 0.001f);
    EXPECT_EQ(at(1000), 128.0f);
    // 1000.5 truncates to 1000: still in the segment, t = 1.0005.
    EXPECT_NEAR(at(1000.5f), 128.0f, 0.001f);
    EXPECT_EQ(at(1001), 128.0f);
    EXPECT_EQ(at(1e12f), 128.0f);
}

TEST(Keyframe, GetValUsesTheConstantBelowPi)
{
    VECTOR3 a = {0, 10, -4}, b = {1, 20, 4};
    VECTOR3 half = getVal(a, b, 0.5f);
    EXPECT_NEAR(half.x, 0.4999932f, 1e-7f);
    EXPECT_NEAR(half.y, 10 + 10 * 0.4999932f, 1e-5f);
    VECTOR3 start = getVal(a, b, 0);
    EXPECT_EQ(start.x, 0.0f);
    EXPECT_EQ(start.z, -4.0f);
}

TEST(Keyframe, SegmentsOfALongerTrackAndItsEnd)
{
    // The caption's track: at a key's whole time the segment ending there is
    // used (t just above 1 over the fraction), then the next one begins.
    autoKey track[4] = {{{-550, 0, 0}, 0}, {{128, 0, 0}, 1000}, {{128, 0, 0}, 4500},
                        {{1000, 0, 0}, 5000}};
    EXPECT_EQ(at(3000, track, 4), 128.0f);
    EXPECT_NEAR(at(4750, track, 4), 564.0f, 0.01f);   // halfway out
    EXPECT_NEAR(at(5000.5f, track, 4), 1000.0f, 0.005f);   // t = 1.001, x just below 1
    EXPECT_LE(at(5000.5f, track, 4), 1000.0f);
    EXPECT_EQ(at(5001, track, 4), 1000.0f);
    EXPECT_EQ(at(-1, track, 4), -550.0f);
    // -0.5 truncates toward zero to 0: already in the first segment, t < 0.
    EXPECT_NEAR(at(-0.5f, track, 4), -550.0f, 0.001f);
}

TEST(Keyframe, OneKeyHoldsAndModeZeroBlendsLikeModeOne)
{
    autoKey one[1] = {{{3, 4, 5}, 100}};
    for (float t : {-1e9f, 0.0f, 100.0f, 100.5f, 1e9f}) {
        VECTOR3 out = {0, 0, 0};
        autoKeyframeLinear(one, 1, t, out);
        EXPECT_EQ(out.x, 3.0f);
        EXPECT_EQ(out.z, 5.0f);
    }
    for (float t : {250.0f, 500.0f, 999.0f}) {
        VECTOR3 lin = {0, 0, 0}, cosine = {0, 0, 0};
        autoKeyframeLinear(slideIn, 2, t, lin);
        autoKeyframeCosine(slideIn, 2, t, cosine);
        EXPECT_EQ(lin.x, cosine.x);
    }
    VECTOR3 out = {7, 7, 7};
    getKey(slideIn, 2, 500, out, 2);   // an unknown mode leaves out alone between keys
    EXPECT_EQ(out.x, 7.0f);
}

TEST(Keyframe, BrokenTracksAreSafe)
{
    VECTOR3 out = {7, 8, 9};
    autoKeyframeCosine(slideIn, 0, 500, out);
    autoKeyframeCosine(slideIn, -3, 500, out);
    autoKeyframeCosine(nullptr, 2, 500, out);
    EXPECT_EQ(out.x, 7.0f);
    EXPECT_EQ(out.z, 9.0f);

    // Equal leading times: a jump at the shared stamp, never 0/0 or inf.
    autoKey jump[3] = {{{0, 0, 0}, 100}, {{50, 0, 0}, 100}, {{60, 0, 0}, 200}};
    for (float t : {99.0f, 100.0f, 100.25f, 150.0f, 200.0f, 300.0f}) {
        float x = at(t, jump, 3);
        EXPECT_TRUE(std::isfinite(x)) << "at " << t;
    }
    EXPECT_EQ(at(99, jump, 3), 0.0f);
    EXPECT_EQ(at(100, jump, 3), 50.0f);
    EXPECT_NEAR(at(150, jump, 3), 55.0f, 0.01f);

    EXPECT_EQ(at(std::nanf(""), slideIn, 2), -550.0f);
}

TEST(Keyframe, CameraTrackMovesEyeAndTargetTogether)
{
    autoCamKey cam[2] = {{{0, 0, 0}, {10, 0, 0}, 0}, {{0, 100, 0}, {10, 0, -40}, 1000}};
    VECTOR3 eye, target;
    autoKeyframeCam(cam, 2, 250, eye, target);
    float x = (eye.y - 0) / 100;
    EXPECT_NEAR(x, 0.146444f, 1e-5f);
    EXPECT_NEAR(target.z, -40 * x, 1e-4f);
    EXPECT_EQ(target.x, 10.0f);
    autoKeyframeCam(cam, 2, -5, eye, target);
    EXPECT_EQ(eye.y, 0.0f);
    EXPECT_EQ(target.z, 0.0f);
    autoKeyframeCam(cam, 2, 2000, eye, target);
    EXPECT_EQ(eye.y, 100.0f);
    EXPECT_EQ(target.z, -40.0f);
    eye = target = {1, 2, 3};
    getCamKey(cam, 0, 500, eye, target);
    EXPECT_EQ(eye.z, 3.0f);
}
