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

void makeVertex(const float pos[4], const float normal[3], const float color[4],
                const float tex[4], Vertex* out)
{
    updateDerived();
    Vertex& v = *out;
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
    // As given: lighting takes colours outside 0..1 as they are, and the
    // shader clamps what comes out, as GL clamps vertex colours.
    std::memcpy(v.color, color, sizeof v.color);
    // Generated coordinates go through the texture matrix in the shader,
    // after generation; given ones go through it here.
    if (!ctx->texMatrixHere) {
        std::memcpy(v.tex, tex, sizeof v.tex);
    } else {
        const float* t = top(2).m;
        for (int i = 0; i < 4; i++)
            v.tex[i] = t[i] * tex[0] + t[4 + i] * tex[1] + t[8 + i] * tex[2] + t[12 + i] * tex[3];
    }
}

// Makes room for a primitive of `count` vertices at the batch's end (drawing
// what is there first when the kind of primitive changes or it is full) and
// gives the index of its first vertex.
static GLuint addVertices(GLenum batchMode, size_t count)
{
    if (ctx->batchMode != batchMode || ctx->batch.size() + count > BATCH_LIMIT)
        Flush();
    ctx->batchMode = batchMode;
    const GLuint base = (GLuint)ctx->batch.size();
    ctx->batch.resize(ctx->batch.size() + count);
    return base;
}

static GLenum batchModeOf(GLenum mode)
{
    switch (mode) {
    case GL_TRIANGLES: case GL_QUADS: case GL_QUAD_STRIP: case GL_TRIANGLE_STRIP:
    case GL_TRIANGLE_FAN:
        return GL_TRIANGLES;
    case GL_LINES: case GL_LINE_STRIP:
        return GL_LINES;
    default:
        return 0;   // points, loops and polygons: not used by the program
    }
}

// Indices of pieces of `corners` vertices each, piece k made of the vertices
// base + k * step + order[0..corners-1], for every piece whose vertices all
// lie below base + count (span: how far a piece reaches from its start).
static void addPieces(GLuint base, size_t count, size_t step, size_t span, const int* order,
                      size_t corners)
{
    for (size_t i = 0; i + span <= count; i += step)
        for (size_t k = 0; k < corners; k++)
            ctx->indices.push_back(base + (GLuint)(i + order[k]));
}

// Adds the indices of the triangles or lines Mesa makes of a primitive whose
// `count` vertices are in the batch from `base` on.
static void addIndices(GLenum mode, GLuint base, size_t count)
{
    static const int TRIANGLE[3] = {0, 1, 2};
    static const int LINE[2] = {0, 1};
    // Quad k of a strip is v[2k], v[2k+1], v[2k+3], v[2k+2] in the winding of a
    // quad; Mesa draws it as (v[2k+2], v[2k], v[2k+3]) and (v[2k], v[2k+1], v[2k+3]).
    static const int STRIP_QUAD[6] = {2, 0, 3, 0, 1, 3};
    // Triangle strips two triangles at a time, keeping the winding:
    // (0, 1, 2), (2, 1, 3).
    static const int STRIP_PAIR[6] = {0, 1, 2, 2, 1, 3};
    switch (mode) {
    case GL_TRIANGLES: addPieces(base, count, 3, 3, TRIANGLE, 3); break;
    case GL_QUADS: addPieces(base, count, 4, 4, QUAD_SPLIT, 6); break;
    case GL_QUAD_STRIP: addPieces(base, count, 2, 4, STRIP_QUAD, 6); break;
    case GL_TRIANGLE_STRIP:
        addPieces(base, count, 2, 4, STRIP_PAIR, 6);
        if (count % 2 == 1 && count >= 3)   // the last triangle has no partner
            addPieces(base + (GLuint)(count - 3), 3, 3, 3, TRIANGLE, 3);
        break;
    case GL_TRIANGLE_FAN:
        for (size_t i = 1; i + 1 < count; i++) {
            ctx->indices.push_back(base);
            ctx->indices.push_back(base + (GLuint)i);
            ctx->indices.push_back(base + (GLuint)i + 1);
        }
        break;
    case GL_LINES: addPieces(base, count, 2, 2, LINE, 2); break;
    case GL_LINE_STRIP: addPieces(base, count, 1, 2, LINE, 2); break;
    default: break;
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

// The vertices between glBegin and glEnd go straight into the batch (no
// state the shaders read can change in between); glEnd adds their indices,
// or takes them back for a kind of primitive it does not draw.
void Begin(GLenum mode)
{
    if (ctx->inBegin)
        return;
    ctx->inBegin = true;
    ctx->beginMode = mode;
    const GLenum batchMode = batchModeOf(mode);
    if (batchMode && (ctx->batchMode != batchMode || ctx->batch.size() > BATCH_LIMIT))
        Flush();
    if (batchMode)
        ctx->batchMode = batchMode;
    ctx->beginBase = (GLuint)ctx->batch.size();
}

void End()
{
    if (!ctx->inBegin)
        return;
    ctx->inBegin = false;
    const GLenum batchMode = batchModeOf(ctx->beginMode);
    if (!batchMode) {
        ctx->batch.resize(ctx->beginBase);
        return;
    }
    addIndices(ctx->beginMode, ctx->beginBase, ctx->batch.size() - ctx->beginBase);
}

static void vertex(float x, float y, float z)
{
    if (!ctx->inBegin)
        return;
    const float pos[4] = {x, y, z, 1};
    ctx->batch.emplace_back();
    makeVertex(pos, ctx->s.normal, ctx->s.color, ctx->s.texcoord, &ctx->batch.back());
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
    const GLenum batchMode = batchModeOf(mode);
    if (!ctx->c.vertex.enabled || count <= 0 || first < 0 || !batchMode || ctx->inBegin)
        return;
    static const float ORIGIN[4] = {0, 0, 0, 1};
    const GLuint base = addVertices(batchMode, (size_t)count);
    for (GLsizei i = 0; i < count; i++) {
        float pos[4], normal[3], color[4], tex[4];
        fetch(ctx->c.vertex, first + i, ORIGIN, 4, pos);
        fetch(ctx->c.normal, first + i, ctx->s.normal, 3, normal);
        fetch(ctx->c.color, first + i, ctx->s.color, 4, color);
        fetch(ctx->c.texcoord, first + i, ctx->s.texcoord, 4, tex);
        makeVertex(pos, normal, color, tex, &ctx->batch[base + i]);
    }
    addIndices(mode, base, (size_t)count);
}

}  // namespace gl11es
