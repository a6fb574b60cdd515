// Plain WebGL 2 (emscripten's OpenGL ES 3 calls, not gl11's): see fill.h.
#include "bench/web/fill.h"

#include <GLES3/gl3.h>
#include <emscripten.h>
#include <png.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

int W, H;
GLuint program, vao, vbo;
GLint colourAt, texturedAt;
std::map<std::string, GLuint> textures;   // by file

// The GL state a fill or a count changes, as it was before.
struct Saved {
    GLint program, vao, arrayBuffer, framebuffer, activeTexture, texture2d;
    GLboolean blend, depthTest, scissorTest, stencilTest, cullFace, depthMask, colourMask[4];
    GLint blendSrcRgb, blendDstRgb, blendSrcAlpha, blendDstAlpha, blendEqRgb, blendEqAlpha;
    GLint depthFunc, viewport[4], stencilClear;
    GLint stencilFunc, stencilRef, stencilValueMask, stencilWriteMask, stencilFail, stencilZFail,
        stencilZPass;
    GLint backFunc, backRef, backValueMask, backWriteMask, backFail, backZFail, backZPass;
    GLfloat clearColour[4];
};

Saved save()
{
    Saved s;
    glGetIntegerv(GL_CURRENT_PROGRAM, &s.program);
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &s.vao);
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &s.arrayBuffer);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &s.framebuffer);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &s.activeTexture);
    glActiveTexture(GL_TEXTURE0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &s.texture2d);
    s.blend = glIsEnabled(GL_BLEND);
    s.depthTest = glIsEnabled(GL_DEPTH_TEST);
    s.scissorTest = glIsEnabled(GL_SCISSOR_TEST);
    s.stencilTest = glIsEnabled(GL_STENCIL_TEST);
    s.cullFace = glIsEnabled(GL_CULL_FACE);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &s.depthMask);
    glGetBooleanv(GL_COLOR_WRITEMASK, s.colourMask);
    glGetIntegerv(GL_BLEND_SRC_RGB, &s.blendSrcRgb);
    glGetIntegerv(GL_BLEND_DST_RGB, &s.blendDstRgb);
    glGetIntegerv(GL_BLEND_SRC_ALPHA, &s.blendSrcAlpha);
    glGetIntegerv(GL_BLEND_DST_ALPHA, &s.blendDstAlpha);
    glGetIntegerv(GL_BLEND_EQUATION_RGB, &s.blendEqRgb);
    glGetIntegerv(GL_BLEND_EQUATION_ALPHA, &s.blendEqAlpha);
    glGetIntegerv(GL_DEPTH_FUNC, &s.depthFunc);
    glGetIntegerv(GL_VIEWPORT, s.viewport);
    glGetIntegerv(GL_STENCIL_CLEAR_VALUE, &s.stencilClear);
    glGetIntegerv(GL_STENCIL_FUNC, &s.stencilFunc);
    glGetIntegerv(GL_STENCIL_REF, &s.stencilRef);
    glGetIntegerv(GL_STENCIL_VALUE_MASK, &s.stencilValueMask);
    glGetIntegerv(GL_STENCIL_WRITEMASK, &s.stencilWriteMask);
    glGetIntegerv(GL_STENCIL_FAIL, &s.stencilFail);
    glGetIntegerv(GL_STENCIL_PASS_DEPTH_FAIL, &s.stencilZFail);
    glGetIntegerv(GL_STENCIL_PASS_DEPTH_PASS, &s.stencilZPass);
    glGetIntegerv(GL_STENCIL_BACK_FUNC, &s.backFunc);
    glGetIntegerv(GL_STENCIL_BACK_REF, &s.backRef);
    glGetIntegerv(GL_STENCIL_BACK_VALUE_MASK, &s.backValueMask);
    glGetIntegerv(GL_STENCIL_BACK_WRITEMASK, &s.backWriteMask);
    glGetIntegerv(GL_STENCIL_BACK_FAIL, &s.backFail);
    glGetIntegerv(GL_STENCIL_BACK_PASS_DEPTH_FAIL, &s.backZFail);
    glGetIntegerv(GL_STENCIL_BACK_PASS_DEPTH_PASS, &s.backZPass);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, s.clearColour);
    return s;
}

void able(GLenum cap, GLboolean on)
{
    if (on)
        glEnable(cap);
    else
        glDisable(cap);
}

void restore(const Saved& s)
{
    glUseProgram(s.program);
    glBindVertexArray(s.vao);
    glBindBuffer(GL_ARRAY_BUFFER, s.arrayBuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, s.framebuffer);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, s.texture2d);
    glActiveTexture(s.activeTexture);
    able(GL_BLEND, s.blend);
    able(GL_DEPTH_TEST, s.depthTest);
    able(GL_SCISSOR_TEST, s.scissorTest);
    able(GL_STENCIL_TEST, s.stencilTest);
    able(GL_CULL_FACE, s.cullFace);
    glDepthMask(s.depthMask);
    glColorMask(s.colourMask[0], s.colourMask[1], s.colourMask[2], s.colourMask[3]);
    glBlendFuncSeparate(s.blendSrcRgb, s.blendDstRgb, s.blendSrcAlpha, s.blendDstAlpha);
    glBlendEquationSeparate(s.blendEqRgb, s.blendEqAlpha);
    glDepthFunc(s.depthFunc);
    glViewport(s.viewport[0], s.viewport[1], s.viewport[2], s.viewport[3]);
    glClearStencil(s.stencilClear);
    glStencilFuncSeparate(GL_FRONT, s.stencilFunc, s.stencilRef, s.stencilValueMask);
    glStencilFuncSeparate(GL_BACK, s.backFunc, s.backRef, s.backValueMask);
    glStencilMaskSeparate(GL_FRONT, s.stencilWriteMask);
    glStencilMaskSeparate(GL_BACK, s.backWriteMask);
    glStencilOpSeparate(GL_FRONT, s.stencilFail, s.stencilZFail, s.stencilZPass);
    glStencilOpSeparate(GL_BACK, s.backFail, s.backZFail, s.backZPass);
    glClearColor(s.clearColour[0], s.clearColour[1], s.clearColour[2], s.clearColour[3]);
}

GLuint shader(GLenum kind, const char* text)
{
    GLuint s = glCreateShader(kind);
    glShaderSource(s, 1, &text, nullptr);
    glCompileShader(s);
    GLint ok = 0;
    glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024] = "";
        glGetShaderInfoLog(s, sizeof log, nullptr, log);
        std::fprintf(stderr, "fill: shader: %s\n", log);
    }
    return s;
}

// A texture as the show makes it (RGBA, nearest, repeated); 0 when the file
// cannot be read.
GLuint texture(const char* path)
{
    auto found = textures.find(path);
    if (found != textures.end())
        return found->second;
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    std::vector<unsigned char> pixels;
    GLuint name = 0;
    if (png_image_begin_read_from_file(&image, path)) {
        image.format = PNG_FORMAT_RGBA;
        pixels.resize(PNG_IMAGE_SIZE(image));
        if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
            glGenTextures(1, &name);
            glBindTexture(GL_TEXTURE_2D, name);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.width, image.height, 0, GL_RGBA,
                         GL_UNSIGNED_BYTE, pixels.data());
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        }
    }
    if (!name)
        std::fprintf(stderr, "fill: cannot read %s\n", path);
    textures[path] = name;
    return name;
}

// Vertices: x, y in pixels from the top-left, u, v.
void quads(const std::vector<float>& v)
{
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, v.size() * sizeof(float), v.data(), GL_STREAM_DRAW);
    glDrawArrays(GL_TRIANGLES, 0, (GLsizei)(v.size() / 4));
}

void band(std::vector<float>& v, float bottom)
{
    const float w = (float)W, t = bottom / H;
    const float q[6][4] = {{0, 0, 0, 0}, {0, bottom, 0, t}, {w, bottom, 1, t},
                           {0, 0, 0, 0}, {w, bottom, 1, t}, {w, 0, 1, 0}};
    for (auto& p : q)
        v.insert(v.end(), p, p + 4);
}

Saved counting;

}  // namespace

void drawnSync()
{
    unsigned char pixel[4];
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
}

bool fillStart(int width, int height)
{
    W = width;
    H = height;
    Saved was = save();
    // Pixels to clip space; z = 0 is depth 0.5.
    GLuint vs = shader(GL_VERTEX_SHADER,
                       "#version 300 es\n"
                       "uniform vec2 size;\n"
                       "in vec4 corner;\n"
                       "out vec2 uv;\n"
                       "void main() {\n"
                       "  uv = corner.zw;\n"
                       "  gl_Position = vec4(corner.x / size.x * 2.0 - 1.0,"
                       " 1.0 - corner.y / size.y * 2.0, 0.0, 1.0);\n"
                       "}\n");
    GLuint fs = shader(GL_FRAGMENT_SHADER,
                       "#version 300 es\n"
                       "precision mediump float;\n"
                       "uniform sampler2D picture;\n"
                       "uniform vec4 colour;\n"
                       "uniform bool textured;\n"
                       "in vec2 uv;\n"
                       "out vec4 fragment;\n"
                       "void main() {\n"
                       "  fragment = textured ? texture(picture, uv) * colour : colour;\n"
                       "}\n");
    program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glBindAttribLocation(program, 0, "corner");
    glLinkProgram(program);
    GLint ok = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        std::fprintf(stderr, "fill: the program does not link\n");
        restore(was);
        return false;
    }
    glUseProgram(program);
    glUniform2f(glGetUniformLocation(program, "size"), (float)W, (float)H);
    glUniform1i(glGetUniformLocation(program, "picture"), 0);
    colourAt = glGetUniformLocation(program, "colour");
    texturedAt = glGetUniformLocation(program, "textured");
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glGenBuffers(1, &vbo);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, 0, nullptr);
    restore(was);
    return true;
}

void countBegin()
{
    counting = save();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    glClearStencil(0);
    glStencilMask(0xFF);
    glClear(GL_STENCIL_BUFFER_BIT);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 0, 0xFF);
    glStencilOp(GL_KEEP, GL_KEEP, GL_INCR);   // every fragment written, none the depth test drops
    restore(counting);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 0, 0xFF);
    glStencilMask(0xFF);
    glStencilOp(GL_KEEP, GL_KEEP, GL_INCR);
}

double countEnd()
{
    // The stencil values cannot be read back: each of their 8 bits is added
    // into the colour buffer, bit c + 3 j as 2^j in channel c (red, green,
    // blue), by a screen of additive quads that pass where the bit is set.
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, W, H);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendEquation(GL_FUNC_ADD);
    glBlendFunc(GL_ONE, GL_ONE);
    glStencilMask(0);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    glUseProgram(program);
    glBindVertexArray(vao);
    glUniform1i(texturedAt, 0);
    std::vector<float> screen;
    band(screen, (float)H);
    for (int bit = 0; bit < 8; bit++) {
        int c = bit % 3, j = bit / 3;
        glStencilFunc(GL_EQUAL, 1 << bit, 1u << bit);
        glColorMask(c == 0, c == 1, c == 2, GL_FALSE);
        glUniform4f(colourAt, (1 << j) / 255.0f, (1 << j) / 255.0f, (1 << j) / 255.0f, 0);
        quads(screen);
    }
    std::vector<unsigned char> rgba((size_t)W * H * 4);
    glReadPixels(0, 0, W, H, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    double sum = 0;
    for (size_t p = 0; p < rgba.size(); p += 4)
        for (int c = 0; c < 3; c++) {
            unsigned v = rgba[p + c];
            for (int j = 0; j < 3; j++)
                if (v >> j & 1)
                    sum += 1 << (c + 3 * j);
        }
    restore(counting);
    return sum;
}

double fillFrame(unsigned clear, const char* path, int blend, bool depth, double pixels)
{
    Saved was = save();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, W, H);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_CULL_FACE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glStencilMask(0xFF);
    if (depth) {
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    if (blend == 0) {
        glDisable(GL_BLEND);
    } else {
        glEnable(GL_BLEND);
        glBlendEquation(GL_FUNC_ADD);
        glBlendFunc(GL_SRC_ALPHA, blend == 2 ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
    }
    glUseProgram(program);
    glBindVertexArray(vao);
    GLuint name = path ? texture(path) : 0;
    glBindTexture(GL_TEXTURE_2D, name);
    glUniform1i(texturedAt, name != 0);
    glUniform4f(colourAt, 1, 1, 1, blend == 0 ? 1.0f : 0.5f);
    std::vector<float> v;
    const double screen = (double)W * H;
    for (double left = pixels; left > 0; left -= screen)
        band(v, left >= screen ? (float)H : (float)(H * (left / screen)));
    double t0 = emscripten_get_now();
    glClear(clear);
    if (!v.empty())
        quads(v);
    drawnSync();
    double ms = emscripten_get_now() - t0;
    restore(was);
    return ms;
}
