#include "glfixture.h"

#include <gtest/gtest.h>

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
    ReSizeGLScene(width, height);
}

void baselineState()
{
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
