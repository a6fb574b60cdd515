#include "glfixture.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "app/app.h"
#include "demo/demo.h"
#include "platform/headless.h"

namespace glfix {

static int ctxWidth = 0, ctxHeight = 0;

void context(int width, int height)
{
    if (ctxWidth != width || ctxHeight != height) {
        if (ctxWidth)
            platHeadlessDestroy();
        const char* why = "";
        ctxWidth = ctxHeight = 0;
        ASSERT_TRUE(platHeadlessCreate(width, height, &why)) << why;
        ctxWidth = width;
        ctxHeight = height;
    }
    for (GLenum mode : {GL_PROJECTION, GL_TEXTURE, GL_MODELVIEW}) {
        glMatrixMode(mode);
        GLint depth = 1;
        glGetIntegerv(mode == GL_PROJECTION ? GL_PROJECTION_STACK_DEPTH
                      : mode == GL_TEXTURE  ? GL_TEXTURE_STACK_DEPTH
                                            : GL_MODELVIEW_STACK_DEPTH,
                      &depth);
        for (; depth > 1; depth--)
            glPopMatrix();
    }
    ReSizeGLScene(width, height);
}

void freshContext(int width, int height)
{
    if (ctxWidth)
        platHeadlessDestroy();
    ctxWidth = ctxHeight = 0;
    context(width, height);
}

void freshShow(int width, int height)
{
    freshContext(width, height);
    platSoundSetManual(true);
    platSoundSetManualTime(0);
    temp = 0;
    for (float& t : trig)
        t = 0;
    effect = 0;
    Time = flashbpm = flashbpm2 = syncbpm = 0;
    std::srand(1);
}

void baselineState()
{
    for (GLenum cap : {GL_LIGHTING, GL_LIGHT0, GL_COLOR_MATERIAL, GL_NORMALIZE, GL_FOG,
                       GL_CULL_FACE, GL_ALPHA_TEST, GL_SCISSOR_TEST, GL_STENCIL_TEST,
                       GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T})
        glDisable(cap);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glBlendFunc(GL_ONE, GL_ZERO);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBindTexture(GL_TEXTURE_2D, 0);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();   // light 0's position is taken in eye space
    const GLfloat none[4] = {0, 0, 0, 1}, white[4] = {1, 1, 1, 1}, grey[4] = {0.2f, 0.2f, 0.2f, 1},
                  lightGrey[4] = {0.8f, 0.8f, 0.8f, 1}, fromViewer[4] = {0, 0, 1, 0};
    glLightfv(GL_LIGHT0, GL_AMBIENT, none);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glLightfv(GL_LIGHT0, GL_POSITION, fromViewer);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, grey);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, grey);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, lightGrey);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, none);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, none);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 0);

    glEnable(GL_TEXTURE_2D);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glShadeModel(GL_SMOOTH);
    glClearDepth(1.0f);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glClearStencil(0);
    glDisable(GL_BLEND);
    glColor4f(1, 1, 1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

std::array<int, 4> pixel(int x, int y)
{
    unsigned char p[4] = {0, 0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, ctxHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2], p[3]};
}

std::array<int, 4> canvasPixel(float cx, float cy)
{
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    int x = (int)(cx * vp[2] / 800.0f);
    int y = (int)(cy * vp[3] / 600.0f);
    return pixel(vp[0] + x, (ctxHeight - vp[1] - vp[3]) + y);
}

int modelviewDepth()
{
    GLint d = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &d);
    return d;
}

int projectionDepth()
{
    GLint d = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &d);
    return d;
}

int textureDepth()
{
    GLint d = 0;
    glGetIntegerv(GL_TEXTURE_STACK_DEPTH, &d);
    return d;
}

void expectHandOver(const char* where)
{
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR) << where;
    EXPECT_EQ(modelviewDepth(), 1) << where;
    EXPECT_EQ(projectionDepth(), 1) << where;
    EXPECT_EQ(textureDepth(), 1) << where;
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW) << where;
    EXPECT_FALSE(glIsEnabled(GL_BLEND)) << where;
}

void frameAt(int ms)
{
    platSoundSetManual(true);
    platSoundSetManualTime(ms);
    DrawGLScene();
}

}  // namespace glfix
