// The headless GL context: EGL on Mesa's surfaceless platform. A context with
// no surface has no default framebuffer, so it draws into a pbuffer of the
// frame's size. With platGLES the context is OpenGL ES 3.0 and the show draws
// through gl11's shaders.
#include "platform/headless.h"

#include "gl11/gl11.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

namespace {
EGLDisplay display = EGL_NO_DISPLAY;
EGLContext context = EGL_NO_CONTEXT;
EGLSurface surface = EGL_NO_SURFACE;
}

bool platHeadlessCreate(int width, int height, const char** why)
{
    const char* dummy;
    if (!why)
        why = &dummy;

    auto getPlatformDisplay =
        (PFNEGLGETPLATFORMDISPLAYEXTPROC)eglGetProcAddress("eglGetPlatformDisplayEXT");
    if (!getPlatformDisplay) {
        *why = "EGL has no eglGetPlatformDisplayEXT (is Mesa's libEGL installed?)";
        return false;
    }
    display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) {
        *why = "cannot open Mesa's surfaceless EGL display (install libegl-mesa0)";
        display = EGL_NO_DISPLAY;
        return false;
    }
    if (!eglBindAPI(platGLES ? EGL_OPENGL_ES_API : EGL_OPENGL_API)) {
        *why = platGLES ? "EGL cannot bind OpenGL ES" : "EGL cannot bind desktop OpenGL";
        platHeadlessDestroy();
        return false;
    }
    const EGLint configAttribs[] = {
        EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,
        EGL_RENDERABLE_TYPE, platGLES ? EGL_OPENGL_ES3_BIT : EGL_OPENGL_BIT,
        EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
        EGL_DEPTH_SIZE, 16,
        EGL_STENCIL_SIZE, 8,
        EGL_NONE,
    };
    EGLConfig config;
    EGLint count = 0;
    if (!eglChooseConfig(display, configAttribs, &config, 1, &count) || count < 1) {
        *why = platGLES ? "no EGL config for OpenGL ES 3 with an RGBA pbuffer and a depth buffer"
                        : "no EGL config with an RGBA pbuffer and a depth buffer";
        platHeadlessDestroy();
        return false;
    }
    const EGLint surfaceAttribs[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    surface = eglCreatePbufferSurface(display, config, surfaceAttribs);
    if (surface == EGL_NO_SURFACE) {
        *why = "cannot create an EGL pbuffer of that size";
        platHeadlessDestroy();
        return false;
    }
    // A compatibility-profile context: fixed function and GLU, as on a window.
    // Or OpenGL ES 3.0, for gl11's shaders.
    const EGLint contextAttribs[] = {
        EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
        EGL_NONE,
    };
    const EGLint esContextAttribs[] = {
        EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 0,
        EGL_NONE,
    };
    context = eglCreateContext(display, config, EGL_NO_CONTEXT,
                               platGLES ? esContextAttribs : contextAttribs);
    if (context == EGL_NO_CONTEXT) {
        *why = platGLES ? "cannot create an OpenGL ES 3.0 context"
                        : "cannot create a compatibility-profile GL context";
        platHeadlessDestroy();
        return false;
    }
    if (!eglMakeCurrent(display, surface, surface, context)) {
        *why = "cannot make the headless GL context current";
        platHeadlessDestroy();
        return false;
    }
    if (!gl11Start(platGLES, why)) {
        platHeadlessDestroy();
        return false;
    }
    return true;
}

void platHeadlessDestroy()
{
    if (display == EGL_NO_DISPLAY)
        return;
    if (context != EGL_NO_CONTEXT)
        gl11Stop();
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context != EGL_NO_CONTEXT)
        eglDestroyContext(display, context);
    if (surface != EGL_NO_SURFACE)
        eglDestroySurface(display, surface);
    eglTerminate(display);
    display = EGL_NO_DISPLAY;
    context = EGL_NO_CONTEXT;
    surface = EGL_NO_SURFACE;
}

void platHeadlessSwap()
{
    if (display == EGL_NO_DISPLAY)
        return;
    gl11Flush();
    eglSwapBuffers(display, surface);
}
