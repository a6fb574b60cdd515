// Shared pieces of the intro, C64, cube flash and rotozoomer scene tests:
// the scene's entry state, small textures of known colours put into the
// show's texture slots, the hand-over checks every scene frame must pass, a
// GL_FEEDBACK capture, and the show's perspective worked out by hand.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <initializer_list>
#include <vector>

#include "demo/demo.h"
#include "glfixture.h"

namespace scenes1 {

using RGBA = std::array<int, 4>;

// A texture of w x h texels, row 0 first (row 0 is texture v = 0), RGBA
// bytes, repeating and point-sampled like the show's.
inline GLuint makeTexture(int w, int h, const std::vector<RGBA>& texels)
{
    std::vector<unsigned char> bytes;
    for (const RGBA& c : texels)
        for (int k = 0; k < 4; k++)
            bytes.push_back((unsigned char)c[k]);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return name;
}

inline GLuint solidTexture(RGBA c) { return makeTexture(1, 1, {c}); }

// The state a scene meets after the first frame of the show: start-up state
// with texturing off, clear colour black, the beat table filled, the shared
// quadric and the random table there, no beat pending.
inline void sceneState()
{
    glfix::context();
    glfix::baselineState();
    glDisable(GL_TEXTURE_2D);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    if (!q) {
        q = gluNewQuadric();
        gluQuadricNormals(q, GLU_SMOOTH);
        gluQuadricTexture(q, GL_TRUE);
        genrandtab();
    }
    calcbpm(63.35f);
    for (GLuint& t : texture)
        t = 0;
    // Captions see-through, so that they hide nothing a test looks at; a
    // test of the captions puts its own pictures in these slots.
    GLuint seeThrough = makeTexture(1, 1, {RGBA{255, 255, 255, 0}});
    for (int slot : {0, 4, 7, 16, 18})
        texture[slot] = seeThrough;
    flashbpm = flashbpm2 = syncbpm = 1;
    while (glGetError() != GL_NO_ERROR) {
    }
}


inline void expectColour(RGBA got, RGBA want, int tolerance, const char* where)
{
    for (int k = 0; k < 3; k++)
        EXPECT_NEAR(got[k], want[k], tolerance)
            << where << ": channel " << k << " of (" << got[0] << ", " << got[1] << ", " << got[2]
            << ") against (" << want[0] << ", " << want[1] << ", " << want[2] << ")";
}

// What every scene leaves for the next drawing, and an identity texture matrix.
inline void expectHandOver(const char* scene)
{
    glfix::expectHandOver(scene);
    GLfloat m[16];
    glGetFloatv(GL_TEXTURE_MATRIX, m);
    for (int k = 0; k < 16; k++)
        EXPECT_EQ(m[k], (k % 5 == 0) ? 1.0f : 0.0f) << scene << ": texture matrix entry " << k;
}

inline void expectCurrentColour(float r, float g, float b, float a, const char* scene)
{
    GLfloat c[4];
    glGetFloatv(GL_CURRENT_COLOR, c);
    EXPECT_NEAR(c[0], r, 1e-3) << scene;
    EXPECT_NEAR(c[1], g, 1e-3) << scene;
    EXPECT_NEAR(c[2], b, 1e-3) << scene;
    EXPECT_NEAR(c[3], a, 1e-3) << scene;
}

inline std::array<float, 4> clearColour()
{
    std::array<float, 4> c{};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, c.data());
    return c;
}

// One vertex of GL_3D_COLOR feedback: window x, y (y up), depth, RGBA.
struct FbVertex {
    float x, y, z, r, g, b, a;
};
using FbPolygon = std::vector<FbVertex>;

// Runs `draw` in feedback mode and returns the polygons GL produced, in order.
template <class Draw>
std::vector<FbPolygon> feedback(Draw draw)
{
    static std::vector<GLfloat> buf(1 << 22);
    glFeedbackBuffer((GLsizei)buf.size(), GL_3D_COLOR, buf.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    GLint n = glRenderMode(GL_RENDER);
    EXPECT_GE(n, 0) << "feedback buffer overflowed";
    std::vector<FbPolygon> polys;
    auto vertexAt = [&](GLint i) {
        return FbVertex{buf[i], buf[i + 1], buf[i + 2], buf[i + 3], buf[i + 4], buf[i + 5], buf[i + 6]};
    };
    for (GLint i = 0; i < n;) {
        GLint token = (GLint)buf[i++];
        if (token == GL_POLYGON_TOKEN) {
            int count = (int)buf[i++];
            FbPolygon p;
            for (int k = 0; k < count; k++, i += 7)
                p.push_back(vertexAt(i));
            polys.push_back(p);
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            i += 14;
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            i += 1;
        } else {   // point, bitmap, pixel tokens: one vertex
            i += 7;
        }
    }
    return polys;
}

// A point in eye space seen through the show's 45-degree perspective at
// 800 x 600, as a canvas point (origin top-left, y down).
struct CanvasPoint {
    double x, y;
};
inline CanvasPoint project(double ex, double ey, double ez)
{
    double f = 1 / std::tan(22.5 * M_PI / 180);
    double nx = ex * f / (800.0 / 600) / -ez;
    double ny = ey * f / -ez;
    return {(nx + 1) / 2 * 800, (1 - ny) / 2 * 600};
}

// v rotated by `deg` degrees about the axis (ax, ay, az), right-handed as GL
// turns it (Rodrigues' formula).
inline std::array<double, 3> rotate(std::array<double, 3> v, double deg, double ax, double ay,
                                    double az)
{
    double len = std::sqrt(ax * ax + ay * ay + az * az);
    ax /= len, ay /= len, az /= len;
    double c = std::cos(deg * M_PI / 180), s = std::sin(deg * M_PI / 180);
    double d = ax * v[0] + ay * v[1] + az * v[2];
    std::array<double, 3> cr = {ay * v[2] - az * v[1], az * v[0] - ax * v[2], ax * v[1] - ay * v[0]};
    return {v[0] * c + cr[0] * s + ax * d * (1 - c), v[1] * c + cr[1] * s + ay * d * (1 - c),
            v[2] * c + cr[2] * s + az * d * (1 - c)};
}

}  // namespace scenes1
