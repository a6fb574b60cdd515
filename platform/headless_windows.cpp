// The headless GL context on Windows: WGL on a window that is never shown.
// The pixels of a window that is not on screen belong to nobody (Windows may
// leave them undefined), so the frames are drawn into a framebuffer object of
// the frame's size, bound for good: reads, copies to textures and clears all
// go to it, as they go to a pbuffer on Linux.
#include "platform/headless.h"

#undef APIENTRY
#undef CALLBACK
#undef WINGDIAPI
#include <windows.h>
#include <GL/gl.h>

namespace {

// The framebuffer-object calls (GL 3.0 or ARB_framebuffer_object), which
// opengl32 does not export.
typedef void(APIENTRY* GenFn)(GLsizei, GLuint*);
typedef void(APIENTRY* BindFn)(GLenum, GLuint);
typedef void(APIENTRY* StorageFn)(GLenum, GLenum, GLsizei, GLsizei);
typedef void(APIENTRY* AttachFn)(GLenum, GLenum, GLenum, GLuint);
typedef GLenum(APIENTRY* StatusFn)(GLenum);
typedef void(APIENTRY* DeleteFn)(GLsizei, const GLuint*);
const GLenum FRAMEBUFFER = 0x8D40, RENDERBUFFER = 0x8D41, RGBA8 = 0x8058,
             DEPTH24_STENCIL8 = 0x88F0, COLOR_ATTACHMENT0 = 0x8CE0,
             DEPTH_STENCIL_ATTACHMENT = 0x821A, FRAMEBUFFER_COMPLETE = 0x8CD5;

const wchar_t CLASS_NAME[] = L"vallup headless";

HWND window;
HDC dc;
HGLRC context;
GLuint framebuffer, renderbuffers[2];   // colour, depth and stencil
DeleteFn deleteFramebuffers, deleteRenderbuffers;

void* glProc(const char* name)
{
    PROC proc = wglGetProcAddress(name);
    // Some drivers answer 1, 2, 3 or -1 for "no such function".
    if ((INT_PTR)proc >= -1 && (INT_PTR)proc <= 3)
        return nullptr;
    return (void*)proc;
}

bool fail(const char** why, const char* what)
{
    *why = what;
    platHeadlessDestroy();
    return false;
}

}  // namespace

bool platHeadlessCreate(int width, int height, const char** why)
{
    const char* dummy;
    if (!why)
        why = &dummy;

    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc = {};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = CLASS_NAME;
    RegisterClassW(&wc);   // fails harmlessly when already registered
    window = CreateWindowExW(0, CLASS_NAME, L"vallup", WS_POPUP, 0, 0, width, height, nullptr,
                             nullptr, instance, nullptr);
    if (!window)
        return fail(why, "cannot create the hidden window for a GL context");
    dc = GetDC(window);

    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 32;
    pfd.cAlphaBits = 8;
    pfd.cDepthBits = 24;
    pfd.cStencilBits = 8;
    pfd.iLayerType = PFD_MAIN_PLANE;
    int format = ChoosePixelFormat(dc, &pfd);
    if (!format || !SetPixelFormat(dc, format, &pfd))
        return fail(why, "no RGBA pixel format with a depth buffer for OpenGL");
    context = wglCreateContext(dc);
    if (!context || !wglMakeCurrent(dc, context))
        return fail(why, "cannot create a GL context (is an OpenGL driver installed?)");

    auto genFramebuffers = (GenFn)glProc("glGenFramebuffers");
    auto bindFramebuffer = (BindFn)glProc("glBindFramebuffer");
    auto genRenderbuffers = (GenFn)glProc("glGenRenderbuffers");
    auto bindRenderbuffer = (BindFn)glProc("glBindRenderbuffer");
    auto renderbufferStorage = (StorageFn)glProc("glRenderbufferStorage");
    auto framebufferRenderbuffer = (AttachFn)glProc("glFramebufferRenderbuffer");
    auto checkFramebufferStatus = (StatusFn)glProc("glCheckFramebufferStatus");
    deleteFramebuffers = (DeleteFn)glProc("glDeleteFramebuffers");
    deleteRenderbuffers = (DeleteFn)glProc("glDeleteRenderbuffers");
    if (!genFramebuffers || !bindFramebuffer || !genRenderbuffers || !bindRenderbuffer ||
        !renderbufferStorage || !framebufferRenderbuffer || !checkFramebufferStatus ||
        !deleteFramebuffers || !deleteRenderbuffers)
        return fail(why, "the GL driver has no framebuffer objects (OpenGL 3.0 or "
                         "ARB_framebuffer_object), which drawing without a window needs");

    genRenderbuffers(2, renderbuffers);
    bindRenderbuffer(RENDERBUFFER, renderbuffers[0]);
    renderbufferStorage(RENDERBUFFER, RGBA8, width, height);
    bindRenderbuffer(RENDERBUFFER, renderbuffers[1]);
    renderbufferStorage(RENDERBUFFER, DEPTH24_STENCIL8, width, height);
    bindRenderbuffer(RENDERBUFFER, 0);
    genFramebuffers(1, &framebuffer);
    bindFramebuffer(FRAMEBUFFER, framebuffer);
    framebufferRenderbuffer(FRAMEBUFFER, COLOR_ATTACHMENT0, RENDERBUFFER, renderbuffers[0]);
    framebufferRenderbuffer(FRAMEBUFFER, DEPTH_STENCIL_ATTACHMENT, RENDERBUFFER,
                            renderbuffers[1]);
    if (checkFramebufferStatus(FRAMEBUFFER) != FRAMEBUFFER_COMPLETE)
        return fail(why, "cannot draw into a framebuffer of that size");
    glViewport(0, 0, width, height);
    return true;
}

void platHeadlessDestroy()
{
    if (context) {
        if (framebuffer)
            deleteFramebuffers(1, &framebuffer);
        if (renderbuffers[0])
            deleteRenderbuffers(2, renderbuffers);
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(context);
    }
    if (dc)
        ReleaseDC(window, dc);
    if (window)
        DestroyWindow(window);
    window = nullptr;
    dc = nullptr;
    context = nullptr;
    framebuffer = renderbuffers[0] = renderbuffers[1] = 0;
}

void platHeadlessSwap()
{
    if (context)
        glFlush();   // the framebuffer object is the frame: nothing to present
}
