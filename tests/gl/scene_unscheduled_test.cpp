// The unscheduled scenes on real GL: the cube lattice's grid, beat slide,
// glow and camera; the floor's placement and tiling.
#include "scenes2_support.h"

#include <set>

namespace {

class Unscheduled : public ::testing::Test {
protected:
    void SetUp() override
    {
        s2::sceneSetup();
        texture[17] = 0;
    }
};

// Object-space points of everything drawn, under a wide orthographic view
// that clips nothing: window -> eye by the ortho mapping, eye -> object by
// the camera the scene leaves in the model-view matrix.
struct Lattice {
    std::vector<s2::FbPolygon> polygons;
    std::vector<std::array<double, 3>> points;
};

Lattice captureLattice()
{
    const double L = 150, N = 150;
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-L, L, -L, L, -N, N);
    glMatrixMode(GL_MODELVIEW);
    Lattice out;
    out.polygons = s2::capture([] { drawCubeScene(); });
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    auto m = s2::modelview();
    for (auto& p : out.polygons)
        for (auto& v : p) {
            double e[3] = {v.x / 800 * 2 * L - L, v.y / 600 * 2 * L - L, -(2.0 * v.z - 1) * N};
            double d[3] = {e[0] - m[12], e[1] - m[13], e[2] - m[14]};
            std::array<double, 3> o;
            for (int c = 0; c < 3; c++)   // R^T d; column c of R is m[4c..4c+2]
                o[c] = m[4 * c] * d[0] + m[4 * c + 1] * d[1] + m[4 * c + 2] * d[2];
            out.points.push_back(o);
        }
    return out;
}

}  // namespace

TEST_F(Unscheduled, LatticeSitsOnItsGridAtABeatAndSlidesByMinusThree300msLater)
{
    Time = 33.3f;
    struct Case {
        float flash, slide;
    } cases[] = {{0, 0}, {0.5f, 1.5f}, {1, 3}};
    for (const Case& c : cases) {
        flashbpm = c.flash;
        Lattice lat = captureLattice();
        // 16 x 16 x 16 cubes of six quads, none clipped (GL feeds each
        // quad back as two triangles).
        ASSERT_EQ(lat.polygons.size(), 4096u * 6u * 2u) << c.flash;
        for (auto& p : lat.polygons)
            ASSERT_EQ(p.size(), 3u);
        // From -8 to 7 cells of 6.2, cubes 2 wide: one cell more below zero.
        for (int axis = 0; axis < 3; axis++) {
            double lo = 1e9, hi = -1e9;
            for (auto& o : lat.points) {
                lo = std::min(lo, o[axis]);
                hi = std::max(hi, o[axis]);
            }
            EXPECT_NEAR(lo, -8 * 6.2 - 1 - c.slide, 2e-3) << c.flash << " axis " << axis;
            EXPECT_NEAR(hi, 7 * 6.2 + 1 - c.slide, 2e-3) << c.flash << " axis " << axis;
        }
        // Every corner lies one unit off a lattice plane.
        std::set<long> cells;
        for (auto& o : lat.points) {
            for (int axis = 0; axis < 3; axis++) {
                double near1 = std::fabs((o[axis] + c.slide - 1) / 6.2 -
                                         std::round((o[axis] + c.slide - 1) / 6.2));
                double near2 = std::fabs((o[axis] + c.slide + 1) / 6.2 -
                                         std::round((o[axis] + c.slide + 1) / 6.2));
                ASSERT_LT(std::min(near1, near2) * 6.2, 2e-3) << o[axis];
            }
        }
        // The plum colour at 0.65 on every corner.
        auto& v = lat.polygons.front().front();
        EXPECT_NEAR(v.r, 0.37f, 1e-6);
        EXPECT_NEAR(v.g, 0.14f, 1e-6);
        EXPECT_NEAR(v.b, 0.23f, 1e-6);
        EXPECT_NEAR(v.a, 0.65f, 1e-6);
    }
}

TEST_F(Unscheduled, LatticeCameraOrbitsAndTheFacesGlowAdditively)
{
    for (float t : {0.5f, 2.0f, 4.4f}) {
        Time = t;
        flashbpm = 1;
        glClearColor(0.5f, 0.5f, 0.5f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawCubeScene();
        EXPECT_EQ(s2::clearColour(), (std::array<float, 4>{0, 0, 0, 1}));

        // The eye at radius 21, one unit up, looking at (0, 18 sin T, 0).
        auto m = s2::modelview();
        double eye[3], fwd[3];
        for (int r = 0; r < 3; r++) {
            eye[r] = -(m[r * 4] * m[12] + m[r * 4 + 1] * m[13] + m[r * 4 + 2] * m[14]);
            fwd[r] = -m[r * 4 + 2];
        }
        EXPECT_NEAR(eye[0], 21 * std::cos(t), 1e-3);
        EXPECT_NEAR(eye[1], 1, 1e-3);
        EXPECT_NEAR(eye[2], 21 * std::sin(t), 1e-3);
        double to[3] = {-eye[0], 18 * std::sin(t) - eye[1], -eye[2]};
        double len = std::sqrt(to[0] * to[0] + to[1] * to[1] + to[2] * to[2]);
        for (int r = 0; r < 3; r++)
            EXPECT_NEAR(fwd[r], to[r] / len, 1e-4);

        // Additive plum over the grey: nothing darker than the background,
        // red gains most and green least, and the depth buffer is untouched.
        std::vector<unsigned char> rgba(800 * 600 * 4);
        glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        int lit = 0, brightest = 0;
        for (size_t i = 0; i < rgba.size(); i += 4) {
            int r = rgba[i] - 128, g = rgba[i + 1] - 128, b = rgba[i + 2] - 128;
            ASSERT_GE(std::min({r, g, b}), 0);
            if (r > 0)
                lit++;
            if (r < 127) {   // below saturation the gains keep the plum ratios
                ASSERT_TRUE(r >= b - 1 && b >= g - 1) << r << " " << g << " " << b;
            }
            brightest = std::max(brightest, r);
        }
        EXPECT_GT(lit, 800 * 600 / 4);
        EXPECT_GT(brightest, 120) << "where faces line up, several add up";
        std::vector<float> depth(800 * 600);
        glReadPixels(0, 0, 800, 600, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        EXPECT_EQ(*std::min_element(depth.begin(), depth.end()), 1.0f);

        s2::expectHandOver("drawCubeScene");
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        GLint src = 0, dst = 0;
        glGetIntegerv(GL_BLEND_SRC, &src);
        glGetIntegerv(GL_BLEND_DST, &dst);
        EXPECT_EQ(src, GL_SRC_ALPHA);
        EXPECT_EQ(dst, GL_ONE);
    }
}

TEST_F(Unscheduled, FloorIsEdgeOnUnderTheIdentityAndTiledWhenSeenFromAbove)
{
    texture[17] = s2::makeTexture(2, 2, {255, 0, 0, 255, 0, 0, 255, 255,   //
                                         0, 0, 255, 255, 255, 0, 0, 255});
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor4f(0.25f, 1, 1, 1);
    glLoadIdentity();
    DrawFloor();
    // In the plane of the eye: not a pixel drawn.
    std::vector<unsigned char> rgb(800 * 600 * 3);
    glReadPixels(0, 0, 800, 600, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    EXPECT_EQ(*std::max_element(rgb.begin(), rgb.end()), 0);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(s2::modelview() == (std::array<float, 16>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0,
                                                            0, 0, 0, 1}));
    EXPECT_EQ(s2::currentColour(), (std::array<float, 4>{0.25f, 1, 1, 1}));

    // Seen from straight above with an orthographic view of 50 units: the
    // 44-unit square carries the texture 25 times each way, point-sampled,
    // in the current colour.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-25, 25, -25, 25, -50, 50);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(90, 1, 0, 0);   // the floor's +y towards the eye
    glColor4f(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawFloor();
    auto polys = s2::capture([] { DrawFloor(); });
    ASSERT_EQ(polys.size(), 2u);   // the quad, fed back as two triangles
    std::set<std::pair<float, float>> st;
    for (auto& p : polys)
        for (auto& v : p)
            st.insert({v.s, v.t});
    EXPECT_EQ(st, (std::set<std::pair<float, float>>{{0, 0}, {0, 25}, {25, 0}, {25, 25}}));
    // Outside the square: the clear colour; inside: only red and blue texels,
    // and both of them.
    auto outside = glfix::canvasPixel(400 - 23.5f * 16, 300);
    EXPECT_EQ(outside, (std::array<int, 4>{0, 0, 0, 255}));
    int reds = 0, blues = 0;
    for (int x = 200; x < 600; x += 3) {
        auto p = glfix::pixel(x, 300);
        ASSERT_EQ(p[1], 0);
        ASSERT_TRUE((p[0] == 255 && p[2] == 0) || (p[0] == 0 && p[2] == 255)) << x;
        (p[0] ? reds : blues)++;
    }
    EXPECT_GT(reds, 20);
    EXPECT_GT(blues, 20);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    s2::expectHandOver("DrawFloor");
}
