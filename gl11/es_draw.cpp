// The shader path's vertices: current values, glBegin/glEnd, client arrays,
// and how primitives become the batch's triangles and lines.
//
// Each vertex is transformed on the CPU when it is given (clip and eye
// position, eye-space normal, texture coordinate through the texture matrix),
// so the batch goes on across model-view and projection changes and is drawn
// only when state the shaders read changes (gl11/es_shader.cpp).
#include "gl11/es_internal.h"

#include <cstring>

namespace gl11es {

// Mesa splits a quad v0 v1 v2 v3 into (v0, v1, v2) and (v0, v2, v3): the
// diagonal runs from v0 to v2 (seen in colour interpolation across a quad
// whose corners differ).
static const int QUAD_SPLIT[6] = {0, 1, 2, 0, 2, 3};

// More than this many gathered vertices are drawn at once.
static const size_t BATCH_LIMIT = 1 << 18;

Vertex makeVertex(const float pos[4], const float normal[3], const float color[4],
                  const float tex[4])
{
    updateDerived();
    Vertex v;
    const float* a = ctx->mvp.m;
    const float* mv = top(0).m;
    const float x = pos[0], y = pos[1], z = pos[2], w = pos[3];
    for (int i = 0; i < 4; i++)
        v.clip[i] = a[i] * x + a[4 + i] * y + a[8 + i] * z + a[12 + i] * w;
    for (int i = 0; i < 3; i++)
        v.eye[i] = mv[i] * x + mv[4 + i] * y + mv[8 + i] * z + mv[12 + i] * w;
    const float* n = ctx->normalMatrix;
    for (int i = 0; i < 3; i++)
        v.normal[i] = normal[0] * n[i] + normal[1] * n[3 + i] + normal[2] * n[6 + i];
    for (int i = 0; i < 4; i++)
        v.color[i] = color[i] < 0 ? 0 : color[i] > 1 ? 1 : color[i];
    // Generated coordinates go through the texture matrix in the shader,
    // after generation; given ones go through it here.
    const bool generated = enabled(GL_TEXTURE_GEN_S) || enabled(GL_TEXTURE_GEN_T);
    const Mat4& t = top(2);
    if (generated || std::memcmp(&t, &IDENTITY, sizeof t) == 0) {
        std::memcpy(v.tex, tex, sizeof v.tex);
    } else {
        for (int i = 0; i < 4; i++)
            v.tex[i] = t.m[i] * tex[0] + t.m[4 + i] * tex[1] + t.m[8 + i] * tex[2] +
                       t.m[12 + i] * tex[3];
    }
    return v;
}

static void append(GLenum batchMode, const Vertex* v, const int* order, size_t count)
{
    if (ctx->batchMode != batchMode || ctx->batch.size() + count > BATCH_LIMIT)
        Flush();
    ctx->batchMode = batchMode;
    for (size_t i = 0; i < count; i++)
        ctx->batch.push_back(v[order[i]]);
}

void emitPrimitive(GLenum mode, const Vertex* v, size_t count)
{
    static const int TRIANGLE[3] = {0, 1, 2};
    static const int LINE[2] = {0, 1};
    switch (mode) {
    case GL_TRIANGLES:
        for (size_t i = 0; i + 3 <= count; i += 3)
            append(GL_TRIANGLES, v + i, TRIANGLE, 3);
        break;
    case GL_QUADS:
        for (size_t i = 0; i + 4 <= count; i += 4)
            append(GL_TRIANGLES, v + i, QUAD_SPLIT, 6);
        break;
    case GL_QUAD_STRIP:
        // Quad k is v[2k], v[2k+1], v[2k+3], v[2k+2] in the winding of a quad;
        // Mesa draws it as (v[2k+2], v[2k], v[2k+3]) and (v[2k], v[2k+1], v[2k+3]).
        for (size_t i = 0; i + 4 <= count; i += 2) {
            static const int STRIP_QUAD[6] = {2, 0, 3, 0, 1, 3};
            append(GL_TRIANGLES, v + i, STRIP_QUAD, 6);
        }
        break;
    case GL_TRIANGLE_STRIP:
        for (size_t i = 0; i + 3 <= count; i++) {
            static const int EVEN[3] = {0, 1, 2}, ODD[3] = {1, 0, 2};
            append(GL_TRIANGLES, v + i, (i & 1) ? ODD : EVEN, 3);
        }
        break;
    case GL_TRIANGLE_FAN:
        for (size_t i = 1; i + 2 <= count; i++) {
            const Vertex tri[3] = {v[0], v[i], v[i + 1]};
            append(GL_TRIANGLES, tri, TRIANGLE, 3);
        }
        break;
    case GL_LINES:
        for (size_t i = 0; i + 2 <= count; i += 2)
            append(GL_LINES, v + i, LINE, 2);
        break;
    case GL_LINE_STRIP:
        for (size_t i = 0; i + 2 <= count; i++)
            append(GL_LINES, v + i, LINE, 2);
        break;
    default:
        break;   // points, loops and polygons: not used by the program
    }
}

// ---------------------------------------------------------------------------
// Current values

static void setColor(float r, float g, float b, float a)
{
    float* c = ctx->s.color;
    c[0] = r, c[1] = g, c[2] = b, c[3] = a;
    if (enabled(GL_COLOR_MATERIAL)) {
        std::memcpy(ctx->s.matAmbient, c, 4 * sizeof(float));
        std::memcpy(ctx->s.matDiffuse, c, 4 * sizeof(float));
    }
}

void Color3f(GLfloat r, GLfloat g, GLfloat b) { setColor(r, g, b, 1); }
void Color4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { setColor(r, g, b, a); }
void Color4fv(const GLfloat* v) { setColor(v[0], v[1], v[2], v[3]); }
void Color3ub(GLubyte r, GLubyte g, GLubyte b)
{
    setColor(r / 255.0f, g / 255.0f, b / 255.0f, 1);
}

void Normal3f(GLfloat x, GLfloat y, GLfloat z)
{
    float* n = ctx->s.normal;
    n[0] = x, n[1] = y, n[2] = z;
}
void Normal3fv(const GLfloat* v) { Normal3f(v[0], v[1], v[2]); }

void TexCoord2f(GLfloat s, GLfloat t)
{
    float* c = ctx->s.texcoord;
    c[0] = s, c[1] = t, c[2] = 0, c[3] = 1;
}
void TexCoord2fv(const GLfloat* v) { TexCoord2f(v[0], v[1]); }
void TexCoord2s(GLshort s, GLshort t) { TexCoord2f(s, t); }

// ---------------------------------------------------------------------------
// glBegin / glEnd

void Begin(GLenum mode)
{
    ctx->inBegin = true;
    ctx->beginMode = mode;
    ctx->primitive.clear();
}

void End()
{
    if (!ctx->inBegin)
        return;
    ctx->inBegin = false;
    emitPrimitive(ctx->beginMode, ctx->primitive.data(), ctx->primitive.size());
    ctx->primitive.clear();
}

static void vertex(float x, float y, float z)
{
    if (!ctx->inBegin)
        return;
    const float pos[4] = {x, y, z, 1};
    ctx->primitive.push_back(makeVertex(pos, ctx->s.normal, ctx->s.color, ctx->s.texcoord));
}

void Vertex2f(GLfloat x, GLfloat y) { vertex(x, y, 0); }
void Vertex3f(GLfloat x, GLfloat y, GLfloat z) { vertex(x, y, z); }

// ---------------------------------------------------------------------------
// Client arrays (GL_FLOAT only: all the program hands GL)

static void setArray(ClientArray* a, GLint size, GLenum type, GLsizei stride, const void* p)
{
    a->size = size, a->type = type, a->stride = stride, a->pointer = p;
}

void VertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer)
{
    setArray(&ctx->c.vertex, size, type, stride, pointer);
}
void TexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer)
{
    setArray(&ctx->c.texcoord, size, type, stride, pointer);
}
void NormalPointer(GLenum type, GLsizei stride, const GLvoid* pointer)
{
    setArray(&ctx->c.normal, 3, type, stride, pointer);
}

// Element i of an array as floats into out (missing components from def).
static bool fetch(const ClientArray& a, GLint i, const float* def, int n, float* out)
{
    std::memcpy(out, def, n * sizeof(float));
    if (!a.enabled || !a.pointer || a.type != GL_FLOAT)
        return false;
    const GLsizei stride = a.stride ? a.stride : a.size * (GLsizei)sizeof(float);
    const float* e = (const float*)((const char*)a.pointer + (size_t)i * stride);
    for (int k = 0; k < a.size && k < n; k++)
        out[k] = e[k];
    return true;
}

void DrawArrays(GLenum mode, GLint first, GLsizei count)
{
    if (!ctx->c.vertex.enabled || count <= 0)
        return;
    static const float ORIGIN[4] = {0, 0, 0, 1};
    std::vector<Vertex> v;
    v.reserve((size_t)count);
    for (GLint i = first; i < first + count; i++) {
        float pos[4], normal[3], color[4], tex[4];
        fetch(ctx->c.vertex, i, ORIGIN, 4, pos);
        fetch(ctx->c.normal, i, ctx->s.normal, 3, normal);
        fetch(ctx->c.color, i, ctx->s.color, 4, color);
        fetch(ctx->c.texcoord, i, ctx->s.texcoord, 4, tex);
        v.push_back(makeVertex(pos, normal, color, tex));
    }
    emitPrimitive(mode, v.data(), v.size());
}

}  // namespace gl11es
