// Shared helpers for the GL tests of the second-half scenes: made-up
// textures in the show's slots, a hand-built mesh, geometry captured with
// GL_FEEDBACK, and the GL state every scene hands over.
#pragma once

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <array>
#include <cmath>
#include <functional>
#include <vector>

#include "demo/demo.h"
#include "glfixture.h"

namespace s2 {

// The show's start-up state, including the sphere-map generation mode that
// the mesh scenes switch on and off.
inline void sceneSetup(int width = 800, int height = 600)
{
    glfix::context(width, height);
    glfix::baselineState();
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDepthMask(GL_TRUE);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    if (!q) {   // the shared quadric as start-up makes it
        q = gluNewQuadric();
        gluQuadricNormals(q, GLU_SMOOTH);
        gluQuadricTexture(q, GL_TRUE);
    }
    while (glGetError() != GL_NO_ERROR) {
    }
}

// A texture of w x h RGBA texels (bytes, first row first), point-sampled and
// repeating like every texture of the show.
inline GLuint makeTexture(int w, int h, const std::vector<unsigned char>& rgba)
{
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return name;
}

inline GLuint solidTexture(int r, int g, int b, int a = 255)
{
    return makeTexture(1, 1, {(unsigned char)r, (unsigned char)g, (unsigned char)b,
                              (unsigned char)a});
}

// One captured vertex: window x, y, z; colour; texture coordinate (s, t).
struct FbVertex {
    float x, y, z;
    float r, g, b, a;
    float s, t;
};
using FbPolygon = std::vector<FbVertex>;

// Runs `draw` in feedback mode and returns the polygons GL produced (after
// clipping), with colours and final texture coordinates (after generation
// and the texture matrix).
inline std::vector<FbPolygon> capture(const std::function<void()>& draw,
                                      size_t capacity = 2u << 20)
{
    std::vector<GLfloat> buf(capacity);
    glFeedbackBuffer((GLsizei)buf.size(), GL_3D_COLOR_TEXTURE, buf.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    GLint n = glRenderMode(GL_RENDER);
    EXPECT_GE(n, 0) << "feedback buffer too small";
    std::vector<FbPolygon> out;
    auto vertexAt = [&](GLint i) {
        const GLfloat* v = &buf[i];
        return FbVertex{v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]};
    };
    const GLint STRIDE = 3 + 4 + 4;
    for (GLint i = 0; i < n;) {
        GLint token = (GLint)buf[i++];
        if (token == GL_POLYGON_TOKEN) {
            GLint count = (GLint)buf[i++];
            FbPolygon p;
            for (GLint k = 0; k < count; k++, i += STRIDE)
                p.push_back(vertexAt(i));
            out.push_back(p);
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            i += 2 * STRIDE;
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            i += 1;
        } else {   // point, bitmap, pixel tokens: one vertex
            i += STRIDE;
        }
    }
    return out;
}

// A flat square of half-side h in the plane z = 0 facing +z, two triangles,
// normals (0, 0, 1), no texture coordinates: enough mesh to see where a scene
// puts its model and how it textures it.
struct HandModel {
    VECTOR3 vertices[5];
    VECTOR3 normals[5];
    OBJ_Triangle_t triangles[2];
    int indices[2] = {0, 1};
    char name[8] = "default";
    OBJ_Group_t group;
    OBJ_Model_t model;
};

inline void buildSquare(HandModel& m, float h)
{
    m.vertices[0] = {0, 0, 0};
    m.vertices[1] = {-h, -h, 0};
    m.vertices[2] = {h, -h, 0};
    m.vertices[3] = {h, h, 0};
    m.vertices[4] = {-h, h, 0};
    for (auto& n : m.normals)
        n = {0, 0, 1};
    m.triangles[0] = {{1, 2, 3}, {0, 0, 0}};
    m.triangles[1] = {{1, 3, 4}, {0, 0, 0}};
    m.group = {m.name, 2, m.indices, nullptr};
    m.model = {};
    m.model.numVertices = 4;
    m.model.vertices = m.vertices;
    m.model.normals = m.normals;
    m.model.numTriangles = 2;
    m.model.triangles = m.triangles;
    m.model.numGroups = 1;
    m.model.groups = &m.group;
}

inline std::array<float, 16> modelview()
{
    std::array<float, 16> m;
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

inline std::array<float, 4> clearColour()
{
    std::array<float, 4> c;
    glGetFloatv(GL_COLOR_CLEAR_VALUE, c.data());
    return c;
}

inline std::array<float, 4> currentColour()
{
    std::array<float, 4> c;
    glGetFloatv(GL_CURRENT_COLOR, c.data());
    return c;
}

// What every scene hands over: no error, stacks at their base, the
// model-view matrix selected, blending off, no texture generation, depth
// writes and the depth test on.
inline void expectHandOver(const char* where)
{
    glfix::expectHandOver(where);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S)) << where;
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T)) << where;
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST)) << where;
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_TRUE(mask) << where;
}

// Runs one timeline frame at `ms` of music.
inline void frameAt(int ms) { glfix::frameAt(ms); }

// Sets the beat state as a continuous run has it at `seconds`: the counter
// past every beat up to then, the latest one in trig.
inline void beatsUpTo(float seconds)
{
    calcbpm(63.35f);
    temp = 0;
    while (temp < 1024 && bpmtable[temp] <= seconds)
        temp++;
    trig[0] = temp ? bpmtable[temp - 1] * 1000 : 0;
}

// The first whole millisecond at or after beat i.
inline int beatMs(int i)
{
    calcbpm(63.35f);
    int ms = (int)std::floor(bpmtable[i] * 1000);
    while ((float)ms / 1000 < bpmtable[i])
        ms++;
    return ms;
}

}  // namespace s2
