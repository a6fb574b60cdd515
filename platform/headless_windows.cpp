// The headless GL context on Windows: WGL on a pbuffer of the frame's size,
// made through a window that is never shown (WGL hands out its extension
// functions only to a current context). A pbuffer is a drawable of the window
// system, as the EGL pbuffer on Linux is, so GL draws it the same way up and
// the pixels come out the same; a framebuffer object is drawn the other way
// up, which moves edges by a rounding (measured: up to 179 pixels of a frame).
// The pbuffer is double-buffered and never swapped: frames are drawn and read
// in its back buffer, and nothing is copied out to the window system (Wine's
// GLX fails when asked to). Without pbuffers (rare) the hidden window's own
// back buffer is drawn into.
#include "platform/headless.h"

#undef APIENTRY
#undef CALLBACK
#undef WINGDIAPI
#include <windows.h>
#include <GL/gl.h>

namespace {

// WGL_ARB_pixel_format and WGL_ARB_pbuffer.
DECLARE_HANDLE(HPBUFFERARB);
typedef BOOL(WINAPI* ChoosePixelFormatFn)(HDC, const int*, const FLOAT*, UINT, int*, UINT*);
typedef HPBUFFERARB(WINAPI* CreatePbufferFn)(HDC, int, int, int, const int*);
typedef HDC(WINAPI* GetPbufferDCFn)(HPBUFFERARB);
typedef int(WINAPI* ReleasePbufferDCFn)(HPBUFFERARB, HDC);
typedef BOOL(WINAPI* DestroyPbufferFn)(HPBUFFERARB);
const int DRAW_TO_PBUFFER = 0x202D, SUPPORT_OPENGL = 0x2010, DOUBLE_BUFFER = 0x2011,
          PIXEL_TYPE = 0x2013,
          TYPE_RGBA = 0x202B, COLOR_BITS = 0x2014, ALPHA_BITS = 0x201B, DEPTH_BITS = 0x2022,
          STENCIL_BITS = 0x2023;

const wchar_t CLASS_NAME[] = L"vallup headless";

HWND window;
HDC windowDC;
HPBUFFERARB pbuffer;
HDC pbufferDC;
HGLRC context;
ReleasePbufferDCFn releasePbufferDC;
DestroyPbufferFn destroyPbuffer;

void* wglProc(const char* name)
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

// A pbuffer of the frame's size with a context of its own, made current;
// false when the driver has no pbuffers. The window's context is current.
bool makePbuffer(int width, int height)
{
    auto choose = (ChoosePixelFormatFn)wglProc("wglChoosePixelFormatARB");
    auto create = (CreatePbufferFn)wglProc("wglCreatePbufferARB");
    auto getDC = (GetPbufferDCFn)wglProc("wglGetPbufferDCARB");
    releasePbufferDC = (ReleasePbufferDCFn)wglProc("wglReleasePbufferDCARB");
    destroyPbuffer = (DestroyPbufferFn)wglProc("wglDestroyPbufferARB");
    if (!choose || !create || !getDC || !releasePbufferDC || !destroyPbuffer)
        return false;
    const int attribs[] = {
        DRAW_TO_PBUFFER, 1, SUPPORT_OPENGL, 1, DOUBLE_BUFFER, 1, PIXEL_TYPE, TYPE_RGBA,
        COLOR_BITS, 32, ALPHA_BITS, 8, DEPTH_BITS, 24, STENCIL_BITS, 8, 0,
    };
    int format = 0;
    UINT count = 0;
    if (!choose(windowDC, attribs, nullptr, 1, &format, &count) || count < 1)
        return false;
    const int none[] = {0};
    pbuffer = create(windowDC, format, width, height, none);
    if (!pbuffer)
        return false;
    pbufferDC = getDC(pbuffer);
    HGLRC pbufferContext = pbufferDC ? wglCreateContext(pbufferDC) : nullptr;
    if (!pbufferContext || !wglMakeCurrent(pbufferDC, pbufferContext)) {
        if (pbufferContext)
            wglDeleteContext(pbufferContext);
        return false;
    }
    wglDeleteContext(context);   // the window's: only needed to find the functions
    context = pbufferContext;
    return true;
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
    windowDC = GetDC(window);

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
    int format = ChoosePixelFormat(windowDC, &pfd);
    if (!format || !SetPixelFormat(windowDC, format, &pfd))
        return fail(why, "no RGBA pixel format with a depth buffer for OpenGL");
    context = wglCreateContext(windowDC);
    if (!context || !wglMakeCurrent(windowDC, context))
        return fail(why, "cannot create a GL context (is an OpenGL driver installed?)");
    makePbuffer(width, height);   // else the window's back buffer, current already
    glViewport(0, 0, width, height);
    return true;
}

void platHeadlessDestroy()
{
    if (context) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(context);
    }
    if (pbuffer) {
        if (pbufferDC)
            releasePbufferDC(pbuffer, pbufferDC);
        destroyPbuffer(pbuffer);
    }
    if (windowDC)
        ReleaseDC(window, windowDC);
    if (window)
        DestroyWindow(window);
    window = nullptr;
    windowDC = nullptr;
    pbuffer = nullptr;
    pbufferDC = nullptr;
    context = nullptr;
}

void platHeadlessSwap()
{
    // The drawable is the frame: nothing to present. (A flush would make
    // Wine's GLX copy the pbuffer out to the X server, which refuses it.)
}
