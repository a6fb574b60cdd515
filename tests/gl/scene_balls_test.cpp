// The ball scenes on real GL: the beat-flashing background, the section
// frames, the sprite sizes, and depth writes off so order does not matter.
#include "scenes2_support.h"

#include <algorithm>

namespace {

class Balls : public ::testing::Test {
protected:
    void SetUp() override
    {
        s2::sceneSetup();
        texture[8] = s2::solidTexture(255, 255, 255, 255);
        calcbpm(63.35f);
    }
};

// A background point of the picture area, away from every ball's path.
std::array<int, 4> background() { return glfix::canvasPixel(40, 300); }

void expectBallsHandOver(const char* where, const float* lastColour)
{
    s2::expectHandOver(where);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << where;
    GLint src = 0, dst = 0;
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(src, GL_SRC_ALPHA) << where;
    EXPECT_EQ(dst, GL_ONE) << where;
    auto c = s2::currentColour();
    for (int i = 0; i < 4; i++)
        EXPECT_FLOAT_EQ(c[i], lastColour[i]) << where;
}

const float RED[4] = {1, 0, 0, 0.8f};
const float YELLOW[4] = {1, 1, 0, 0.8f};

}  // namespace

TEST_F(Balls, ABeatFlashesTheNextBackgroundWhiteAndItIsBlackAgain100msLater)
{
    // Beat 96 falls in the rising column, beat 101 in the tumbling cross.
    for (int beat : {96, 101}) {
        s2::beatsUpTo(bpmtable[beat] - 0.5f);
        int ms = s2::beatMs(beat);
        s2::frameAt(ms);
        ASSERT_EQ(temp, beat + 1);
        EXPECT_EQ(s2::clearColour(), (std::array<float, 4>{1, 1, 1, 1})) << beat;
        s2::frameAt(ms + 16);   // cleared with the beat frame's white
        EXPECT_EQ(background(), (std::array<int, 4>{255, 255, 255, 255})) << beat;
        s2::frameAt(ms + 100);  // the flash is over: black from the next clear
        EXPECT_EQ(s2::clearColour(), (std::array<float, 4>{0, 0, 0, 1})) << beat;
        s2::frameAt(ms + 116);
        EXPECT_EQ(background(), (std::array<int, 4>{0, 0, 0, 255})) << beat;
        s2::expectHandOver(sceneName);
    }
}

TEST_F(Balls, ThePassingRowKeepsTheLastClearColour)
{
    s2::beatsUpTo(101.0f);
    glClearColor(0.2f, 0.4f, 0.6f, 1);
    s2::frameAt(s2::beatMs(temp));   // a beat inside the row: no flash
    EXPECT_STREQ(sceneName, "row");
    auto c = s2::clearColour();
    EXPECT_FLOAT_EQ(c[0], 0.2f);
    EXPECT_FLOAT_EQ(c[1], 0.4f);
    EXPECT_FLOAT_EQ(c[2], 0.6f);
}

TEST_F(Balls, EachSectionStartsAtItsOffsetAndHandsOverItsFrame)
{
    // The column at y = -10 at 90 s, climbing 3.5 a second.
    for (float t : {90.0f, 92.0f, 94.99f}) {
        Time = t;
        drawBollar3(90);
        auto m = s2::modelview();
        EXPECT_FLOAT_EQ(m[12], 0);
        EXPECT_NEAR(m[13], 3.5f * (t - 90) - 10, 1e-4) << t;
        EXPECT_FLOAT_EQ(m[14], -8);
        expectBallsHandOver("drawBollar3", RED);
    }
    // The row at x = -8 at 100 s, travelling 3 a second.
    for (float t : {100.0f, 102.5f, 104.99f}) {
        Time = t;
        drawBollar2(100);
        auto m = s2::modelview();
        EXPECT_NEAR(m[12], 3 * (t - 100) - 8, 1e-4) << t;
        EXPECT_FLOAT_EQ(m[13], 0);
        EXPECT_FLOAT_EQ(m[14], -8);
        expectBallsHandOver("drawBollar2", RED);
    }
    // The cross turns about its centre 8 units away.
    Time = 97.3f;
    drawBollar();
    auto m = s2::modelview();
    EXPECT_NEAR(m[12], 0, 1e-6);
    EXPECT_NEAR(m[13], 0, 1e-6);
    EXPECT_NEAR(m[14], -8, 1e-6);
    expectBallsHandOver("drawBollar", YELLOW);
}

namespace {

// The window rectangles of the sprites a scene draws (each quad is fed back
// as two triangles).
struct Rect {
    float x0, y0, x1, y1;
};

std::vector<Rect> spriteRects(const std::function<void()>& draw)
{
    auto polys = s2::capture(draw);
    EXPECT_EQ(polys.size() % 2, 0u);
    std::vector<Rect> rects;
    for (size_t i = 0; i + 1 < polys.size(); i += 2) {
        Rect r{1e9f, 1e9f, -1e9f, -1e9f};
        for (size_t k = i; k < i + 2; k++)
            for (auto& v : polys[k]) {
                r.x0 = std::min(r.x0, v.x);
                r.y0 = std::min(r.y0, v.y);
                r.x1 = std::max(r.x1, v.x);
                r.y1 = std::max(r.y1, v.y);
            }
        rects.push_back(r);
    }
    return rects;
}

}  // namespace

TEST_F(Balls, CrossBallsAreFourUnitsAcrossOnABeatAndSixFrom300msOn)
{
    // An orthographic view of 20 x 15 units: 40 pixels a unit.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-10, 10, -7.5, 7.5, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    struct Case {
        float flash, across;
    } cases[] = {{0, 4}, {0.5f, 5}, {1, 6}};
    for (const Case& c : cases) {
        Time = 96.7f;
        flashbpm = c.flash;
        auto rects = spriteRects([] { drawBollar(); });
        ASSERT_EQ(rects.size(), 4u);
        for (auto& r : rects) {
            EXPECT_NEAR(r.x1 - r.x0, c.across * 40, 0.01) << c.flash;
            EXPECT_NEAR(r.y1 - r.y0, c.across * 40, 0.01) << c.flash;
        }
    }
    // The column and the row: five balls 2.4 units across.
    Time = 92;
    auto column = spriteRects([] { drawBollar3(90); });
    Time = 102;
    auto row = spriteRects([] { drawBollar2(100); });
    ASSERT_EQ(column.size(), 5u);
    ASSERT_EQ(row.size(), 5u);
    for (auto& r : column)
        EXPECT_NEAR(r.x1 - r.x0, 2.4 * 40, 0.01);
    for (auto& r : row)
        EXPECT_NEAR(r.y1 - r.y0, 2.4 * 40, 0.01);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

TEST_F(Balls, EveryBallAddsItsColourSoOverlapsShowBothAndNothingIsHidden)
{
    // Each ball adds 0.8 x its palette colour wherever its square lies,
    // however the balls are ordered in depth: the picture is the clamped sum.
    // (Seen through a 20 x 15 unit orthographic view so no square is clipped.)
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-10, 10, -7.5, 7.5, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    const int palette[4][3] = {{0, 204, 204}, {204, 0, 0}, {0, 0, 204}, {204, 204, 0}};
    int overlaps = 0;
    for (float t : {96.2f, 97.9f, 99.1f}) {
        Time = t;
        flashbpm = 1;
        auto rects = spriteRects([] { drawBollar(); });
        ASSERT_EQ(rects.size(), 4u);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawBollar();
        for (int y = 4; y < 600; y += 8) {
            for (int x = 4; x < 800; x += 8) {
                float wx = x + 0.5f, wy = 600 - y - 0.5f;   // window coords of the pixel
                int sum[3] = {0, 0, 0}, covering = 0;
                bool nearEdge = false;
                for (int b = 0; b < 4; b++) {
                    const Rect& r = rects[b];
                    bool in = wx > r.x0 && wx < r.x1 && wy > r.y0 && wy < r.y1;
                    nearEdge |= std::fabs(wx - r.x0) < 2 || std::fabs(wx - r.x1) < 2 ||
                                std::fabs(wy - r.y0) < 2 || std::fabs(wy - r.y1) < 2;
                    if (in) {
                        covering++;
                        for (int k = 0; k < 3; k++)
                            sum[k] += palette[b][k];
                    }
                }
                if (nearEdge)
                    continue;
                overlaps += covering >= 2;
                auto p = glfix::pixel(x, y);
                for (int k = 0; k < 3; k++)
                    ASSERT_NEAR(p[k], std::min(sum[k], 255), 1) << t << " at " << x << "," << y;
            }
        }
        // Depth writes were off: the depth buffer is still clear.
        std::vector<float> depth(800 * 600);
        glReadPixels(0, 0, 800, 600, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        EXPECT_EQ(*std::min_element(depth.begin(), depth.end()), 1.0f) << t;
    }
    EXPECT_GT(overlaps, 20) << "the times must show balls overlapping";
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}
