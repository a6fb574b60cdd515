// The rendering toolkit on real GL: the 2D canvas and its depth planes, the
// letterbox, the sliding caption, the billboards, the blend table, the unit
// quad and the render targets.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "demo/demo.h"
#include "glfixture.h"
#include "render/render.h"

namespace {

using Pixel = std::array<int, 4>;
const Pixel BLACK = {0, 0, 0, 255}, WHITE = {255, 255, 255, 255};
const Pixel RED = {255, 0, 0, 255}, GREEN = {0, 255, 0, 255};
const Pixel BLUE = {0, 0, 255, 255}, YELLOW = {255, 255, 0, 255};

// A vertex as GL_FEEDBACK reports it: window x, y, depth, texture s, t.
struct FbVertex {
    float x, y, z, s, t;
};

// Runs `draw` in feedback mode and returns every vertex of points and polygons.
std::vector<FbVertex> feedback(const std::function<void()>& draw)
{
    static GLfloat buf[4096];
    glFeedbackBuffer(4096, GL_3D_COLOR_TEXTURE, buf);
    glRenderMode(GL_FEEDBACK);
    draw();
    int n = glRenderMode(GL_RENDER);
    std::vector<FbVertex> out;
    const int stride = 3 + 4 + 4;   // x y z, r g b a, s t r q
    for (int i = 0; i < n;) {
        int token = (int)buf[i++];
        int count = 0;
        if (token == GL_POINT_TOKEN)
            count = 1;
        else if (token == GL_POLYGON_TOKEN)
            count = (int)buf[i++];
        else
            break;
        for (int k = 0; k < count; k++, i += stride)
            out.push_back({buf[i], buf[i + 1], buf[i + 2], buf[i + 7], buf[i + 8]});
    }
    return out;
}

// The four corners of one quad in the order they were sent. Mesa reports a
// quad as the triangles (v0, v1, v3) and (v1, v2, v3); a driver may also
// report it whole.
std::vector<FbVertex> quadOf(const std::vector<FbVertex>& v)
{
    if (v.size() == 6)
        return {v[0], v[1], v[4], v[2]};
    return v;
}

void canvasQuad(float x0, float y0, float x1, float y1)
{
    glBegin(GL_QUADS);
    glVertex2f(x0, y0);
    glVertex2f(x0, y1);
    glVertex2f(x1, y1);
    glVertex2f(x1, y0);
    glEnd();
}

// A 2 x 2 opaque texture, top row (t = 0) red | green, bottom row blue | yellow.
GLuint quadrantTexture()
{
    const unsigned char texels[] = {255, 0, 0, 255, 0, 255, 0, 255,
                                    0, 0, 255, 255, 255, 255, 0, 255};
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    return name;
}

std::vector<unsigned char> readFrame()
{
    std::vector<unsigned char> rgba(800 * 600 * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

class Toolkit : public ::testing::Test {
protected:
    void SetUp() override
    {
        glfix::context();
        glfix::baselineState();
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
};

}  // namespace

TEST_F(Toolkit, CanvasCornersFollowTheViewportAtTheirDepthPlane)
{
    const int viewports[][4] = {{0, 0, 800, 600}, {100, 50, 400, 300}, {0, 0, 1024, 768}};
    for (auto& vp : viewports) {
        glViewport(vp[0], vp[1], vp[2], vp[3]);
        for (int backdrop = 0; backdrop < 2; backdrop++) {
            std::vector<FbVertex> v = feedback([&] {
                backdrop ? ViewOrtho2() : ViewOrtho();
                glBegin(GL_POINTS);
                glVertex2f(0, 0);
                glVertex2f(800, 600);
                glEnd();
                ViewPerspective();
            });
            ASSERT_EQ(v.size(), 2u);
            float depth = backdrop ? 1.0f : 0.5f;
            // (0, 0) is the top-left corner: GL's window y counts from the bottom.
            EXPECT_NEAR(v[0].x, vp[0], 1e-3);
            EXPECT_NEAR(v[0].y, vp[1] + vp[3], 1e-3);
            EXPECT_NEAR(v[0].z, depth, 1e-6);
            EXPECT_NEAR(v[1].x, vp[0] + vp[2], 1e-3);
            EXPECT_NEAR(v[1].y, vp[1], 1e-3);
            EXPECT_NEAR(v[1].z, depth, 1e-6);
        }
    }
    glViewport(0, 0, 800, 600);
}

TEST_F(Toolkit, BackdropStaysBehind3DAndTheFrontLayerCoversIt)
{
    glDisable(GL_TEXTURE_2D);
    for (int backdrop = 0; backdrop < 2; backdrop++) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColor3f(1, 0, 0);   // a 3D quad 5 units in front of the eye, round the centre
        glBegin(GL_QUADS);
        glVertex3f(-1, -1, -5);
        glVertex3f(1, -1, -5);
        glVertex3f(1, 1, -5);
        glVertex3f(-1, 1, -5);
        glEnd();
        backdrop ? ViewOrtho2() : ViewOrtho();
        glColor3f(0, 1, 0);
        canvasQuad(0, 0, 800, 600);
        ViewPerspective();
        glColor3f(1, 1, 1);
        EXPECT_EQ(glfix::canvasPixel(400, 300), backdrop ? RED : GREEN) << "backdrop " << backdrop;
        EXPECT_EQ(glfix::canvasPixel(20, 20), GREEN);
        float depth = 0;
        glReadPixels(20, 20, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
        EXPECT_NEAR(depth, backdrop ? 1.0f : 0.5f, 1e-3);
    }
}

TEST_F(Toolkit, ViewPerspectiveRestoresBothMatricesAndSelectsModelView)
{
    GLfloat proj[16], mv[16], after[16];
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(1, 2, -3);
    glRotatef(30, 0, 1, 0);
    glGetFloatv(GL_PROJECTION_MATRIX, proj);
    glGetFloatv(GL_MODELVIEW_MATRIX, mv);
    int pd = glfix::projectionDepth(), md = glfix::modelviewDepth();
    for (int backdrop = 0; backdrop < 2; backdrop++) {
        glMatrixMode(GL_PROJECTION);   // even with the projection selected on entry
        backdrop ? ViewOrtho2() : ViewOrtho();
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
        EXPECT_EQ(glfix::projectionDepth(), pd + 1);
        EXPECT_EQ(glfix::modelviewDepth(), md + 1);
        ViewPerspective();
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
        EXPECT_EQ(glfix::projectionDepth(), pd);
        EXPECT_EQ(glfix::modelviewDepth(), md);
        glGetFloatv(GL_PROJECTION_MATRIX, after);
        for (int i = 0; i < 16; i++)
            EXPECT_EQ(after[i], proj[i]);
        glGetFloatv(GL_MODELVIEW_MATRIX, after);
        for (int i = 0; i < 16; i++)
            EXPECT_EQ(after[i], mv[i]);
    }
    glLoadIdentity();
}

TEST_F(Toolkit, LetterboxLeavesExactlyRows90To510)
{
    GLuint white = 0;   // texturing on with a white texture: the bands stay black
    const unsigned char texel[4] = {255, 255, 255, 255};
    glGenTextures(1, &white);
    glBindTexture(GL_TEXTURE_2D, white);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    // Untextured, textured, and with the layer kept to the opening (cleared
    // black first: a box too tight leaves black rows inside the opening).
    for (int pass = 0; pass < 3; pass++) {
        const bool textured = pass == 1, scissored = pass == 2;
        textured ? glEnable(GL_TEXTURE_2D) : glDisable(GL_TEXTURE_2D);
        glClearColor(!scissored, !scissored, !scissored, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        ScissorState was;
        if (scissored)
            was = scissorToOpening();
        ViewOrtho();   // a front layer drawn before: the bands still cover it
        glColor3f(1, 1, 1);
        canvasQuad(0, 0, 800, 600);
        ViewPerspective();
        if (scissored) {
            restoreScissor(was);
            EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
        }

        drawBorders();
        std::vector<unsigned char> frame = readFrame();
        int wrong = 0;
        for (int row = 0; row < 600; row++)
            for (int x : {0, 1, 400, 798, 799}) {
                const unsigned char* p = &frame[((599 - row) * 800 + x) * 4];
                int want = row >= 90 && row < 510 ? 255 : 0;
                if (p[0] != want || p[1] != want || p[2] != want)
                    wrong++;
            }
        EXPECT_EQ(wrong, 0) << "pass " << pass;
        GLfloat colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_EQ(colour[0] + colour[1] + colour[2], 3.0f) << "the colour is left white";
    }
    glDisable(GL_TEXTURE_2D);
    glDeleteTextures(1, &white);
    glClearColor(0, 0, 0, 1);
}

TEST_F(Toolkit, TimelineLetterboxBandsAreBlackInTheirWindows)
{
    calcbpm(63.35f);
    platSoundSetManual(true);
    for (int ms : {1000, 21900, 52100, 60000, 100000, 127900}) {
        platSoundSetManualTime(ms);
        DrawGLScene();
        std::vector<unsigned char> frame = readFrame();
        int lit = 0;
        for (int row : {0, 45, 89, 510, 555, 599})
            for (int x = 0; x < 800; x += 7) {
                const unsigned char* p = &frame[((599 - row) * 800 + x) * 4];
                lit += p[0] || p[1] || p[2];
            }
        EXPECT_EQ(lit, 0) << "at " << ms << " ms";
        EXPECT_EQ(bordersDrawn, 1) << "at " << ms << " ms";
    }
    glfix::baselineState();
    glClearColor(0, 0, 0, 1);
}

namespace {

// At Time 0 the wobble is +25 both ways (cosines 1, sines 0): a caption at
// track x lands with its top-left corner at canvas (x + 25, 89). Its start
// sets how far along its track it is, 350 units a second.
class Caption : public Toolkit {
protected:
    void SetUp() override
    {
        Toolkit::SetUp();
        saved = texture[5];
        texture[5] = quadrantTexture();
        glDisable(GL_TEXTURE_2D);
    }
    void TearDown() override
    {
        glDeleteTextures(1, &texture[5]);
        texture[5] = saved;
    }
    GLuint saved = 0;
};

}  // namespace

TEST_F(Caption, HoldsAt128MirroredWithItsTopRowUp)
{
    Time = 0;   // 5 s after its start: 1750 track units, in the hold at 128
    int md = glfix::modelviewDepth(), pd = glfix::projectionDepth();
    drawText2(5, -5);
    const float x = 153, y = 89;
    // u falls from 1 at the left edge: the left side shows the texture's right column.
    EXPECT_EQ(glfix::canvasPixel(x, y), GREEN);
    EXPECT_EQ(glfix::canvasPixel(x + 509, y + 3), RED);
    EXPECT_EQ(glfix::canvasPixel(x + 3, y + 509), YELLOW);
    EXPECT_EQ(glfix::canvasPixel(x + 509, y + 509), BLUE);
    // The corner exactly: the pixels just left of and above it are not covered.
    EXPECT_EQ(glfix::canvasPixel(x - 1, y + 100), BLACK);
    EXPECT_EQ(glfix::canvasPixel(x + 100, y - 1), BLACK);
    EXPECT_EQ(glfix::canvasPixel(x + 512, y + 100), BLACK);

    // What it leaves: blending and texturing off, opaque white, matrices as found.
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0] + colour[1] + colour[2] + colour[3], 4.0f);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(glfix::modelviewDepth(), md);
    EXPECT_EQ(glfix::projectionDepth(), pd);
}

TEST_F(Caption, ParkedOffTheLeftBeforeItsStartHalfwayInAndGoneAtTheEnd)
{
    // Before its start it holds at -550 (right edge -13): nothing shows. Half
    // way from -550 to 128 (500 units, the eased fraction a half) it is at
    // -211, right edge 326. Past its end it holds at 1000, off the right edge.
    struct Case {
        float units, right;   // right edge; none on the canvas when below 0
    } cases[] = {{-1750, -13}, {500, 326}, {3500, -1}};
    Time = 0;
    for (const Case& c : cases) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawText2(5, -c.units / 350);
        std::vector<unsigned char> frame = readFrame();
        int beyond = 0;
        for (size_t i = 0; i < frame.size(); i += 4)
            if ((frame[i] || frame[i + 1] || frame[i + 2]) && (float)((i / 4) % 800) > c.right + 1)
                beyond++;
        EXPECT_EQ(beyond, 0) << "at " << c.units << " units";
        if (c.right > 0) {
            EXPECT_EQ(glfix::canvasPixel(c.right - 2, 92), RED) << "at " << c.units << " units";
        }
    }
}

TEST_F(Caption, TheLongTrackMatchesUntil2500AndHoldsLonger)
{
    auto frameOf = [](void (*draw)(int, float), float units) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Time = 0;
        draw(5, -units / 350);
        return readFrame();
    };
    for (float units : {175.0f, 700.0f, 2450.0f})
        EXPECT_TRUE(frameOf(drawText2, units) == frameOf(drawText, units)) << "at " << units;
    // At 2900 units drawText2 is sliding out, drawText still holds at 128.
    std::vector<unsigned char> two = frameOf(drawText2, 2900);
    std::vector<unsigned char> one = frameOf(drawText, 2900);
    EXPECT_FALSE(two == one);
    EXPECT_EQ(glfix::canvasPixel(153 + 3, 89 + 3), GREEN);
}

TEST_F(Caption, ConfinedToItsInkItDrawsTheSamePixels)
{
    // 64 x 64: ink (opaque, every texel its own colour) only in columns 3..39
    // and rows 10..29, off centre both ways; coloured but clear elsewhere.
    std::vector<unsigned char> texels(64 * 64 * 4);
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 64; x++) {
            unsigned char* p = &texels[(y * 64 + x) * 4];
            p[0] = (unsigned char)(x * 4);
            p[1] = (unsigned char)(y * 4);
            p[2] = 200;
            p[3] = x >= 3 && x < 40 && y >= 10 && y < 30 ? 255 : 0;
        }
    glDeleteTextures(1, &texture[5]);
    glGenTextures(1, &texture[5]);
    glBindTexture(GL_TEXTURE_2D, texture[5]);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 64, 64, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    const InkBox saved = textureInk[5], ink = {texture[5], 64, 64, 3, 10, 40, 30};

    auto frameOf = [](const InkBox& record, float units) {
        textureInk[5] = record;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Time = 0;
        drawText2(5, -units / 350);
        return readFrame();
    };
    // The whole window and a smaller, shifted viewport; sliding in, held,
    // sliding out; then inside a scissor box already in force, which stays.
    const GLint views[2][4] = {{0, 0, 800, 600}, {30, 20, 700, 500}};
    for (const GLint* v : views) {
        glViewport(v[0], v[1], v[2], v[3]);
        for (float units : {500.0f, 1750.0f, 2700.0f}) {
            std::vector<unsigned char> whole = frameOf({}, units), inked = frameOf(ink, units);
            int lit = 0;
            for (size_t i = 0; i < whole.size(); i += 4)
                lit += whole[i + 2] != 0;
            EXPECT_GT(lit, 1000) << "at " << units << " units";
            EXPECT_TRUE(whole == inked) << "viewport " << v[2] << " x " << v[3] << ", " << units;
        }
    }
    glEnable(GL_SCISSOR_TEST);
    glScissor(100, 200, 300, 150);
    EXPECT_TRUE(frameOf({}, 1750) == frameOf(ink, 1750)) << "inside a scissor box";
    GLint box[4];
    glGetIntegerv(GL_SCISSOR_BOX, box);
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_EQ(box[0] + box[1] + box[2] + box[3], 100 + 200 + 300 + 150);
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, 800, 600);
    textureInk[5] = saved;
}

TEST_F(Toolkit, BillboardFacesTheViewerUnderAnyRotation)
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();   // window = (ndc + 1) / 2 x viewport, depth = (z + 1) / 2
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    VECTOR3 centre = {0.2f, -0.1f, 0.0f};

    std::vector<FbVertex> v = quadOf(feedback([&] { autoDrawPointSprite(centre, 0.25f); }));
    ASSERT_EQ(v.size(), 4u);
    const float want[4][4] = {{-0.05f, -0.35f, 0, 0}, {0.45f, -0.35f, 1, 0},
                              {0.45f, 0.15f, 1, 1}, {-0.05f, 0.15f, 0, 1}};
    for (int i = 0; i < 4; i++) {
        EXPECT_NEAR(v[i].x, (want[i][0] + 1) * 400, 1e-2) << i;
        EXPECT_NEAR(v[i].y, (want[i][1] + 1) * 300, 1e-2) << i;
        EXPECT_EQ(v[i].s, want[i][2]) << i;
        EXPECT_EQ(v[i].t, want[i][3]) << i;
    }

    // Rotated: still a screen-aligned square of the same size, (0, 0) lower-left.
    glRotatef(35, 1, 0.5f, 0);
    glRotatef(-70, 0, 1, 0);
    GLfloat before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    v = quadOf(feedback([&] { autoDrawPointSprite(centre, 0.25f); }));
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    ASSERT_EQ(v.size(), 4u);
    EXPECT_NEAR(v[0].y, v[1].y, 1e-2);
    EXPECT_NEAR(v[1].x, v[2].x, 1e-2);
    EXPECT_NEAR(v[2].y, v[3].y, 1e-2);
    EXPECT_NEAR(v[3].x, v[0].x, 1e-2);
    EXPECT_NEAR(v[1].x - v[0].x, 0.5f * 400, 1e-2);
    EXPECT_NEAR(v[3].y - v[0].y, 0.5f * 300, 1e-2);
    for (int i = 1; i < 4; i++)
        EXPECT_NEAR(v[i].z, v[0].z, 1e-5) << "the square is parallel to the screen";
    EXPECT_EQ(v[0].s + v[0].t, 0.0f);
    for (int i = 0; i < 16; i++)
        EXPECT_EQ(after[i], before[i]) << "no matrix change";

    // The rolled variant keeps the face-on square and leaves its roll applied.
    glLoadIdentity();
    VECTOR3 right = {0.5f, 0, 0};
    v = quadOf(feedback([&] { autoDrawPointSpriteRot(right, 0.1f, 90); }));
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    ASSERT_EQ(v.size(), 4u);
    EXPECT_NEAR((v[0].x + v[2].x) / 2, 400, 1e-2);          // centre rolled to (0, 0.5)
    EXPECT_NEAR((v[0].y + v[2].y) / 2, 1.5f * 300, 1e-2);
    EXPECT_NEAR(v[0].y, v[1].y, 1e-2);
    EXPECT_NEAR(after[1], 1.0f, 1e-6);

    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

TEST_F(Toolkit, BlendTableUnitQuadAndRenderTargets)
{
    // Each mode's picture: S = (0.6, 0.2, 1) at alpha a = 0.25 drawn over
    // D = (0.4, 0.6, 0.2), worked by hand from what each mode does.
    const float want[9][3] = {
        {},
        {0.24f, 0.12f, 0.2f},    // 1 multiply: S D
        {0.55f, 0.65f, 0.45f},   // 2 additive by alpha: D + a S
        {0.1f, 0.15f, 0.05f},    // 3 darken by alpha: a D
        {0.45f, 0.5f, 0.4f},     // 4 transparency: a S + (1 - a) D
        {0.85f, 0.75f, 0.95f},   // 5 additive by inverse alpha: (1 - a) S + D
        {0.3f, 0.45f, 0.15f},    // 6 cut out by alpha: (1 - a) D
        {0.76f, 0.68f, 1.0f},    // 7 screen: S + (1 - S) D
        {1.0f, 0.8f, 1.0f},      // 8 additive: S + D, clamped
    };
    glDisable(GL_TEXTURE_2D);
    for (int mode = 1; mode <= 8; mode++) {
        glClearColor(0.4f, 0.6f, 0.2f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        autoMaterialBlendMode(mode);
        EXPECT_FALSE(glIsEnabled(GL_BLEND)) << "mode " << mode << " leaves blending as it was";
        glEnable(GL_BLEND);
        ViewOrtho();
        glColor4f(0.6f, 0.2f, 1, 0.25f);
        canvasQuad(0, 0, 800, 600);
        ViewPerspective();
        glDisable(GL_BLEND);
        Pixel p = glfix::canvasPixel(400, 300);
        for (int k = 0; k < 3; k++)
            EXPECT_NEAR(p[k], want[mode][k] * 255, 1.5) << "mode " << mode << " channel " << k;
    }
    glColor4f(1, 1, 1, 1);
    glClearColor(0, 0, 0, 1);
    glBlendFunc(GL_ZERO, GL_SRC_COLOR);
    GLint src = 0, dst = 0;
    for (int bad : {0, 9, -1}) {
        autoMaterialBlendMode(bad);
        glGetIntegerv(GL_BLEND_SRC, &src);
        glGetIntegerv(GL_BLEND_DST, &dst);
        EXPECT_EQ((GLenum)src, (GLenum)GL_ZERO) << "mode " << bad << " changes nothing";
        EXPECT_EQ((GLenum)dst, (GLenum)GL_SRC_COLOR) << "mode " << bad << " changes nothing";
    }
    glBlendFunc(GL_ONE, GL_ZERO);

    // DrawQuad: the texture's v edge goes to the square's y = 1 edge.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    std::vector<FbVertex> v = quadOf(feedback([] {
        glBegin(GL_QUADS);
        DrawQuad(0.5f, 0.25f, 0.125f, 0.75f);
        glEnd();
    }));
    ASSERT_EQ(v.size(), 4u);
    EXPECT_NEAR(v[0].y, 2 * 300, 1e-2);   // (0, 1) in NDC: the top edge
    EXPECT_EQ(v[0].s, 0.125f);
    EXPECT_EQ(v[0].t, 0.75f);
    EXPECT_NEAR(v[1].y, 300, 1e-2);
    EXPECT_EQ(v[1].t, 1.0f);
    EXPECT_EQ(v[2].s, 0.625f);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    // The render targets: 1024 x 1024 RGB8, black, linear, the second left bound.
    autoInitRenderTexture();
    autoInitRenderDepthTexture();
    ASSERT_NE(rendertexture, 0u);
    ASSERT_NE(depthtexture, 0u);
    EXPECT_NE(rendertexture, depthtexture);
    GLint bound = 0, w = 0, h = 0, format = 0, filter = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ((GLuint)bound, depthtexture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 1024);
    EXPECT_EQ(format, GL_RGB8);
    EXPECT_EQ(filter, GL_LINEAR);
    std::vector<unsigned char> texels(1024 * 1024 * 4, 7);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(texels[0] + texels[1] + texels[2], 0);
    EXPECT_EQ(texels[(1024 * 1024 - 1) * 4], 0);

    // The off-screen pass: draw into width x 512, copy, viewport back to 1024 x 768.
    autoSetViewPort(256);
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    EXPECT_EQ(vp[2], 256);
    EXPECT_EQ(vp[3], 512);
    glDisable(GL_TEXTURE_2D);
    ViewOrtho();
    glColor3f(0, 0, 1);
    canvasQuad(0, 0, 800, 600);
    glColor3f(1, 1, 1);
    ViewPerspective();
    autoRenderToTexture(256, rendertexture);
    glGetIntegerv(GL_VIEWPORT, vp);
    EXPECT_EQ(vp[2], 1024);
    EXPECT_EQ(vp[3], 768);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ((GLuint)bound, rendertexture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    EXPECT_EQ(w, 256);
    EXPECT_EQ(h, 512);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(texels[2], 255);
    EXPECT_EQ(texels[(256 * 512 - 1) * 4 + 2], 255);
    glViewport(0, 0, 800, 600);
    glBindTexture(GL_TEXTURE_2D, 0);
}
