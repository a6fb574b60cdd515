// The rotozoomer on real GL: the zoom and pan of the checker layer, the
// scroller's alpha sin(Time) and scroll, the bubble's swing and mirroring,
// the unscheduled rotozoom variants, and the state each frame leaves.
#include "scenes1_support.h"

#include <cmath>

using namespace scenes1;

namespace {

const RGBA RED = {255, 0, 0, 255}, GREEN = {0, 255, 0, 255}, BLUE = {0, 0, 255, 255},
           WHITE = {255, 255, 255, 255}, CYAN = {0, 255, 255, 255},
           MAGENTA = {255, 0, 255, 255}, CLEAR = {0, 0, 0, 0};
// The checker's white texel is fully transparent: layer 1 is drawn without
// blending, so it shows white all the same and hides the clear colour.
const RGBA SEE_THROUGH_WHITE = {255, 255, 255, 0};
const RGBA CHECKER[2][2] = {{RED, GREEN}, {BLUE, WHITE}};   // [row][column], as seen

class Roto : public ::testing::Test {
protected:
    void SetUp() override
    {
        sceneState();
        texture[12] = makeTexture(2, 2, {RED, GREEN, BLUE, SEE_THROUGH_WHITE});
        texture[3] = solidTexture(CLEAR);    // scroller hidden unless a test shows it
        texture[14] = solidTexture(CLEAR);   // bubble hidden unless a test shows it
    }

    void frameAt(float t)
    {
        Time = t;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawRotoZoomer();
        expectHandOver("rotozoomer");
        expectCurrentColour(1, 1, 1, 1, "rotozoomer");
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        GLfloat m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        for (int k = 0; k < 16; k++)
            EXPECT_EQ(m[k], (k % 5 == 0) ? 1.0f : 0.0f) << "model-view entry " << k;
    }
};

// The checker texel that texture coordinate (u, v) samples; false when the
// point lies too near a texel edge to call.
bool checkerAt(double u, double v, RGBA* out)
{
    double fu = (u - std::floor(u)) * 2, fv = (v - std::floor(v)) * 2;
    for (double f : {fu, fv})
        if (std::fabs(f - std::round(f)) < 0.02)
            return false;
    *out = CHECKER[(int)fv][(int)fu];
    return true;
}

// The full-screen quad's own coordinates at the centre of canvas pixel (x, y).
void screenQuadCoord(int x, int y, double* s, double* t)
{
    *s = -1 + (x + 0.5) / 800;
    *t = (y + 0.5) / 600;
}

// Compares a grid of pixels with the checker seen through `map`, which turns
// the quad's coordinates into texture coordinates.
template <class Map>
void expectChecker(Map map, const char* when)
{
    int checked = 0;
    for (int y = 7; y < 600; y += 37)
        for (int x = 11; x < 800; x += 41) {
            double s, t, u, v;
            screenQuadCoord(x, y, &s, &t);
            map(s, t, &u, &v);
            RGBA want;
            if (!checkerAt(u, v, &want))
                continue;
            RGBA got = glfix::canvasPixel(x, y);
            EXPECT_EQ(got[0], want[0]) << when << " at " << x << ", " << y;
            EXPECT_EQ(got[1], want[1]) << when << " at " << x << ", " << y;
            EXPECT_EQ(got[2], want[2]) << when << " at " << x << ", " << y;
            checked++;
        }
    EXPECT_GT(checked, 200) << when;
}

// The side in pixels of the checker's squares along canvas row 300 (or down
// column 400): the distance between the first two colour changes; 0 if none.
int squareSide(bool alongRow)
{
    auto at = [&](int i) {
        return alongRow ? glfix::canvasPixel(i, 300) : glfix::canvasPixel(400, i);
    };
    std::vector<int> changes;
    for (int i = 1; i < (alongRow ? 800 : 600) && changes.size() < 2; i++)
        if (at(i) != at(i - 1))
            changes.push_back(i);
    return changes.size() == 2 ? changes[1] - changes[0] : 0;
}

}  // namespace

TEST_F(Roto, TheCheckerZoomsFrom11To19AndPansRoundACircle)
{
    // Chosen times: at 19.5 pi, 20 pi and 20.5 pi seconds sin(Time) is -1, 0
    // and 1, so the texture repeats 1.1, 1.5 and 1.9 times across the screen,
    // two squares a repeat: squares 800 / 2.2 = 363.6, 266.7 and 210.5 pixels
    // wide, 600 / 2.2 = 272.7, 200 and 157.9 high. The pan goes round the unit
    // circle at half a radian a second: (sin, cos) of 9.75 pi, 10 pi and
    // 10.25 pi.
    const double H = std::sqrt(0.5);
    struct Case {
        float t;
        double zoom, panS, panT, width, height;
    } cases[] = {{61.26106f, 1.1, -H, H, 363.6, 272.7},
                 {62.83185f, 1.5, 0, 1, 266.7, 200.0},
                 {64.40265f, 1.9, H, H, 210.5, 157.9}};
    for (const Case& c : cases) {
        frameAt(c.t);
        std::string at = "at " + std::to_string(c.t);
        EXPECT_NEAR(squareSide(true), c.width, 1.5) << at;
        EXPECT_NEAR(squareSide(false), c.height, 1.5) << at;
        expectChecker(
            [&](double s, double tt, double* u, double* v) {
                *u = c.zoom * (s + c.panS);
                *v = c.zoom * (tt + c.panT);
            },
            at.c_str());
    }
}

TEST_F(Roto, TheScrollerFadesWithSinTimeAndIsHiddenWhileNegative)
{
    texture[12] = solidTexture(GREEN);
    texture[3] = solidTexture(RED);
    struct Case {
        float t;
    } cases[] = {{59.4001f}, {59.6f}, {61.0f}, {63.355f}, {64.4026f}, {68.0f}, {81.9f}};
    for (const Case& c : cases) {
        frameAt(c.t);
        double a = std::sin((double)c.t);
        double shown = std::max(0.0, std::min(1.0, a));
        RGBA want = {(int)std::lround(255 * shown), (int)std::lround(255 * (1 - shown)), 0, 255};
        expectColour(glfix::canvasPixel(400, 550), want, 2, "scroller over checker");
        expectColour(glfix::canvasPixel(20, 20), want, 2, "scroller over checker, corner");
    }
}

TEST_F(Roto, TheScrollerMovesUpHalfItsHeightASecond)
{
    texture[3] = makeTexture(1, 2, {RED, BLUE});
    // At pi/2 + 20 pi the alpha is 1 and the offset 32.2013: rows with
    // t + 0.2013 below a half are red.
    frameAt(64.4026f);
    expectColour(glfix::canvasPixel(400, 100), RED, 1, "upper band");
    expectColour(glfix::canvasPixel(400, 300), BLUE, 1, "middle band");
    expectColour(glfix::canvasPixel(400, 560), RED, 1, "lower band");
    expectColour(glfix::canvasPixel(400, 170), RED, 1, "just above the edge at 179");
    expectColour(glfix::canvasPixel(400, 188), BLUE, 1, "just below it");
}

TEST_F(Roto, TheBubbleSwingsAndBobsMirrored)
{
    texture[12] = solidTexture(GREEN);
    texture[14] = makeTexture(2, 1, {MAGENTA, CYAN});
    // At 20, 20.5, 21 and 21.5 pi seconds the swing sin(Time) is 0, 1, 0, -1
    // (left edge 256, 512, 256, 0); the bob's fast swing sin(10 Time) is 0 and
    // its slow part cos(5 Time) is 1, 0, -1, 0 (top edge 69, 68, 67, 68).
    struct Case {
        float t;
        double x, y;
    } cases[] = {{62.83185f, 256, 69}, {64.40265f, 512, 68}, {65.97345f, 256, 67},
                 {67.54424f, 0, 68}};
    for (const Case& c : cases) {
        frameAt(c.t);
        double x = c.x, y = c.y;
        std::string at = "at " + std::to_string(c.t);
        // Pixels whose centres lie inside the sprite's edges are covered: one
        // unit either side of an edge tells the edge to within a pixel.
        // u = 1 at the left edge: the texture's right texel shows on the left.
        expectColour(glfix::canvasPixel(x + 1, y + 256), CYAN, 0, (at + " left inside").c_str());
        if (x > 1)
            expectColour(glfix::canvasPixel(x - 1, y + 256), GREEN, 0, (at + " left outside").c_str());
        if (x + 300 < 800)
            expectColour(glfix::canvasPixel(x + 300, y + 256), MAGENTA, 0, (at + " right half").c_str());
        expectColour(glfix::canvasPixel(x + 100, y - 1), GREEN, 0, (at + " above").c_str());
        expectColour(glfix::canvasPixel(x + 100, y + 1), CYAN, 0, (at + " top inside").c_str());
        expectColour(glfix::canvasPixel(x + 100, y + 511), CYAN, 0, (at + " bottom inside").c_str());
        expectColour(glfix::canvasPixel(x + 100, y + 513), GREEN, 0, (at + " below").c_str());
    }
}

TEST_F(Roto, MissingTexturesFillTheScreenWhite)
{
    texture[12] = texture[3] = texture[14] = 0;
    frameAt(70.0f);
    expectColour(glfix::canvasPixel(5, 595), WHITE, 0, "layer 1 untextured");
}

TEST_F(Roto, TheUnscheduledVariantsTurnAndZoomTheirTextures)
{
    // Variant 0 turns +30 degrees a second, 2 turns the other way, 1 and 3
    // only zoom; 1 and 3 share slot 2, 2 uses slot 13.
    texture[2] = texture[12];
    texture[13] = texture[12];
    struct Case {
        int variant;
        double degreesPerSecond;
    } cases[] = {{0, 30}, {1, 0}, {2, -30}, {3, 0}};
    for (const Case& c : cases) {
        const float t = 12.3f;
        Time = t;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawRotoZoomer2(c.variant);
        expectHandOver("drawRotoZoomer2");
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D)) << "left on";
        glDisable(GL_TEXTURE_2D);
        double z = 2 * (std::sin((double)t) / 2) + 1.5;
        double a = c.degreesPerSecond * t * M_PI / 180;
        expectChecker(
            [&](double s, double tt, double* u, double* v) {
                *u = z * (s * std::cos(a) - tt * std::sin(a));
                *v = z * (s * std::sin(a) + tt * std::cos(a));
            },
            ("variant " + std::to_string(c.variant)).c_str());
    }
    // Each slot is the variant's own.
    texture[2] = solidTexture(MAGENTA);
    texture[13] = solidTexture(CYAN);
    RGBA want[4] = {RED, MAGENTA, CYAN, MAGENTA};
    texture[12] = solidTexture(RED);
    for (int v = 0; v < 4; v++) {
        drawRotoZoomer2(v);
        glDisable(GL_TEXTURE_2D);
        expectColour(glfix::canvasPixel(400, 300), want[v], 0, "variant's slot");
    }
}

TEST_F(Roto, AnUnknownVariantDrawsNothingAndChangesNoState)
{
    glClearColor(0.2f, 0.4f, 0.6f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (int v : {-1, 4, 1000}) {
        drawRotoZoomer2(v);
        expectHandOver("drawRotoZoomer2 with a bad variant");
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        expectColour(glfix::canvasPixel(400, 300), {51, 102, 153, 255}, 1, "untouched");
    }
    glClearColor(0, 0, 0, 1);
}

TEST_F(Roto, ThreeCaptionsInTurnUnderTheBubble)
{
    texture[12] = solidTexture(GREEN);
    texture[4] = solidTexture(RED);
    texture[7] = solidTexture(BLUE);
    texture[16] = solidTexture(WHITE);
    // Each holds at x 128 (+-48) from 2.9 to 7.1 s after its start, so canvas
    // (384, 300) shows it; between holds the one leaving or arriving may not.
    struct Case {
        float t;
        RGBA want;
    } cases[] = {{62.0f, RED}, {66.0f, RED}, {70.0f, BLUE}, {74.0f, BLUE}, {78.0f, WHITE},
                 {81.9f, WHITE}};
    for (const Case& c : cases) {
        frameAt(c.t);
        expectColour(glfix::canvasPixel(384, 300), c.want, 0, "caption");
    }
    // At 59.5 s the first is still off the left edge; the checker shows.
    frameAt(59.5f);
    expectColour(glfix::canvasPixel(384, 300), GREEN, 0, "no caption yet");

    // The bubble is drawn after the captions and covers them: at 20.5 pi
    // seconds it spans x 512 to 1024, and canvas (520, 300) is inside the
    // holding first caption too (x 128 +-48 to 512 more).
    texture[14] = solidTexture(MAGENTA);
    frameAt(64.40265f);
    expectColour(glfix::canvasPixel(520, 300), MAGENTA, 0, "bubble on top");
}
