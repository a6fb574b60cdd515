// The intro on real GL: when the copper bars and the C64 picture show, where
// the bars are and which texels land where, the picture's scroll, and the
// state the scene hands over.
#include "scenes1_support.h"

#include "platform/sound.h"

#include <cmath>

using namespace scenes1;

namespace {

const RGBA RED = {255, 0, 0, 255}, GREEN = {0, 255, 0, 255}, BLUE = {0, 0, 255, 255},
           YELLOW = {255, 255, 0, 255}, BLACK = {0, 0, 0, 255};

class Intro : public ::testing::Test {
protected:
    void SetUp() override
    {
        sceneState();
        // Copper: 2 x 2 texels, top row red | green, bottom row blue | yellow.
        texture[1] = makeTexture(2, 2, {RED, GREEN, BLUE, YELLOW});
        // C64: 2 x 4 texels; each row a colour, the right column darker.
        texture[3] = makeTexture(2, 4,
                                 {{200, 0, 0, 255}, {100, 0, 0, 255},  {0, 200, 0, 255},
                                  {0, 100, 0, 255}, {0, 0, 200, 255},  {0, 0, 100, 255},
                                  {200, 200, 200, 255}, {100, 100, 100, 255}});
    }

    void frameAt(float t)
    {
        Time = t;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawIntroScene();
    }

    // Every pixel of a coarse grid over the canvas is black.
    void expectBlackCanvas(const char* when)
    {
        for (int y = 5; y < 600; y += 25)
            for (int x = 5; x < 800; x += 50)
                expectColour(glfix::canvasPixel(x, y), BLACK, 0, when);
    }
};

// Bar i's top edge swings 250 either side of 256 with phase i + Time / 2.
// At 4 pi seconds the phases are i + 2 pi, and 11, 22 and 33 lie within
// 0.02 of 3.5 pi, 7 pi and 10.5 pi: bars 0, 11, 22, 33 are at the middle,
// the top, the middle (2.2 above it: sin(7 pi + 0.0088) = -0.0088) and the
// bottom of the swing.
const float FOUR_PI = 12.566371f;
struct BarTop {
    int bar;
    double top;
};
const BarTop AT_FOUR_PI[] = {{0, 256}, {11, 6}, {22, 253.8}, {33, 506}};

}  // namespace

TEST_F(Intro, BlackBeforeTheBarsAndOnTheBoundsOfEachAct)
{
    for (float t : {0.5f, 6.99f, 7.0f, 14.5f, 22.0f, 22.4f}) {
        frameAt(t);
        expectBlackCanvas(t == 7.0f ? "7 s" : t == 14.5f ? "14.5 s" : t == 22.0f ? "22 s" : "other");
        expectHandOver("intro");
        expectCurrentColour(1, 1, 1, 1, "intro");
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    }
}

TEST_F(Intro, ThirtyFiveBarsOnPhaseShiftedSinesFromJustAfterSeven)
{
    // Just after 7 s bar 0's phase is 3.5: its top at 256 + 250 sin 3.5 = 168.3.
    struct Case {
        float t;
        std::vector<BarTop> tops;
    } cases[] = {{std::nextafter(7.0f, 8.0f), {{0, 168.3}}},
                 {FOUR_PI, {std::begin(AT_FOUR_PI), std::end(AT_FOUR_PI)}}};
    for (const Case& c : cases) {
        Time = c.t;
        // The caption is still parked wholly left of the canvas, so every
        // polygon that survives clipping is a bar.
        auto polys = feedback([] { drawIntroScene(); });
        ASSERT_EQ(polys.size() % 35, 0u) << "35 bars, each one quad (or two triangles)";
        size_t per = polys.size() / 35;
        std::vector<double> tops;
        for (int i = 0; i < 35; i++) {
            // Window y grows upwards: the bar's top edge is the highest window y.
            float hi = -1e9f, lo = 1e9f, left = 1e9f;
            for (size_t k = i * per; k < (i + 1) * per; k++)
                for (const FbVertex& v : polys[k]) {
                    hi = std::max(hi, v.y), lo = std::min(lo, v.y), left = std::min(left, v.x);
                }
            tops.push_back(600 - hi);
            EXPECT_NEAR(hi - lo, 32, 1e-3) << "bar " << i;
            EXPECT_NEAR(left, 0, 1e-3) << "bar " << i;
        }
        for (const BarTop& b : c.tops)
            EXPECT_NEAR(tops[b.bar], b.top, 0.05) << "bar " << b.bar << " at " << c.t;
    }
}

TEST_F(Intro, BarsAreOpaqueMirroredAndTheLastDrawnIsOnTop)
{
    // At 25 pi - 68 s bar 34's phase is 12.5 pi: its top is at the bottom of
    // the swing, 506, over bars 3, 9 and 15 (tops about 485, 504, 503).
    frameAt(10.539816f);
    expectHandOver("intro with bars");
    expectCurrentColour(1, 1, 1, 1, "intro with bars");
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

    // Bar 34 is drawn last, so it shows whole; u runs from 1 at its left end,
    // so the right column of the texture is at the canvas's left.
    const double top = 506;
    expectColour(glfix::canvasPixel(10, top + 8), GREEN, 0, "bar 34 upper left");
    expectColour(glfix::canvasPixel(700, top + 8), RED, 0, "bar 34 upper right");
    expectColour(glfix::canvasPixel(10, top + 24), YELLOW, 0, "bar 34 lower left");
    expectColour(glfix::canvasPixel(700, top + 24), BLUE, 0, "bar 34 lower right");

    // Below the bars' reach (top at most 506, 32 high) the canvas stays black.
    expectColour(glfix::canvasPixel(400, 541), BLACK, 0, "below the bars");
}

TEST_F(Intro, TheC64PictureScrollsOneCanvasHeightEveryOneAndAHalfSeconds)
{
    // 15 s: offset 10, whole turns, so the top edge shows texture row 0.
    frameAt(15.0f);
    expectHandOver("intro with picture");
    expectCurrentColour(1, 1, 1, 1, "intro with picture");
    expectColour(glfix::canvasPixel(700, 5), {200, 0, 0, 255}, 0, "15 s, top, left column");
    expectColour(glfix::canvasPixel(20, 5), {100, 0, 0, 255}, 0, "15 s, top, mirrored");
    expectColour(glfix::canvasPixel(700, 160), {0, 200, 0, 255}, 0, "15 s, second quarter");
    expectColour(glfix::canvasPixel(700, 595), {200, 200, 200, 255}, 0, "15 s, bottom");

    // 15.75 s: offset 10.5, the top edge shows the texture's middle.
    frameAt(15.75f);
    expectColour(glfix::canvasPixel(700, 5), {0, 0, 200, 255}, 0, "15.75 s, top");
    expectColour(glfix::canvasPixel(700, 160), {200, 200, 200, 255}, 0, "15.75 s, 0.77");
    expectColour(glfix::canvasPixel(700, 320), {200, 0, 0, 255}, 0, "15.75 s, wrapped");
}

TEST_F(Intro, ThePictureIsABackdropOnTheFarPlane)
{
    // Something drawn nearer earlier in the frame stays in front of it.
    Time = 16.0f;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(1, 0, 1);
    glBegin(GL_QUADS);
    glVertex3f(-1, -1, -5);
    glVertex3f(1, -1, -5);
    glVertex3f(1, 1, -5);
    glVertex3f(-1, 1, -5);
    glEnd();
    glColor3f(1, 1, 1);
    drawC64Noise();
    expectColour(glfix::canvasPixel(400, 300), {255, 0, 255, 255}, 0, "the nearer square");
    expectColour(glfix::canvasPixel(700, 5), {0, 0, 200, 255}, 0, "16 s: offset 10.67");
    expectHandOver("drawC64Noise");
    expectCurrentColour(1, 1, 1, 1, "drawC64Noise");
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(Intro, TheTvOverlayMultipliesTheFrameWithItsVisiblePart)
{
    // 4 x 4 texels: the visible part is u 1 .. 0.22, v 0 .. 0.78, mirrored.
    std::vector<RGBA> texels(16, RGBA{255, 255, 255, 255});
    texels[0 * 4 + 3] = {128, 255, 0, 255};   // row 0, column 3: canvas top left
    texels[0 * 4 + 1] = {0, 128, 255, 255};   // row 0, column 1: further right
    texture[5] = makeTexture(4, 4, texels);
    glClearColor(0.8f, 0.8f, 0.8f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawTv(5);
    expectColour(glfix::canvasPixel(50, 50), {102, 204, 0, 255}, 1, "top left, multiplied");
    // Column 1 covers u 0.25 .. 0.5, canvas x 512 .. 768.
    expectColour(glfix::canvasPixel(600, 50), {0, 102, 204, 255}, 1, "column 1");
    expectColour(glfix::canvasPixel(600, 400), {204, 204, 204, 255}, 1, "white texel: unchanged");
    expectHandOver("drawTv");
    expectCurrentColour(1, 1, 1, 1, "drawTv");
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

    // A slot outside the table draws nothing and changes no state.
    drawTv(64);
    drawTv(-1);
    expectColour(glfix::canvasPixel(50, 50), {102, 204, 0, 255}, 1, "after bad slots");
    expectHandOver("drawTv with a bad slot");
    glClearColor(0, 0, 0, 1);
}

TEST_F(Intro, TheCaptionBlendsOverThePictureAndWaitsOffTheLeftEdge)
{
    texture[0] = solidTexture({255, 0, 0, 128});
    // 18 s: the caption holds at x 128 (+-48 wobble), y 17..111 down; the
    // picture under canvas (384, 300) is row 2, right column: (0, 0, 100).
    frameAt(18.0f);
    expectColour(glfix::canvasPixel(384, 300), {128, 0, 50, 255}, 2, "caption over picture");
    expectHandOver("intro with caption");
    expectCurrentColour(1, 1, 1, 1, "intro with caption");

    // Before 14 s it is parked at x -550: nothing of it reaches canvas x 12.
    texture[0] = solidTexture({255, 0, 0, 255});
    for (float t : {3.0f, 9.0f, 13.9f}) {
        frameAt(t);
        auto p = glfix::canvasPixel(12, 300);
        EXPECT_FALSE(p[0] == 255 && p[1] == 0 && p[2] == 0) << "caption at " << t;
    }
}

TEST_F(Intro, TheLetterboxCoversTheBarsUntil22)
{
    platSoundSetManual(true);
    platSoundSetManualTime(12566);
    DrawGLScene();
    ASSERT_STREQ(sceneName, "intro");
    expectHandOver("intro and letterbox");
    expectCurrentColour(1, 1, 1, 1, "intro and letterbox");
    // At 4 pi s bar 11 spans y 6 to 38 and bar 33 y 506 to 538, inside the
    // bands; the bands stay black.
    for (int y = 0; y < 600; y += 3) {
        if (y >= 90 && y < 510)
            continue;
        expectColour(glfix::canvasPixel(400, y), BLACK, 0, "band");
    }
    // Between them the bars show.
    int lit = 0;
    for (int y = 90; y < 510; y += 3) {
        auto p = glfix::canvasPixel(400, y);
        lit += p[0] + p[1] + p[2] > 0;
    }
    EXPECT_GT(lit, 50);
}
