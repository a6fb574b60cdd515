// The mesh scenes drawing a model: a hand-built flat square stands in for
// each mesh so that where it lands and how it is sphere-mapped can be worked
// out exactly.
#include "scenes2_support.h"

namespace {

// N x N distinct texel colours: the texel under a pixel says which texture
// coordinate was used there.
const int N = 5;

std::vector<unsigned char> texelColours()
{
    std::vector<unsigned char> px;
    for (int t = 0; t < N; t++)
        for (int s = 0; s < N; s++)
            px.insert(px.end(), {(unsigned char)(40 + 50 * s), (unsigned char)(40 + 50 * t),
                                 (unsigned char)(230 - 30 * s - 10 * t), 255});
    return px;
}

std::array<int, 4> texel(int s, int t)
{
    auto px = texelColours();
    const unsigned char* p = &px[(t * N + s) * 4];
    return {p[0], p[1], p[2], p[3]};
}

// The sphere-map coordinate GL generates at the model's origin for the
// normal (0, 0, 1), both taken to eye space by the model-view matrix m.
std::array<double, 2> sphereMapAtCentre(const std::array<float, 16>& m)
{
    double n[3] = {m[8], m[9], m[10]};
    double len = std::sqrt((double)m[12] * m[12] + (double)m[13] * m[13] + (double)m[14] * m[14]);
    double u[3] = {m[12] / len, m[13] / len, m[14] / len};
    double nu = n[0] * u[0] + n[1] * u[1] + n[2] * u[2];
    double r[3];
    for (int i = 0; i < 3; i++)
        r[i] = u[i] - 2 * n[i] * nu;
    double k = 2 * std::sqrt(r[0] * r[0] + r[1] * r[1] + (r[2] + 1) * (r[2] + 1));
    return {r[0] / k + 0.5, r[1] / k + 0.5};
}

class MeshModels : public ::testing::Test {
protected:
    s2::HandModel square;
    OBJ_Model_t saved[3];

    void SetUp() override
    {
        s2::sceneSetup();
        for (int slot : {5, 6, 12, 18})
            texture[slot] = 0;
        texture[11] = s2::makeTexture(N, N, texelColours());
        texture[18] = s2::solidTexture(0, 0, 0, 0);   // a caption that hides nothing
        flashbpm = flashbpm2 = syncbpm = 1;
        for (int i = 0; i < 3; i++)
            saved[i] = model[i];
    }
    void TearDown() override
    {
        for (int i = 0; i < 3; i++)
            model[i] = saved[i];
    }

    // Draws `scene` at each time with the square in model slot `slot` and
    // checks the centre pixel shows the sphere-mapped texel, not the one of
    // the texture coordinate current before the scene.
    void expectChromeAtCentre(int slot, const std::function<void()>& scene,
                              std::initializer_list<float> times, bool centred)
    {
        s2::buildSquare(square, 2);
        model[slot] = square.model;
        int checked = 0;
        for (float t : times) {
            Time = t;
            glColor4f(1, 1, 1, 1);
            glTexCoord2f(0.1f, 0.1f);   // texel (0, 0) if generation were off
            glClearColor(0, 0, 0, 1);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            scene();
            auto m = s2::modelview();
            if (centred) {
                EXPECT_FLOAT_EQ(m[12], 0) << t;
                EXPECT_FLOAT_EQ(m[13], 0) << t;
            }
            auto st = sphereMapAtCentre(m);
            double fs = st[0] * N, ft = st[1] * N;
            if (std::fabs(fs - std::round(fs)) < 0.15 || std::fabs(ft - std::round(ft)) < 0.15)
                continue;   // too near a texel edge to call
            if ((int)fs == 0 && (int)ft == 0)
                continue;   // the same texel as the stale coordinate
            // The centre pixel of the square: the canvas centre for the face,
            // its projection for the torus.
            float cy = 300 - m[13] / -m[14] / std::tan(22.5f * 3.14159265f / 180) * 300;
            EXPECT_EQ(glfix::canvasPixel(400, cy), texel((int)fs, (int)ft))
                << "at " << t << " s: s " << st[0] << " t " << st[1];
            s2::expectHandOver("mesh scene");
            EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
            checked++;
        }
        EXPECT_GE(checked, 3);
    }
};

}  // namespace

TEST_F(MeshModels, FaceIsChromeAndCentred)
{
    expectChromeAtCentre(1, [] { drawFace(); },
                         {82.3f, 82.9f, 83.4f, 84.0f, 84.6f, 85.2f, 85.7f, 86.1f, 86.6f, 87.0f,
                          87.7f, 88.5f, 89.3f},
                         true);
}

TEST_F(MeshModels, TorusIsChromeAndRisesThroughTheFrame)
{
    expectChromeAtCentre(0, [] { drawTorusScene(); },
                         {115.9f, 116.2f, 116.5f, 116.8f, 117.1f, 117.4f, 117.7f, 118.0f}, false);
}

TEST_F(MeshModels, TunnelBallIsAFifthOfItsSizeAtTheOrbitsCentre)
{
    // A 2-unit square, 0.4 units once scaled, at the origin; the eye 3 units
    // away looks at it across the tube.
    s2::buildSquare(square, 1);
    model[2] = square.model;
    texture[11] = s2::solidTexture(255, 255, 0);
    texture[12] = s2::solidTexture(255, 0, 0);
    Time = 105.5f;   // eye at (3 sin T, 0, 3 cos T), in front of the square's face
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawTunnel2();
    // Its half-width on screen: 0.2 units seen from about 3 units.
    double ex = 3 * std::sin((double)Time), ez = 3 * std::cos((double)Time);
    double dist = std::sqrt(ex * ex + ez * ez);
    double halfPx = 0.2 / dist / std::tan(22.5 * M_PI / 180) * 300;
    int top = -1, bottom = -1;
    for (int y = 0; y < 600; y++) {
        auto p = glfix::canvasPixel(400, y + 0.5f);
        if (p[0] == 255 && p[1] == 255) {
            if (top < 0)
                top = y;
            bottom = y;
        }
    }
    ASSERT_GE(top, 0) << "no ball at the centre";
    // The square turns about the vertical axis only, so its centre column
    // spans its full height.
    EXPECT_NEAR((bottom - top + 1) / 2.0, halfPx, halfPx * 0.1);
    EXPECT_NEAR((top + bottom + 1) / 2.0, 300, 2);
    s2::expectHandOver("drawTunnel2");
}
