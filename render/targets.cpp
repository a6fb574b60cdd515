// Render targets, the blend-mode table, the unit quad and the off-screen pass.
#include "render/render.h"

#include <cstdlib>

int ScreenWidth = 1024;
int ScreenHeight = 1024;
GLuint rendertexture;
GLuint depthtexture;

// A ScreenWidth x ScreenHeight RGB8 texture, black, linear filtering, left bound.
static void initTarget(GLuint* name)
{
    // Zeroed so the target starts black. Should the allocation fail, GL still
    // allocates the texture (contents undefined) rather than read from null.
    void* zeros = std::calloc((size_t)ScreenWidth * ScreenHeight, 4);
    glGenTextures(1, name);
    glBindTexture(GL_TEXTURE_2D, *name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, ScreenWidth, ScreenHeight, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, zeros);
    std::free(zeros);
}

void autoInitRenderTexture() { initTarget(&rendertexture); }

// Despite the name, a colour texture of the same format as rendertexture.
void autoInitRenderDepthTexture() { initTarget(&depthtexture); }

void autoMaterialBlendMode(int mode)
{
    static const GLenum table[8][2] = {
        {GL_DST_COLOR, GL_ZERO},                 // 1 multiply
        {GL_SRC_ALPHA, GL_ONE},                  // 2 additive by alpha
        {GL_ZERO, GL_SRC_ALPHA},                 // 3 darken by alpha
        {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA},  // 4 ordinary transparency
        {GL_ONE_MINUS_SRC_ALPHA, GL_ONE},        // 5 additive by inverse alpha
        {GL_ZERO, GL_ONE_MINUS_SRC_ALPHA},       // 6 cut out by alpha
        {GL_ONE, GL_ONE_MINUS_SRC_COLOR},        // 7 screen
        {GL_ONE, GL_ONE},                        // 8 additive
    };
    if (mode < 1 || mode > 8)
        return;   // not a mode: the blend function stays as it was
    glBlendFunc(table[mode - 1][0], table[mode - 1][1]);
}

void DrawQuad(float w, float h, float u, float v)
{
    glTexCoord2f(u, v);
    glVertex3f(0, 1, 0);
    glTexCoord2f(u, v + h);
    glVertex3f(0, 0, 0);
    glTexCoord2f(u + w, v + h);
    glVertex3f(1, 0, 0);
    glTexCoord2f(u + w, v);
    glVertex3f(1, 1, 0);
}

void autoSetViewPort(int width) { glViewport(0, 0, width, 512); }

void autoRenderToTexture(int width, GLuint tex)
{
    glBindTexture(GL_TEXTURE_2D, tex);
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, 0, 0, width, 512, 0);
    glViewport(0, 0, 1024, 768);   // a fixed size, not the window's
}
