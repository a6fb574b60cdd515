// The shader path's own state: what fixed-function GL 1.1 keeps that OpenGL ES
// 3 does not (matrices, lighting, texture generation, fog, current vertex
// values, client arrays), and the batch of vertices not yet drawn. Shared by
// the gl11/es_*.cpp files; one context at a time.
#pragma once

#include <GLES3/gl3.h>

#include "gl11/es.h"
#include "gl11/gl11_enums.h"

#include <cstddef>
#include <map>
#include <vector>

namespace gl11es {

// A 4 x 4 matrix, column-major as GL keeps it: m[col * 4 + row].
struct Mat4 {
    float m[16];
};
extern const Mat4 IDENTITY;
// a * b, summed in the order Mesa's matmul4 sums (row by column, left to right).
Mat4 multiply(const Mat4& a, const Mat4& b);

// One vertex as the shaders take it, everything the fixed-function vertex
// stage needs that does not depend on batch-wide state. Positions are
// transformed on the CPU so that a batch survives model-view and projection
// changes (the scenes change them between every few vertices).
struct Vertex {
    float clip[4];     // projection * model-view * object position
    float eye[3];      // model-view * object position (sphere map, fog)
    float normal[3];   // the eye-space normal (inverse transpose of the model-view)
    float color[4];    // current colour (clamped to 0..1 in the shader)
    float tex[4];      // texture coordinate, after the texture matrix unless generated
};

// Client-side state saved by glPushClientAttrib.
struct ClientArray {
    bool enabled = false;
    GLint size = 4;
    GLenum type = GL_FLOAT;
    GLsizei stride = 0;
    const void* pointer = nullptr;
};
struct ClientState {
    ClientArray vertex, normal, texcoord, color;
    GLint unpackAlignment = 4, unpackRowLength = 0, unpackSkipRows = 0, unpackSkipPixels = 0;
    GLint packAlignment = 4;
};

// Server-side state saved by glPushAttrib (everything but the matrices).
struct ServerState {
    std::map<GLenum, bool> enabled;   // every capability glEnable has touched
    float color[4] = {1, 1, 1, 1};
    float normal[3] = {0, 0, 1};
    float texcoord[4] = {0, 0, 0, 1};
    float matAmbient[4] = {0.2f, 0.2f, 0.2f, 1};
    float matDiffuse[4] = {0.8f, 0.8f, 0.8f, 1};
    GLenum blendSrc = GL_ONE, blendDst = GL_ZERO;
    GLenum depthFunc = GL_LESS;
    bool depthMask = true;
    float clearColor[4] = {0, 0, 0, 0};
    double clearDepth = 1;
    GLint clearStencil = 0;
    GLint viewport[4] = {0, 0, 0, 0};
    GLint scissor[4] = {0, 0, 0, 0};
    GLenum fogMode = GL_EXP;
    float fogColor[4] = {0, 0, 0, 0};
    float fogStart = 0, fogEnd = 1, fogDensity = 1;
    GLenum texGenMode[2] = {GL_EYE_LINEAR, GL_EYE_LINEAR};   // s, t
    GLenum shadeModel = GL_SMOOTH;
    GLenum matrixMode = GL_MODELVIEW;
    GLuint texture = 0;   // bound to GL_TEXTURE_2D
};

// What glTexImage2D and glCopyTexImage2D made of a texture name (ES 3.0 cannot
// be asked).
struct TextureInfo {
    GLint width[16] = {};
    GLint height[16] = {};
    unsigned levels = 0;    // bit n: level n defined
    GLint minFilter = GL_NEAREST_MIPMAP_LINEAR;
};

struct Context {
    ServerState s;
    ClientState c;
    std::vector<ServerState> attribStack;
    std::vector<ClientState> clientAttribStack;
    std::vector<Mat4> stacks[3];   // model-view, projection, texture; back() is current
    std::map<GLuint, TextureInfo> textures;

    // Derived from the model-view and projection, remade when they change.
    bool derivedValid = false;
    Mat4 mvp;
    float normalMatrix[9];   // column-major 3 x 3: the inverse transpose of the model-view's
    bool texMatrixHere;      // given texture coordinates go through the texture matrix on the CPU

    // Inside glBegin/glEnd: the primitive, whose vertices so far are the
    // batch's from beginBase on.
    bool inBegin = false;
    GLenum beginMode = 0;
    GLuint beginBase = 0;

    // Gathered triangles or lines, drawn by Flush: each vertex once, and the
    // indices of the triangles' or lines' corners.
    std::vector<Vertex> batch;
    std::vector<GLuint> indices;
    GLenum batchMode = GL_TRIANGLES;   // or GL_LINES

    // GL objects.
    GLuint program = 0, vao = 0, vbo = 0, ibo = 0;
};
extern Context* ctx;

bool enabled(GLenum cap);
Mat4& top(int stack);
// The matrix stack glMatrixMode selects: 0 model-view, 1 projection, 2 texture.
int currentStack();
// The current matrix times m (16 doubles, column-major), each element rounded
// to float first as glMultMatrixd does.
void multMatrixd(const double* m);
// Brings the derived matrices up to date (they go out of date with any
// matrix and with texture generation).
void updateDerived();
// The vertex at object position (x, y, z, w) with this normal, colour and
// texture coordinate, as the shaders take it.
void makeVertex(const float pos[4], const float normal[3], const float color[4],
                const float tex[4], Vertex* out);
// True when the bound texture is complete, so GL_TEXTURE_2D applies.
bool textureComplete();

// The shader program and its uniforms (es_shader.cpp).
bool makeProgram(const char** why);
void drawBatch();

}  // namespace gl11es
