// The shader path's fixed-function state: start and stop, capabilities, the
// three matrix stacks (with Mesa's arithmetic, so matrices come out as GL 1.1
// on Mesa makes them), the attribute stacks, queries, and the state OpenGL ES
// keeps itself (blending, depth, scissor, viewport, clearing), which is set
// there at once after drawing what was gathered under the old state.
#include "gl11/es_internal.h"

#include <cmath>
#include <cstring>

namespace gl11es {

const Mat4 IDENTITY = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
Context* ctx = nullptr;

// Mesa's stack depths: 32 model-view, 32 projection, 10 texture matrices.
static const size_t STACK_DEPTH[3] = {32, 32, 10};

Mat4 multiply(const Mat4& a, const Mat4& b)
{
    Mat4 p;
    for (int i = 0; i < 4; i++) {
        const float ai0 = a.m[i], ai1 = a.m[4 + i], ai2 = a.m[8 + i], ai3 = a.m[12 + i];
        for (int j = 0; j < 4; j++)
            p.m[j * 4 + i] = ai0 * b.m[j * 4] + ai1 * b.m[j * 4 + 1] + ai2 * b.m[j * 4 + 2] +
                             ai3 * b.m[j * 4 + 3];
    }
    return p;
}

bool enabled(GLenum cap)
{
    auto it = ctx->s.enabled.find(cap);
    return it != ctx->s.enabled.end() && it->second;
}

int currentStack()
{
    switch (ctx->s.matrixMode) {
    case GL_PROJECTION: return 1;
    case GL_TEXTURE: return 2;
    default: return 0;
    }
}

Mat4& top(int stack) { return ctx->stacks[stack].back(); }

void updateDerived()
{
    if (ctx->derivedValid)
        return;
    const Mat4& mv = top(0);
    ctx->mvp = multiply(top(1), mv);
    // The upper 3 x 3's inverse by cofactors, as Mesa inverts a 3D matrix;
    // normals go through its transpose.
    auto M = [&](int r, int c) { return mv.m[c * 4 + r]; };
    float pos = 0, neg = 0, t;
    t = M(0, 0) * M(1, 1) * M(2, 2);
    (t >= 0 ? pos : neg) += t;
    t = M(1, 0) * M(2, 1) * M(0, 2);
    (t >= 0 ? pos : neg) += t;
    t = M(2, 0) * M(0, 1) * M(1, 2);
    (t >= 0 ? pos : neg) += t;
    t = -M(2, 0) * M(1, 1) * M(0, 2);
    (t >= 0 ? pos : neg) += t;
    t = -M(1, 0) * M(0, 1) * M(2, 2);
    (t >= 0 ? pos : neg) += t;
    t = -M(0, 0) * M(2, 1) * M(1, 2);
    (t >= 0 ? pos : neg) += t;
    float det = pos + neg;
    float inv[3][3];   // inv[row][col]
    if (std::fabs(det) < 1e-25f) {
        std::memset(inv, 0, sizeof inv);
    } else {
        det = 1.0f / det;
        inv[0][0] = (M(1, 1) * M(2, 2) - M(2, 1) * M(1, 2)) * det;
        inv[0][1] = -(M(0, 1) * M(2, 2) - M(2, 1) * M(0, 2)) * det;
        inv[0][2] = (M(0, 1) * M(1, 2) - M(1, 1) * M(0, 2)) * det;
        inv[1][0] = -(M(1, 0) * M(2, 2) - M(2, 0) * M(1, 2)) * det;
        inv[1][1] = (M(0, 0) * M(2, 2) - M(2, 0) * M(0, 2)) * det;
        inv[1][2] = -(M(0, 0) * M(1, 2) - M(1, 0) * M(0, 2)) * det;
        inv[2][0] = (M(1, 0) * M(2, 1) - M(2, 0) * M(1, 1)) * det;
        inv[2][1] = -(M(0, 0) * M(2, 1) - M(2, 0) * M(0, 1)) * det;
        inv[2][2] = (M(0, 0) * M(1, 1) - M(1, 0) * M(0, 1)) * det;
    }
    // n_eye[i] = sum over j of n[j] * inv[j][i]: column-major normalMatrix
    // with element (i, j) = inv[j][i].
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++)
            ctx->normalMatrix[j * 3 + i] = inv[j][i];
    // Coordinates given are transformed here unless they are generated (then
    // the shader does it, after generating them) or the matrix is the identity.
    const Mat4& texture = top(2);
    ctx->texMatrixHere = !(enabled(GL_TEXTURE_GEN_S) || enabled(GL_TEXTURE_GEN_T)) &&
                         std::memcmp(&texture, &IDENTITY, sizeof texture) != 0;
    ctx->derivedValid = true;
}

// ---------------------------------------------------------------------------
// Start and stop

static void applyServerState()
{
    const ServerState& s = ctx->s;
    auto es = [](GLenum cap, bool on) { on ? glEnable(cap) : glDisable(cap); };
    es(GL_BLEND, enabled(GL_BLEND));
    es(GL_DEPTH_TEST, enabled(GL_DEPTH_TEST));
    es(GL_SCISSOR_TEST, enabled(GL_SCISSOR_TEST));
    es(GL_CULL_FACE, enabled(GL_CULL_FACE));
    glBlendFunc(s.blendSrc, s.blendDst);
    glDepthFunc(s.depthFunc);
    glDepthMask(s.depthMask ? GL_TRUE : GL_FALSE);
    glClearColor(s.clearColor[0], s.clearColor[1], s.clearColor[2], s.clearColor[3]);
    glClearDepthf((float)s.clearDepth);
    glClearStencil(s.clearStencil);
    glViewport(s.viewport[0], s.viewport[1], s.viewport[2], s.viewport[3]);
    glScissor(s.scissor[0], s.scissor[1], s.scissor[2], s.scissor[3]);
    glBindTexture(GL_TEXTURE_2D, s.texture);
}

static void applyUnpackState()
{
    glPixelStorei(GL_UNPACK_ALIGNMENT, ctx->c.unpackAlignment);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, ctx->c.unpackRowLength);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, ctx->c.unpackSkipRows);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, ctx->c.unpackSkipPixels);
}

bool Start(const char** why)
{
    Stop();
    ctx = new Context;
    for (auto& stack : ctx->stacks)
        stack.assign(1, IDENTITY);
    // GL's initial viewport and scissor box: the drawable's size, which the
    // ES context reports the same way.
    glGetIntegerv(GL_VIEWPORT, ctx->s.viewport);
    glGetIntegerv(GL_SCISSOR_BOX, ctx->s.scissor);
    ctx->s.enabled[GL_DITHER] = true;
    if (!makeProgram(why)) {
        Stop();
        return false;
    }
    applyServerState();
    applyUnpackState();
    return true;
}

void Stop()
{
    if (!ctx)
        return;
    if (ctx->program)
        glDeleteProgram(ctx->program);
    if (ctx->vbo)
        glDeleteBuffers(1, &ctx->vbo);
    if (ctx->ibo)
        glDeleteBuffers(1, &ctx->ibo);
    if (ctx->vao)
        glDeleteVertexArrays(1, &ctx->vao);
    delete ctx;
    ctx = nullptr;
}

void Flush()
{
    // Between glBegin and glEnd only vertex values may change (GL refuses
    // the rest), so a primitive is never cut in two.
    if (ctx && !ctx->inBegin && !ctx->batch.empty())
        drawBatch();
}

void Finish()
{
    Flush();
    glFinish();
}

// ---------------------------------------------------------------------------
// Capabilities

static bool esCapability(GLenum cap)
{
    return cap == GL_BLEND || cap == GL_DEPTH_TEST || cap == GL_SCISSOR_TEST ||
           cap == GL_CULL_FACE || cap == GL_DITHER;
}

static void setCapability(GLenum cap, bool on)
{
    if (enabled(cap) == on) {
        ctx->s.enabled[cap] = on;
        return;
    }
    Flush();
    ctx->s.enabled[cap] = on;
    if (cap == GL_TEXTURE_GEN_S || cap == GL_TEXTURE_GEN_T)
        ctx->derivedValid = false;
    if (esCapability(cap))
        on ? glEnable(cap) : glDisable(cap);
    // Turning colour material on takes the current colour at once.
    if (cap == GL_COLOR_MATERIAL && on) {
        std::memcpy(ctx->s.matAmbient, ctx->s.color, sizeof ctx->s.color);
        std::memcpy(ctx->s.matDiffuse, ctx->s.color, sizeof ctx->s.color);
    }
}

void Enable(GLenum cap) { setCapability(cap, true); }
void Disable(GLenum cap) { setCapability(cap, false); }
GLboolean IsEnabled(GLenum cap) { return enabled(cap) ? GL_TRUE : GL_FALSE; }

void EnableClientState(GLenum array)
{
    switch (array) {
    case GL_VERTEX_ARRAY: ctx->c.vertex.enabled = true; break;
    case GL_NORMAL_ARRAY: ctx->c.normal.enabled = true; break;
    case GL_TEXTURE_COORD_ARRAY: ctx->c.texcoord.enabled = true; break;
    case GL_COLOR_ARRAY: ctx->c.color.enabled = true; break;
    default: break;
    }
}

void DisableClientState(GLenum array)
{
    switch (array) {
    case GL_VERTEX_ARRAY: ctx->c.vertex.enabled = false; break;
    case GL_NORMAL_ARRAY: ctx->c.normal.enabled = false; break;
    case GL_TEXTURE_COORD_ARRAY: ctx->c.texcoord.enabled = false; break;
    case GL_COLOR_ARRAY: ctx->c.color.enabled = false; break;
    default: break;
    }
}

// ---------------------------------------------------------------------------
// Matrices

// A change to the current matrix: the texture matrix is applied by the
// shader when coordinates are generated, so then what was gathered is drawn
// first; the others are applied per vertex on the CPU.
static Mat4& changing()
{
    int stack = currentStack();
    if (stack == 2 && (enabled(GL_TEXTURE_GEN_S) || enabled(GL_TEXTURE_GEN_T)))
        Flush();
    ctx->derivedValid = false;
    return top(stack);
}

void MatrixMode(GLenum mode)
{
    if (mode == GL_MODELVIEW || mode == GL_PROJECTION || mode == GL_TEXTURE)
        ctx->s.matrixMode = mode;
}

void LoadIdentity() { changing() = IDENTITY; }

void PushMatrix()
{
    int stack = currentStack();
    if (ctx->stacks[stack].size() < STACK_DEPTH[stack])
        ctx->stacks[stack].push_back(top(stack));
}

void PopMatrix()
{
    int stack = currentStack();
    if (ctx->stacks[stack].size() > 1) {
        changing();
        ctx->stacks[stack].pop_back();
    }
}

static void multiplyCurrent(const Mat4& m)
{
    Mat4& t = changing();
    t = multiply(t, m);
}

void Translatef(GLfloat x, GLfloat y, GLfloat z)
{
    float* m = changing().m;
    m[12] = m[0] * x + m[4] * y + m[8] * z + m[12];
    m[13] = m[1] * x + m[5] * y + m[9] * z + m[13];
    m[14] = m[2] * x + m[6] * y + m[10] * z + m[14];
    m[15] = m[3] * x + m[7] * y + m[11] * z + m[15];
}

void Scalef(GLfloat x, GLfloat y, GLfloat z)
{
    float* m = changing().m;
    m[0] *= x, m[4] *= y, m[8] *= z;
    m[1] *= x, m[5] *= y, m[9] *= z;
    m[2] *= x, m[6] *= y, m[10] *= z;
    m[3] *= x, m[7] *= y, m[11] *= z;
}

void Rotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    if (angle == 0.0f)
        return;
    const float s = std::sin((float)(angle * M_PI / 180.0));
    const float c = std::cos((float)(angle * M_PI / 180.0));
    Mat4 r = IDENTITY;
    auto M = [&](int row, int col) -> float& { return r.m[col * 4 + row]; };
    // Rotations about one axis are built exactly, as Mesa does.
    bool optimized = false;
    if (x == 0.0f) {
        if (y == 0.0f) {
            if (z != 0.0f) {
                optimized = true;
                M(0, 0) = c;
                M(1, 1) = c;
                M(0, 1) = z < 0 ? s : -s;
                M(1, 0) = z < 0 ? -s : s;
            }
        } else if (z == 0.0f) {
            optimized = true;
            M(0, 0) = c;
            M(2, 2) = c;
            M(0, 2) = y < 0 ? -s : s;
            M(2, 0) = y < 0 ? s : -s;
        }
    } else if (y == 0.0f && z == 0.0f) {
        optimized = true;
        M(1, 1) = c;
        M(2, 2) = c;
        M(1, 2) = x < 0 ? s : -s;
        M(2, 1) = x < 0 ? -s : s;
    }
    if (!optimized) {
        const float mag = std::sqrt(x * x + y * y + z * z);
        if (mag <= 1.0e-4f)
            return;
        x /= mag, y /= mag, z /= mag;
        const float xx = x * x, yy = y * y, zz = z * z;
        const float xy = x * y, yz = y * z, zx = z * x;
        const float xs = x * s, ys = y * s, zs = z * s;
        const float one_c = 1.0f - c;
        M(0, 0) = (one_c * xx) + c;
        M(0, 1) = (one_c * xy) - zs;
        M(0, 2) = (one_c * zx) + ys;
        M(1, 0) = (one_c * xy) + zs;
        M(1, 1) = (one_c * yy) + c;
        M(1, 2) = (one_c * yz) - xs;
        M(2, 0) = (one_c * zx) - ys;
        M(2, 1) = (one_c * yz) + xs;
        M(2, 2) = (one_c * zz) + c;
    }
    multiplyCurrent(r);
}

void Ortho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
           GLdouble zFar)
{
    const float l = (float)left, r = (float)right, b = (float)bottom, t = (float)top;
    const float n = (float)zNear, f = (float)zFar;
    if (l == r || b == t || n == f)
        return;
    Mat4 m = IDENTITY;
    m.m[0] = 2.0f / (r - l);
    m.m[12] = -(r + l) / (r - l);
    m.m[5] = 2.0f / (t - b);
    m.m[13] = -(t + b) / (t - b);
    m.m[10] = -2.0f / (f - n);
    m.m[14] = -(f + n) / (f - n);
    multiplyCurrent(m);
}

// For GLU: the current matrix times one given in doubles (as glMultMatrixd:
// each element rounded to float first).
void multMatrixd(const double* m)
{
    Mat4 f;
    for (int i = 0; i < 16; i++)
        f.m[i] = (float)m[i];
    multiplyCurrent(f);
}

// ---------------------------------------------------------------------------
// State OpenGL ES keeps

void BlendFunc(GLenum sfactor, GLenum dfactor)
{
    if (ctx->s.blendSrc == sfactor && ctx->s.blendDst == dfactor)
        return;
    Flush();
    ctx->s.blendSrc = sfactor, ctx->s.blendDst = dfactor;
    glBlendFunc(sfactor, dfactor);
}

void DepthFunc(GLenum func)
{
    if (ctx->s.depthFunc == func)
        return;
    Flush();
    ctx->s.depthFunc = func;
    glDepthFunc(func);
}

void DepthMask(GLboolean flag)
{
    if (ctx->s.depthMask == (flag != 0))
        return;
    Flush();
    ctx->s.depthMask = flag != 0;
    glDepthMask(flag);
}

void ClearDepth(GLclampd depth)
{
    ctx->s.clearDepth = depth;
    glClearDepthf((float)depth);
}

void ClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a)
{
    float* c = ctx->s.clearColor;
    c[0] = r, c[1] = g, c[2] = b, c[3] = a;
    glClearColor(r, g, b, a);
}

void ClearStencil(GLint s)
{
    ctx->s.clearStencil = s;
    glClearStencil(s);
}

void Clear(GLbitfield mask)
{
    Flush();
    glClear(mask & (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT));
}

void Scissor(GLint x, GLint y, GLsizei width, GLsizei height)
{
    GLint* b = ctx->s.scissor;
    if (b[0] == x && b[1] == y && b[2] == width && b[3] == height)
        return;
    Flush();
    b[0] = x, b[1] = y, b[2] = width, b[3] = height;
    glScissor(x, y, width, height);
}

void Viewport(GLint x, GLint y, GLsizei width, GLsizei height)
{
    GLint* v = ctx->s.viewport;
    if (v[0] == x && v[1] == y && v[2] == width && v[3] == height)
        return;
    Flush();
    v[0] = x, v[1] = y, v[2] = width, v[3] = height;
    glViewport(x, y, width, height);
}

void Hint(GLenum, GLenum) {}   // perspective-correct interpolation is what shaders do

void ShadeModel(GLenum mode) { ctx->s.shadeModel = mode; }

// ---------------------------------------------------------------------------
// Fog and texture generation (applied by the shaders)

void Fogf(GLenum pname, GLfloat param)
{
    Flush();
    switch (pname) {
    case GL_FOG_MODE: ctx->s.fogMode = (GLenum)param; break;
    case GL_FOG_START: ctx->s.fogStart = param; break;
    case GL_FOG_END: ctx->s.fogEnd = param; break;
    case GL_FOG_DENSITY: ctx->s.fogDensity = param; break;
    default: break;
    }
}

void Fogi(GLenum pname, GLint param)
{
    if (pname == GL_FOG_MODE) {
        Flush();
        ctx->s.fogMode = (GLenum)param;
    } else {
        Fogf(pname, (GLfloat)param);
    }
}

void Fogfv(GLenum pname, const GLfloat* params)
{
    if (pname == GL_FOG_COLOR) {
        Flush();
        std::memcpy(ctx->s.fogColor, params, sizeof ctx->s.fogColor);
    } else {
        Fogf(pname, params[0]);
    }
}

void TexGeni(GLenum coord, GLenum pname, GLint param)
{
    if (pname != GL_TEXTURE_GEN_MODE || (coord != GL_S && coord != GL_T))
        return;
    Flush();
    ctx->s.texGenMode[coord == GL_S ? 0 : 1] = (GLenum)param;
}

// ---------------------------------------------------------------------------
// Attribute stacks

void PushAttrib(GLbitfield)
{
    // Every group this module keeps is saved whatever the mask: the program
    // pushes them all.
    if (ctx->attribStack.size() < 16)
        ctx->attribStack.push_back(ctx->s);
}

void PopAttrib()
{
    if (ctx->attribStack.empty())
        return;
    Flush();
    ctx->s = ctx->attribStack.back();
    ctx->attribStack.pop_back();
    ctx->derivedValid = false;
    applyServerState();
}

void PushClientAttrib(GLbitfield)
{
    if (ctx->clientAttribStack.size() < 16)
        ctx->clientAttribStack.push_back(ctx->c);
}

void PopClientAttrib()
{
    if (ctx->clientAttribStack.empty())
        return;
    ctx->c = ctx->clientAttribStack.back();
    ctx->clientAttribStack.pop_back();
    applyUnpackState();
}

void PixelStorei(GLenum pname, GLint param)
{
    switch (pname) {
    case GL_UNPACK_ALIGNMENT: ctx->c.unpackAlignment = param; break;
    case GL_UNPACK_ROW_LENGTH: ctx->c.unpackRowLength = param; break;
    case GL_UNPACK_SKIP_ROWS: ctx->c.unpackSkipRows = param; break;
    case GL_UNPACK_SKIP_PIXELS: ctx->c.unpackSkipPixels = param; break;
    case GL_PACK_ALIGNMENT: ctx->c.packAlignment = param; return;   // applied by ReadPixels
    default: return;
    }
    glPixelStorei(pname, param);
}

// ---------------------------------------------------------------------------
// Queries

void GetIntegerv(GLenum pname, GLint* params)
{
    switch (pname) {
    case GL_VIEWPORT: std::memcpy(params, ctx->s.viewport, sizeof ctx->s.viewport); return;
    case GL_SCISSOR_BOX: std::memcpy(params, ctx->s.scissor, sizeof ctx->s.scissor); return;
    case GL_MATRIX_MODE: *params = (GLint)ctx->s.matrixMode; return;
    case GL_MODELVIEW_STACK_DEPTH: *params = (GLint)ctx->stacks[0].size(); return;
    case GL_PROJECTION_STACK_DEPTH: *params = (GLint)ctx->stacks[1].size(); return;
    case GL_TEXTURE_STACK_DEPTH: *params = (GLint)ctx->stacks[2].size(); return;
    case GL_TEXTURE_BINDING_2D: *params = (GLint)ctx->s.texture; return;
    case GL_UNPACK_ALIGNMENT: *params = ctx->c.unpackAlignment; return;
    case GL_PACK_ALIGNMENT: *params = ctx->c.packAlignment; return;
    default: glGetIntegerv(pname, params); return;
    }
}

void GetFloatv(GLenum pname, GLfloat* params)
{
    switch (pname) {
    case GL_MODELVIEW_MATRIX: std::memcpy(params, top(0).m, sizeof(Mat4)); return;
    case GL_PROJECTION_MATRIX: std::memcpy(params, top(1).m, sizeof(Mat4)); return;
    case GL_TEXTURE_MATRIX: std::memcpy(params, top(2).m, sizeof(Mat4)); return;
    case GL_CURRENT_COLOR: std::memcpy(params, ctx->s.color, sizeof ctx->s.color); return;
    default: glGetFloatv(pname, params); return;
    }
}

}  // namespace gl11es
