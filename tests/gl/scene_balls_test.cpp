// The ball scenes on real GL: the beat-flashing background, where each ball
// is and its colour, the sprite sizes, and depth writes off so order does not
// matter.
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

const float CYAN[4] = {0, 1, 1, 0.8f};
const float RED[4] = {1, 0, 0, 0.8f};
const float BLUE[4] = {0, 0, 1, 0.8f};
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

namespace {

// The window rectangles of the sprites a scene draws (each quad is fed back
// as two triangles), with their depth and colour.
struct Rect {
    float x0, y0, x1, y1, z;
    float colour[4];
};

std::vector<Rect> spriteRects(const std::function<void()>& draw)
{
    auto polys = s2::capture(draw);
    EXPECT_EQ(polys.size() % 2, 0u);
    std::vector<Rect> rects;
    for (size_t i = 0; i + 1 < polys.size(); i += 2) {
        const s2::FbVertex& first = polys[i][0];
        Rect r{1e9f, 1e9f, -1e9f, -1e9f, first.z, {first.r, first.g, first.b, first.a}};
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

TEST_F(Balls, EachBallIsInPlaceInItsColourAndSpinsWithTheMusicsTime)
{
    // Worked by hand at one time a section, where spinning with the time since
    // the section began would put the balls elsewhere. Column, 92.4 s: up 3.5
    // x 2.4 from y -10, turned 150 x 92.4 = 38.5 turns about x (y offsets
    // reversed). Cross, 31 pi s: no roll (sin 31 pi = 0); the tilt of 43.58
    // degrees about x takes (0, 0, -2) to (0, 1.379, -1.449), the turn of
    // 208.41 about y then to (0.689, 1.379, 1.275), and (-2, 0, 0) to (1.759,
    // 0, -0.951). Row, 102 s: right 3 x 2 from x -8, 42.5 turns about y.
    struct Want {
        double x, y, z;
        const float* colour;
    };
    struct Section {
        const char* name;
        float t;
        void (*draw)();
        std::vector<Want> balls;
        const float* lastColour;
    } sections[] = {
        {"column", 92.4f, [] { drawBollar3(90); },
         {{0, -1.6, -8, CYAN}, {0, 1.4, -8, RED}, {0, -4.6, -8, BLUE}, {0, 4.4, -8, YELLOW},
          {0, -7.6, -8, RED}},
         RED},
        {"cross", 97.38937f, [] { drawBollar(); },
         {{0.689, 1.379, -6.725, CYAN}, {1.759, 0, -8.951, RED}, {-1.759, 0, -7.049, BLUE},
          {-0.689, -1.379, -9.275, YELLOW}},
         YELLOW},
        {"row", 102.0f, [] { drawBollar2(100); },
         {{-2, 0, -8, CYAN}, {1, 0, -8, RED}, {-5, 0, -8, BLUE}, {4, 0, -8, YELLOW},
          {-8, 0, -8, RED}},
         RED},
    };
    for (const Section& sec : sections) {
        Time = sec.t;
        flashbpm = 1;
        // A 40 x 30 unit orthographic view: 20 pixels a unit, eye z = (0.5 -
        // window depth) x 200.
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(-20, 20, -15, 15, -100, 100);
        glMatrixMode(GL_MODELVIEW);
        auto rects = spriteRects(sec.draw);
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        ASSERT_EQ(rects.size(), sec.balls.size()) << sec.name;
        for (const Want& w : sec.balls) {
            int found = 0;
            for (const Rect& r : rects)
                found += std::equal(r.colour, r.colour + 4, w.colour) &&
                         std::fabs((r.x0 + r.x1) / 2 - (400 + 20 * w.x)) < 0.1 &&
                         std::fabs((r.y0 + r.y1) / 2 - (300 + 20 * w.y)) < 0.1 &&
                         std::fabs((0.5 - r.z) * 200 - w.z) < 0.01;
            EXPECT_EQ(found, 1) << sec.name << " ball at " << w.x << ", " << w.y << ", " << w.z;
        }
        expectBallsHandOver(sec.name, sec.lastColour);
    }
}

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
