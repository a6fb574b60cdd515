// The mesh scenes on real GL: where the face, the torus and the tunnel camera
// are, the crawling tube texture, and the interlude images' beat flare.
#include "scenes2_support.h"

#include "render/render.h"

namespace {

// The eye position a view matrix puts at the origin: -R^T t.
std::array<float, 3> eyeOf(const std::array<float, 16>& m)
{
    std::array<float, 3> e;
    for (int r = 0; r < 3; r++)
        e[r] = -(m[r * 4 + 0] * m[12] + m[r * 4 + 1] * m[13] + m[r * 4 + 2] * m[14]);
    return e;
}

bool isIdentity(const std::array<float, 16>& m)
{
    for (int i = 0; i < 16; i++)
        if (std::fabs(m[i] - (i % 5 == 0 ? 1.0f : 0.0f)) > 1e-6f)
            return false;
    return true;
}

// The camera, the tube and the images on their own: the mesh slots empty
// (whatever an earlier start-up loaded there is put back afterwards), so the
// face, the torus and the spike ball hide nothing; the meshes' own tests draw
// them.
class MeshScenes : public ::testing::Test {
protected:
    OBJ_Model_t saved[4];

    void SetUp() override
    {
        s2::sceneSetup();
        for (int slot : {5, 6, 11, 12, 18})
            texture[slot] = 0;
        flashbpm = flashbpm2 = syncbpm = 1;
        for (int slot = 0; slot < 4; slot++) {
            saved[slot] = model[slot];
            model[slot] = {};
        }
    }
    void TearDown() override
    {
        for (int slot = 0; slot < 4; slot++)
            model[slot] = saved[slot];
    }
};

}  // namespace

TEST_F(MeshScenes, FaceSwaysInFrontOfTheCameraAndHandsOverTexturingOff)
{
    // Centred on the view axis and drifting 15 to 21 units away: at 26.5,
    // 27, 27.5 and 28 pi seconds sin(Time) is 1, 0, -1, 0.
    struct Case {
        float t, z;
    } cases[] = {{83.25221f, -15}, {84.823f, -18}, {86.3938f, -21}, {87.96459f, -18}};
    for (const Case& c : cases) {
        const float t = c.t;
        Time = t;
        glClearColor(0.3f, 0.3f, 0.3f, 1);
        drawFace();
        auto m = s2::modelview();
        EXPECT_FLOAT_EQ(m[12], 0) << t;
        EXPECT_FLOAT_EQ(m[13], 0) << t;
        EXPECT_NEAR(m[14], c.z, 1e-3) << t;
        EXPECT_EQ(s2::clearColour(), (std::array<float, 4>{0, 0, 0, 1})) << t;
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << t;
        s2::expectHandOver("drawFace");
    }
}

TEST_F(MeshScenes, TorusRisesFromEightBelowAndLeavesTheClearColourBlack)
{
    struct Case {
        float t, y;
    } cases[] = {{115.25f, -8}, {116.25f, -2}, {117.25f, 4}, {119.25f, 16}};
    for (const Case& c : cases) {
        Time = c.t;
        glClearColor(1, 1, 1, 1);
        drawTorusScene();
        auto m = s2::modelview();
        EXPECT_FLOAT_EQ(m[12], 0) << c.t;
        EXPECT_NEAR(m[13], c.y, 1e-4) << c.t;
        EXPECT_FLOAT_EQ(m[14], -25) << c.t;
        EXPECT_EQ(s2::clearColour(), (std::array<float, 4>{0, 0, 0, 1})) << c.t;
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << c.t;
        s2::expectHandOver("drawTorusScene");
    }
}

TEST_F(MeshScenes, TunnelCameraRowsAndTheIdentityViewOnTheSwitches)
{
    struct Case {
        int ms;
        double radius;   // 0: identity view
        bool sinX;       // eye x = r sin T (else r cos T)
    } cases[] = {
        {105001, 3, true}, {107000, 3, true},  {107999, 3, true},  {108000, 0, false},
        {108001, 4, false}, {110000, 4, false}, {111799, 4, false}, {111800, 0, false},
        {111801, 4, true},  {115249, 4, true},
    };
    for (const Case& c : cases) {
        Time = (float)c.ms / 1000;   // as the timeline computes it
        drawTunnel2();
        auto m = s2::modelview();
        if (c.radius == 0) {
            EXPECT_TRUE(isIdentity(m)) << c.ms;
        } else {
            auto e = eyeOf(m);
            double T = Time;
            double ex = c.radius * (c.sinX ? std::sin(T) : std::cos(T));
            double ez = c.radius * (c.sinX ? std::cos(T) : std::sin(T));
            EXPECT_NEAR(e[0], ex, 1e-3) << c.ms;
            EXPECT_NEAR(e[1], 0, 1e-4) << c.ms;
            EXPECT_NEAR(e[2], ez, 1e-3) << c.ms;
        }
        // Texturing stays on for the interlude; the texture matrix is reset.
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D)) << c.ms;
        glMatrixMode(GL_TEXTURE);
        auto tm = s2::modelview();
        glGetFloatv(GL_TEXTURE_MATRIX, tm.data());
        glMatrixMode(GL_MODELVIEW);
        EXPECT_TRUE(isIdentity(tm)) << c.ms;
        s2::expectHandOver("drawTunnel2");
    }
}

TEST_F(MeshScenes, AtTheSwitchTheCameraLooksDownTheTubeAtItsFarOpening)
{
    texture[12] = s2::solidTexture(255, 0, 0);
    glClearColor(0, 0, 1, 1);
    for (int ms : {107990, 108000, 108010}) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Time = (float)ms / 1000;
        drawTunnel2();
        auto centre = glfix::canvasPixel(400, 300);
        auto top = glfix::canvasPixel(400, 20);
        // The wall is all round the view at the switch; elsewhere the eye,
        // on its orbit, looks across the tube at the wall behind the centre.
        EXPECT_EQ(top, (std::array<int, 4>{255, 0, 0, 255})) << ms;
        if (ms == 108000)
            EXPECT_EQ(centre, (std::array<int, 4>{0, 0, 255, 255})) << ms;
        else
            EXPECT_EQ(centre, (std::array<int, 4>{255, 0, 0, 255})) << ms;
    }
}

TEST_F(MeshScenes, TubeTextureRepeatsThriceAlongTheTubeAndSlidesWithTime)
{
    // At the switch times the eye sits on the tube's axis looking down it, so
    // the wall point under canvas column 400, row cy, lies straight above at
    // z = -5 / (tan 22.5 deg x ndc y). GLU gives it t = (z + 60) / 120; the
    // texture matrix makes that 3t + T. A texture of two rows (red below
    // t = 0.5, green above) shows which half of the repeat each point hits.
    texture[12] = s2::makeTexture(1, 2, {255, 0, 0, 255, 0, 255, 0, 255});
    const double tanHalf = std::tan(22.5 * M_PI / 180);
    auto frac = [](double v) { return v - std::floor(v); };
    for (int ms : {108000, 111800}) {
        Time = (float)ms / 1000;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawTunnel2();
        int checked = 0, differs = 0;
        for (int row = 0; row < 240; row += 3) {
            double ndcY = (300 - (row + 0.5)) / 300;
            double z = -5 / (tanHalf * ndcY);
            double tq = (z + 60) / 120;
            double scrolled = frac(3 * tq + Time);
            double plain = frac(tq);
            // Skip points within a few per cent of a texel edge.
            if (std::fabs(scrolled - 0.5) < 0.03 || scrolled < 0.03 || scrolled > 0.97)
                continue;
            bool green = scrolled > 0.5;
            differs += green != (plain > 0.5);
            auto p = glfix::pixel(400, row);
            EXPECT_EQ(p[0], green ? 0 : 255) << ms << " row " << row;
            EXPECT_EQ(p[1], green ? 255 : 0) << ms << " row " << row;
            checked++;
        }
        EXPECT_GT(checked, 40);
        EXPECT_GT(differs, 5) << "the samples must tell a scrolled texture from a plain one";
    }
    s2::expectHandOver("drawTunnel2");
}

TEST_F(MeshScenes, InterludeImagesFlareAtABeatAndAddNothingFrom150msOn)
{
    // Two-texel images: texel 0 lands on the right half (the quad is
    // mirrored), so each image's vertical texel edge sits at its left
    // corner + 512.
    texture[5] = s2::makeTexture(2, 1, {255, 0, 0, 255, 0, 0, 0, 255});
    texture[6] = s2::makeTexture(2, 1, {0, 255, 0, 255, 0, 0, 0, 255});
    const int grey = 51;
    struct Case {
        float flash;
        int added;   // per channel, over the grey background
    } cases[] = {{0.0f, 128}, {0.25f, 64}, {0.5f, 0}, {0.9f, 0}, {1.0f, 0}};
    const float T = 106.3f;
    const float edge1 = 100 * std::sin(-2.5f * T) - 128 + 512;
    const float edge2 = 100 * std::cos(3 * T) - 128 + 512;
    ASSERT_GT(std::fabs(edge1 - edge2), 12.0f) << "pick a time with the edges apart";
    for (const Case& c : cases) {
        Time = T;
        flashbpm = c.flash;
        glClearColor(grey / 255.0f, grey / 255.0f, grey / 255.0f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawInter();
        auto left1 = glfix::canvasPixel(edge1 - 4, 300);
        auto right1 = glfix::canvasPixel(edge1 + 4, 300);
        auto left2 = glfix::canvasPixel(edge2 - 4, 300);
        auto right2 = glfix::canvasPixel(edge2 + 4, 300);
        EXPECT_EQ(left1[0], grey) << c.flash;
        EXPECT_NEAR(right1[0], grey + c.added, 1) << c.flash;
        EXPECT_EQ(left2[1], grey) << c.flash;
        EXPECT_NEAR(right2[1], grey + c.added, 1) << c.flash;
        // Additive: nothing is ever taken away, blue untouched.
        EXPECT_EQ(right1[2], grey) << c.flash;
        auto col = s2::currentColour();
        EXPECT_FLOAT_EQ(col[3], 0.5f - c.flash);
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
        s2::expectHandOver("drawInter");
    }
}

TEST_F(MeshScenes, FaceCaptionIsStillOffTheLeftEdgeAt82sAndInPlaceAt86s)
{
    texture[18] = s2::solidTexture(255, 0, 0);
    glClearColor(0, 0, 0, 1);
    auto redColumns = [] {
        int last = -1;
        for (int x = 0; x < 800; x++) {
            auto p = glfix::canvasPixel(x + 0.5f, 300);
            if (p[0] == 255 && p[1] == 0)
                last = x;
        }
        return last;   // the rightmost red column, -1 for none
    };
    Time = 82.001f;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawFace();
    // Its left edge near -510: at most a sliver reaches into the canvas.
    EXPECT_LT(redColumns(), 20);
    Time = 86.0f;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawFace();
    EXPECT_EQ(glfix::canvasPixel(400, 300), (std::array<int, 4>{255, 0, 0, 255}));
    EXPECT_EQ(s2::currentColour(), (std::array<float, 4>{1, 1, 1, 1}));
    Time = 89.7f;   // slid off the right edge shortly before the section ends
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawFace();
    EXPECT_EQ(redColumns(), -1);
    s2::expectHandOver("drawFace");
}
