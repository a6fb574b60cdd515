// Drawing models on real GL, captured in feedback mode: group order, the
// normals and texture coordinates sent, the vector lines, and the state
// OBJ_DrawVectors leaves behind.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <string>
#include <vector>

#include "glfixture.h"
#include "mesh/obj.h"

namespace {

// One captured vertex: window position, colour and texture coordinate.
struct FbVertex {
    float x, y, z;
    float r, g, b, a;
    float s, t;
};

struct FbPrimitive {
    bool line;   // else a polygon
    std::vector<FbVertex> v;
};

// Runs draw() in feedback mode and parses what GL produced.
template <class Draw>
std::vector<FbPrimitive> capture(Draw draw)
{
    static float buf[1 << 16];
    glFeedbackBuffer(sizeof buf / sizeof buf[0], GL_3D_COLOR_TEXTURE, buf);
    glRenderMode(GL_FEEDBACK);
    draw();
    int n = glRenderMode(GL_RENDER);
    EXPECT_GE(n, 0) << "feedback buffer overflowed";
    std::vector<FbPrimitive> out;
    auto vertexAt = [&](int& i) {
        FbVertex v{buf[i], buf[i + 1], buf[i + 2], buf[i + 3], buf[i + 4],
                   buf[i + 5], buf[i + 6], buf[i + 7], buf[i + 8]};
        i += 11;
        return v;
    };
    for (int i = 0; i < n;) {
        int token = (int)buf[i++];
        if (token == GL_POLYGON_TOKEN) {
            int count = (int)buf[i++];
            FbPrimitive p{false, {}};
            for (int k = 0; k < count; k++)
                p.v.push_back(vertexAt(i));
            out.push_back(p);
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            FbPrimitive p{true, {}};
            p.v.push_back(vertexAt(i));
            p.v.push_back(vertexAt(i));
            out.push_back(p);
        } else {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
    }
    return out;
}

// Identity matrices: model x, y in [-1, 1] map to the 800 x 600 window.
void plainView()
{
    glfix::context();
    glfix::baselineState();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
}

float winX(float x) { return (x + 1.0f) * 400.0f; }
float winY(float y) { return (y + 1.0f) * 300.0f; }

struct Loaded {
    OBJ_Model_t m{};
    explicit Loaded(const std::string& text)
    {
        EXPECT_EQ(OBJ_LoadModelText(&m, text.data(), text.size()), 1);
    }
    ~Loaded() { OBJ_FreeModel(&m); }
};

// Two groups: "left" (older) holds one triangle at x < 0, "right" (newer)
// two at x > 0; default stays empty.
const char* TWO_GROUPS =
    "v -0.9 -0.5 0\nv -0.1 -0.5 0\nv -0.5 0.5 0\n"
    "v 0.1 -0.5 0\nv 0.9 -0.5 0\nv 0.5 0.5 0\nv 0.9 0.5 0\n"
    "vt 0.25 0.5\nvt 0.75 0.5\nvt 0.5 1\n"
    "g left\nf 1/1 2/2 3/3\ng right\nf 4/1 5/2 6/3 7/2\n";

}  // namespace

TEST(ObjDraw, NewestGroupFirstWithTheModelsTextureCoordinates)
{
    plainView();
    Loaded l(TWO_GROUPS);
    auto prims = capture([&] { OBJ_Draw(&l.m); });
    ASSERT_EQ(prims.size(), 3u);
    // right's triangles (4,5,6) and (4,6,7) come before left's (1,2,3).
    EXPECT_NEAR(prims[0].v[0].x, winX(0.1f), 0.01f);
    EXPECT_NEAR(prims[1].v[2].x, winX(0.9f), 0.01f);
    EXPECT_NEAR(prims[1].v[2].y, winY(0.5f), 0.01f);
    EXPECT_NEAR(prims[2].v[0].x, winX(-0.9f), 0.01f);
    // Texture coordinates follow the triangle's corners.
    const float s[3] = {0.25f, 0.75f, 0.5f}, t[3] = {0.5f, 0.5f, 1.0f};
    for (int j = 0; j < 3; j++) {
        EXPECT_FLOAT_EQ(prims[2].v[j].s, s[j]);
        EXPECT_FLOAT_EQ(prims[2].v[j].t, t[j]);
    }
    EXPECT_FLOAT_EQ(prims[1].v[2].s, 0.75f);   // corner 7 uses vt 2
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

TEST(ObjDraw, NormalsSentAreTheModelsAsLightingShowsThem)
{
    plainView();
    // One light along +z; a corner's lit grey is then its normal's z.
    const GLfloat dir[4] = {0, 0, 1, 0}, white[4] = {1, 1, 1, 1}, black[4] = {0, 0, 0, 1};
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glLightfv(GL_LIGHT0, GL_POSITION, dir);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_AMBIENT, black);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, black);
    // Area 1 facing +z and area 3 facing +x share corners 1 and 2, whose
    // normal is (3, 0, 1) / sqrt(10); corner 3 faces +z, corner 4 +x.
    Loaded l("v 0 0 0\nv 0 0.1 0\nv -0.2 0 0\nv 0 0 -0.6\nf 1 2 3\nf 1 4 2\n");
    auto prims = capture([&] { OBJ_Draw(&l.m); });
    glDisable(GL_LIGHTING);
    ASSERT_EQ(prims.size(), 2u);
    const float shared = 1.0f / std::sqrt(10.0f);
    EXPECT_NEAR(prims[0].v[0].r, shared, 0.01f);
    EXPECT_NEAR(prims[0].v[1].r, shared, 0.01f);
    EXPECT_NEAR(prims[0].v[2].r, 1.0f, 0.01f);
    EXPECT_NEAR(prims[1].v[1].r, 0.0f, 0.01f);
}

TEST(ObjDraw, UntexturedModelLeavesTheCurrentTextureCoordinate)
{
    plainView();
    Loaded l("v -0.5 -0.5 0\nv 0.5 -0.5 0\nv 0 0.5 0\nf 1 2 3\n");
    glTexCoord2f(0.125f, 0.875f);
    auto prims = capture([&] { OBJ_Draw(&l.m); });
    ASSERT_EQ(prims.size(), 1u);
    for (const FbVertex& v : prims[0].v) {
        EXPECT_FLOAT_EQ(v.s, 0.125f);
        EXPECT_FLOAT_EQ(v.t, 0.875f);
    }
}

TEST(ObjDraw, ZeroRecordDrawsNothing)
{
    plainView();
    OBJ_Model_t zero{};
    auto prims = capture([&] {
        OBJ_Draw(&zero);
        OBJ_DrawVectors(&zero);
    });
    EXPECT_TRUE(prims.empty());
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

TEST(ObjDrawVectors, RedNormalsGreenTangentsAndStateRestored)
{
    plainView();
    glMatrixMode(GL_PROJECTION);
    glOrtho(-10, 10, -10, 10, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_LIGHTING);
    glColor4f(0.2f, 0.4f, 0.6f, 1.0f);
    Loaded l("v 0 0 0\nv 2 0 0\nv 0 3 0\nvt 0 0\nvt 1 0\nvt 0 1\nf 1/1 2/2 3/3\n");
    auto prims = capture([&] { OBJ_DrawVectors(&l.m); });
    // Per corner: a red normal then a green tangent.
    ASSERT_EQ(prims.size(), 6u);
    for (int j = 0; j < 3; j++) {
        const FbPrimitive& n = prims[2 * j];
        const FbPrimitive& t = prims[2 * j + 1];
        ASSERT_TRUE(n.line && t.line);
        EXPECT_FLOAT_EQ(n.v[0].r, 1.0f);
        EXPECT_FLOAT_EQ(n.v[0].g, 0.0f);
        EXPECT_FLOAT_EQ(t.v[0].g, 1.0f);
        EXPECT_FLOAT_EQ(t.v[0].r, 0.0f);
        // Normal (0, 0, 1) x 4 runs along depth; tangent (1, 0, 0) x 4 is
        // 4 units = 160 pixels to the right.
        EXPECT_NEAR(n.v[1].x, n.v[0].x, 0.01f);
        EXPECT_NEAR(t.v[1].x - t.v[0].x, 160.0f, 0.01f);
        EXPECT_NEAR(n.v[0].z - n.v[1].z, 0.2f, 0.001f);
    }
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    GLfloat c[4];
    glGetFloatv(GL_CURRENT_COLOR, c);
    EXPECT_FLOAT_EQ(c[0], 0.2f);
    EXPECT_FLOAT_EQ(c[2], 0.6f);
    glDisable(GL_LIGHTING);
    glColor4f(1, 1, 1, 1);

    Loaded bare("v 0 0 0\nv 2 0 0\nv 0 3 0\nf 1 2 3\n");
    auto lines = capture([&] { OBJ_DrawVectors(&bare.m); });
    ASSERT_EQ(lines.size(), 3u);
    for (const FbPrimitive& p : lines)
        EXPECT_FLOAT_EQ(p.v[0].g, 0.0f) << "no green line without texture coordinates";
}
