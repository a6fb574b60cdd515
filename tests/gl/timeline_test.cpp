// The timeline on real GL: which scene each Time selects, the letterbox
// windows, the caption window's clear colour, the end, and the envelopes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "app/app.h"
#include "demo/demo.h"
#include "glfixture.h"

namespace {

using glfix::frameAt;

class Timeline : public ::testing::Test {
protected:
    void SetUp() override
    {
        glfix::context();
        glfix::baselineState();
        calcbpm(63.35f);
        if (!q) {   // the scenes draw spheres and cylinders with the shared quadric
            q = gluNewQuadric();
            gluQuadricNormals(q, GLU_SMOOTH);
            gluQuadricTexture(q, GL_TRUE);
        }
    }
};

}  // namespace

TEST_F(Timeline, EachWindowSelectsItsSceneAndNoneOnTheBounds)
{
    struct Case {
        int ms;
        const char* scene;
    } cases[] = {
        {0, ""},            {1, "intro"},        {22499, "intro"},    {22500, ""},
        {22501, "c64"},     {51999, "c64"},      {52000, ""},         {52001, "cubeflash"},
        {59399, "cubeflash"}, {59400, ""},       {59401, "rotozoomer"}, {81999, "rotozoomer"},
        {82000, ""},        {82001, "face"},     {90000, ""},         {90001, "column"},
        {95000, ""},        {95001, "cross"},    {100000, ""},        {100001, "row"},
        {105000, ""},       {105001, "tunnel"},  {115250, ""},        {115251, "torus"},
        {119250, ""},       {119251, "caption"}, {128000, "caption"}, {135999, "caption"},
        {136000, ""},
    };
    for (const Case& c : cases) {
        frameAt(c.ms);
        EXPECT_STREQ(sceneName, c.scene) << "at " << c.ms << " ms";
    }
}

TEST_F(Timeline, TheBoundAt594IsTheFloatNearest)
{
    // 59.4f is 59.40000153: a Time of exactly 59.4 (59400 ms) draws nothing,
    // and neither does any scene from its float bound upwards to the next ms.
    frameAt(59400);
    EXPECT_STREQ(sceneName, "");
}

TEST_F(Timeline, LetterboxInItsTwoWindowsOnly)
{
    struct Case {
        int ms;
        int borders;
    } cases[] = {
        {0, 0},     {1, 1},      {21999, 1}, {22000, 0}, {22250, 0},  {30000, 0},
        {52000, 0}, {52001, 1},  {90000, 1}, {128000, 1}, {186999, 1}, {187000, 0},
    };
    for (const Case& c : cases) {
        frameAt(c.ms);
        EXPECT_EQ(bordersDrawn, c.borders) << "at " << c.ms << " ms";
    }
}

TEST_F(Timeline, CaptionWindowClearsWithTransparentBlackFromTheNextFrame)
{
    glClearColor(0.5f, 0.25f, 0.75f, 1.0f);
    frameAt(120000);
    // This frame was still cleared with the colour set before it...
    auto p = glfix::pixel(400, 300);
    EXPECT_NEAR(p[0], 128, 1);
    EXPECT_NEAR(p[2], 191, 1);
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0], 0.0f);
    EXPECT_EQ(clear[3], 0.0f);
    // ... and the next one with (0, 0, 0, 0).
    frameAt(120016);
    p = glfix::pixel(400, 300);
    EXPECT_EQ(p[0], 0);
    EXPECT_EQ(p[1], 0);
    EXPECT_EQ(p[2], 0);
}

TEST_F(Timeline, ShowEndsAtTheFirstTimeAbove128)
{
    platSoundSetManual(true);
    platSoundSetManualTime(127999);
    EXPECT_TRUE(DrawGLScene());
    platSoundSetManualTime(128000);
    EXPECT_TRUE(DrawGLScene());
    platSoundSetManualTime(128001);
    EXPECT_FALSE(DrawGLScene());
}

TEST_F(Timeline, EnvelopesRampFromTheLatestBeatAndAreZeroBeforeIt)
{
    temp = 10;            // next expected beat: 10 at 9.4712 s
    trig[0] = 5000;       // latest beat at 5 s
    frameAt(5150);
    EXPECT_FLOAT_EQ(flashbpm, 0.5f);
    EXPECT_FLOAT_EQ(flashbpm2, 1.0f);
    EXPECT_NEAR(syncbpm, 150.0f / 800, 1e-6);

    frameAt(5050);
    EXPECT_NEAR(flashbpm, 50.0f / 300, 1e-6);
    EXPECT_FLOAT_EQ(flashbpm2, 0.5f);

    frameAt(4000);        // a seek backwards: before trig, all three are 0
    EXPECT_EQ(flashbpm, 0.0f);
    EXPECT_EQ(flashbpm2, 0.0f);
    EXPECT_EQ(syncbpm, 0.0f);
    EXPECT_EQ(temp, 10);  // and no beat was registered

    frameAt(9472);        // the expected beat: registered, envelopes restart at 0
    EXPECT_EQ(temp, 11);
    EXPECT_FLOAT_EQ(trig[0], 9472.0f);
    EXPECT_EQ(flashbpm, 0.0f);
}

TEST_F(Timeline, AFrameAtZeroShowsOnlyTheClearColour)
{
    glClearColor(0, 0, 0, 1);
    frameAt(0);
    for (auto xy : {std::pair{0, 0}, std::pair{400, 300}, std::pair{799, 599}}) {
        auto p = glfix::pixel(xy.first, xy.second);
        EXPECT_EQ(p[0] + p[1] + p[2], 0);
    }
}

TEST(Projection, ResizeSetsViewportAndA45DegreePerspective)
{
    glfix::context();
    ReSizeGLScene(800, 600);
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    EXPECT_EQ(vp[2], 800);
    EXPECT_EQ(vp[3], 600);
    GLfloat m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    float f = 1.0f / std::tan(22.5f * 3.14159265f / 180.0f);
    EXPECT_NEAR(m[5], f, 1e-5);                 // 45 degrees vertically
    EXPECT_NEAR(m[0], f / (800.0f / 600), 1e-5);  // the aspect
    EXPECT_NEAR(m[10], -(100 + 0.1) / (100 - 0.1), 1e-5);   // near 0.1, far 100
    GLint mode;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);

    ReSizeGLScene(640, 0);                      // a minimised window: height taken as 1
    glGetIntegerv(GL_VIEWPORT, vp);
    EXPECT_EQ(vp[3], 1);
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    EXPECT_NEAR(m[0], f / 640.0f, 1e-6);
    EXPECT_TRUE(std::isfinite(m[0]));
    ReSizeGLScene(800, 600);
}
