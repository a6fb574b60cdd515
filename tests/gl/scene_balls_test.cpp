// The ball scenes on real GL: the beat-flashing background, the section
// frames, the sprite sizes, and depth writes off so order does not matter.
#include "scenes2_support.h"

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
