// The cube flash on real GL: the placement that the beat counter picks, the
// catch-up after a seek, the plum clear colour that follows flashbpm, the two
// squares' sizes, depths and turns, the front square's dip to black, the lit
// cube's colour, and the state left.
#include "scenes1_support.h"

#include "platform/sound.h"

#include <cmath>

using namespace scenes1;

namespace {

const RGBA BACK = {0, 0, 255, 255};     // extra02: opaque blue
const RGBA FRONT = {255, 0, 0, 128};    // extra01: half-transparent red

class CubeFlash : public ::testing::Test {
protected:
    void SetUp() override
    {
        sceneState();
        texture[10] = solidTexture(BACK);
        texture[9] = solidTexture(FRONT);
        effect = 0;
    }
    void TearDown() override
    {
        glDisable(GL_COLOR_MATERIAL);
        glColor4f(1, 1, 1, 1);
        glClearColor(0, 0, 0, 1);
    }

    void frameAt(float t, int beats, float flash)
    {
        Time = t;
        temp = beats;
        flashbpm = flash;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        flashsync();
        expectLeftState();
        expectCurrentColour(110 / 255.0f, 192 / 255.0f, 205 / 255.0f, 1, "cube flash");
    }

    // What the scene leaves that the letterbox drawn after it in the
    // timeline does not touch (it sets only the colour).
    void expectLeftState()
    {
        expectHandOver("cube flash");
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
        EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
        EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    }
};

struct Placement {
    double x, y, s;
};
const Placement PLACEMENTS[5] = {{0, 0, 2}, {2, 0, 1}, {0, 1, 1.5}, {-1, 0, 2}, {0, -1, 1.3}};

// The shade of the cube face that the ray through its centre meets: global
// ambient 0.2 plus the head-on light's diffuse part, with the normal shrunk
// to 1/s by the unnormalised scale.
RGBA litCubeCentre(const Placement& p, float t)
{
    static const double N[6][3] = {{0, 0, 1}, {0, 0, -1}, {0, 1, 0},
                                   {0, -1, 0}, {1, 0, 0}, {-1, 0, 0}};
    // The direction from the cube's centre back to the eye, in eye space.
    double len = std::sqrt(p.x * p.x + p.y * p.y + 100);
    std::array<double, 3> toEye = {-p.x / len, -p.y / len, 10 / len};
    double bestDot = -2, nz = 0;
    for (const auto& n : N) {
        auto e = rotate(rotate({n[0], n[1], n[2]}, 35 * t, 1, 0, 0), 55 * t, 0, 1, 0);
        double d = e[0] * toEye[0] + e[1] * toEye[1] + e[2] * toEye[2];
        if (d > bestDot)
            bestDot = d, nz = e[2];
    }
    double k = 0.2 + std::max(0.0, nz) / p.s;
    auto ch = [&](double c) { return (int)std::lround(std::min(1.0, c / 255 * k) * 255); };
    return {ch(110), ch(192), ch(205), 255};
}

}  // namespace

TEST_F(CubeFlash, ThePlacementFollowsTheBeatCounterAndTheCubeIsDrawnThere)
{
    effect = 3;
    frameAt(53.0f, 0, 1);
    EXPECT_EQ(effect, 3) << "no beat yet: the placement stays";
    const int want[] = {1, 2, 3, 4, 0, 1, 2, 3, 4, 0};
    for (int beats = 1; beats <= 10; beats++) {
        float t = 52.5f + beats * 0.37f;
        frameAt(t, beats, 1);
        EXPECT_EQ(effect, want[beats - 1]) << "beat " << beats;
        const Placement& p = PLACEMENTS[effect];
        CanvasPoint c = project(p.x, p.y, -10);
        expectColour(glfix::canvasPixel(c.x, c.y), litCubeCentre(p, t), 2, "the cube's centre");
    }
}

TEST_F(CubeFlash, ClearColourIsPlumTimesFlashbpmFromTheNextFrame)
{
    for (float f : {0.0f, 0.25f, 1.0f}) {
        frameAt(55.0f, 60, f);
        auto c = clearColour();
        EXPECT_FLOAT_EQ(c[0], 0.37f * f);
        EXPECT_FLOAT_EQ(c[1], 0.14f * f);
        EXPECT_FLOAT_EQ(c[2], 0.23f * f);
        EXPECT_FLOAT_EQ(c[3], 1.0f);
        // The corners are outside both squares whatever their turn.
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        flashsync();
        RGBA plum = {(int)std::lround(0.37f * f * 255), (int)std::lround(0.14f * f * 255),
                     (int)std::lround(0.23f * f * 255), 255};
        expectColour(glfix::canvasPixel(1, 1), plum, 1, "top left corner");
        expectColour(glfix::canvasPixel(798, 598), plum, 1, "bottom right corner");
    }
}

TEST_F(CubeFlash, TheSquaresTurnAgainstEachOtherBehindTheCube)
{
    // Seen through a 40 x 30 unit orthographic view (20 pixels a unit,
    // window depth = -z / 20). At 2910 / 55 s each square has turned 2910
    // degrees, 30 past whole turns: the back one (half-side 6, depth 12.5)
    // counter-clockwise, so its corners lie at 45 + 30 = 75 degrees modulo
    // 90; the front one (half-side 4.5, depth 12) clockwise, at 45 - 30 = 15.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-20, 20, -15, 15, 0, 20);
    glMatrixMode(GL_MODELVIEW);
    Time = 2910 / 55.0f;
    auto polys = feedback([] { flashsync(); });
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    ASSERT_GE(polys.size(), 4u);
    size_t per = polys[0].size() == 3 ? 2 : 1;   // a quad fed back as two triangles, or whole
    struct Square {
        const char* name;
        double halfSide, depth, cornerAngle;
    } squares[2] = {{"back", 6, 12.5, 75}, {"front", 4.5, 12, 15}};
    for (int k = 0; k < 2; k++)
        for (size_t i = k * per; i < (k + 1) * per; i++)
            for (const FbVertex& v : polys[i]) {
                const Square& sq = squares[k];
                double dx = (v.x - 400) / 20, dy = (v.y - 300) / 20;
                EXPECT_NEAR(std::hypot(dx, dy), sq.halfSide * std::sqrt(2.0), 1e-3) << sq.name;
                EXPECT_NEAR(v.z * 20, sq.depth, 1e-3) << sq.name;
                double angle = std::fmod(std::atan2(dy, dx) * 180 / M_PI + 360, 90);
                EXPECT_NEAR(angle, sq.cornerAngle, 0.01) << sq.name;
            }
}

TEST_F(CubeFlash, TheFrontSquareDipsToBlackOnTheBeatButKeepsItsAlpha)
{
    // Placement 1 puts the cube right of centre; canvas (250, 300) lies inside
    // the front square's inscribed circle, away from the cube, so it shows the
    // front square blended over the back one.
    for (float f : {1.0f, 0.5f, 0.0f}) {
        frameAt(55.0f, 61, f);
        ASSERT_EQ(effect, 1);
        int red = (int)std::lround(255 * f * 128 / 255.0);
        expectColour(glfix::canvasPixel(250, 300), {red, 0, 127, 255}, 2, "front over back");
    }
}

TEST_F(CubeFlash, MissingTexturesDrawTheSquaresWhiteAndGrey)
{
    texture[9] = texture[10] = 0;
    frameAt(55.0f, 61, 0.5f);
    expectColour(glfix::canvasPixel(250, 300), {128, 128, 128, 255}, 1, "front square");
}

TEST_F(CubeFlash, AfterASeekForwardTheCubeCatchesUpOnePlacementAFrame)
{
    // Squares that show nothing (white, fully transparent): round the cube
    // the picture is the clear colour. Canvas (20, 100), inside the letterbox's
    // opening, lies outside the cube in every placement whatever its turn: seen
    // from the eye, at least 5 degrees outside the sphere round its corners.
    texture[9] = texture[10] = solidTexture({255, 255, 255, 0});
    platSoundSetManual(true);
    temp = 0;
    trig[0] = 0;
    platSoundSetManualTime(1);
    DrawGLScene();   // beat 0
    ASSERT_EQ(temp, 1);

    // Seek to 54.95 s: beats 1 to 58 are behind the music, one is registered
    // a frame, and every one of those frames is a beat.
    int frames = 0, ms = 54950;
    for (; temp < 59; ms += 16, frames++) {
        int before = temp;
        // White over what the last frame left: only this frame's clear
        // makes the picture round the cube black again.
        auto next = clearColour();
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(next[0], next[1], next[2], next[3]);
        platSoundSetManualTime(ms);
        DrawGLScene();
        ASSERT_STREQ(sceneName, "cubeflash");
        ASSERT_EQ(temp, before + 1);
        EXPECT_EQ(effect, temp % 5);
        EXPECT_EQ(flashbpm, 0.0f);
        auto c = clearColour();
        EXPECT_EQ(c[0] + c[1] + c[2], 0.0f) << "frame " << frames;
        if (frames > 0)
            expectColour(glfix::canvasPixel(20, 100), {0, 0, 0, 255}, 0, "cleared black");
        expectLeftState();
    }
    EXPECT_EQ(frames, 58);

    // Caught up (beat 59 is at 55.88 s): the plum starts to come back.
    int last = ms - 16;
    platSoundSetManualTime(55879);
    DrawGLScene();
    EXPECT_EQ(temp, 59);
    EXPECT_NEAR(flashbpm, (55879 - last) / 300.0f, 1e-5);
    auto c = clearColour();
    EXPECT_FLOAT_EQ(c[0], 0.37f * flashbpm);
    EXPECT_GT(c[0], 0.0f);
}
