// The window stand-in in a web page. The page is the desktop and its canvas
// the window: platform/web/window.js makes the canvas, keeps it at the show's
// 4:3 as large as the page (or the screen, fullscreen) allows at the device's
// own pixels, shows the page's boxes, and turns the page's events into the
// window messages queued here. The GL context is WebGL 2 on the canvas, drawn
// through gl11 (the show's GL 1.1 on shaders).
//
// The shell's loop runs as on a desktop. The program is built with Asyncify:
// a message box waits for the click on the page's box, and a buffer swap
// waits for the page's next animation frame; in between the browser has the
// thread (it shows the frame, asks for sound, delivers the events).
//
// Display modes: the browser's fullscreen is the one mode there is. Asking
// for any size enters it on the next window (the canvas fills the screen at
// 4:3), unless the page may not go fullscreen (an iframe not allowed to), and
// restoring the desktop mode leaves it.
#include "platform/window.h"

#include "gl11/gl11.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <string>

// platform/web/window.js
extern "C" {
const char* vallupPageInit(void);   // 0 when the page can show the program, else why not
int vallupMessageBox(const char* text, const char* caption, int type);   // waits for a click
int vallupCanvasCreate(const char* title, int fullscreen);   // 0: no canvas
void vallupCanvasDestroy(void);
void vallupCanvasSize(int* width, int* height);   // drawing buffer, pixels
void vallupCanvasFocus(void);
int vallupFullscreenEnabled(void);
void vallupExitFullscreen(void);
void vallupShowCursor(int show);
void vallupWaitFrame(void);        // waits for the next animation frame
double vallupFrameStart(void);     // that frame's time, ms (performance.now), or 0
double vallupFramePeriod(void);    // the display's frame period as seen, ms, or 0
}

struct PlatWindow {
    std::string className;
    std::string title;
};

struct PlatContext {
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE gl;
    bool gl11Started;   // gl11Start ran on it (at its first making current)
};

namespace {
bool videoUp;
std::string className;        // the one registered class ("" when none)
PlatWndProc classProc;
bool modeChanged;             // platChangeDisplayMode asked for fullscreen
PlatWindow* theWindow;        // the one window
std::deque<MSG> queue;        // messages from the page, not yet peeked
int stencilBits;              // of the pixel format set on the window
PlatContext* current;

double nowS() { return emscripten_get_now() / 1000.0; }

// The display's refresh period as the animation frames show it, s. A frame
// drawn during an animation frame is shown at the display's next refresh,
// one period after that frame's start.
double period = 1.0 / 60;

void post(unsigned message, unsigned wParam, long lParam)
{
    queue.push_back(MSG{theWindow, message, wParam, lParam});
}
}  // namespace

// For the page's script (window.vallupTime): the music Time of the last
// frame drawn, s. The show's own global (render/render.h), written once a
// frame by DrawGLScene.
extern float Time;
extern "C" EMSCRIPTEN_KEEPALIVE double vallup_time() { return Time; }

// From the page's script: one message for the window (keys as Win32 codes,
// sizes in pixels, activation, close).
extern "C" EMSCRIPTEN_KEEPALIVE void vallup_window_message(unsigned message, unsigned wParam,
                                                           long lParam)
{
    if (theWindow)
        post(message, wParam, lParam);
}

bool platInitVideo(const char** why)
{
    if (videoUp)
        return true;
    if (const char* missing = vallupPageInit()) {
        *why = missing;
        return false;
    }
    videoUp = true;
    return true;
}

void platQuitVideo() { videoUp = false; }

int platMessageBox(const char* text, const char* caption, unsigned type)
{
    return vallupMessageBox(text ? text : "", caption ? caption : "", (int)type);
}

bool platRegisterClass(const char* name, PlatWndProc proc)
{
    if (!className.empty() || !proc)
        return false;
    className = name;
    classProc = proc;
    return true;
}

bool platUnregisterClass(const char* name)
{
    if (className != name || theWindow)
        return false;
    className.clear();
    classProc = nullptr;
    return true;
}

bool platChangeDisplayMode(int, int, int)
{
    // Any size and depth: the canvas fills the screen at the show's shape.
    modeChanged = vallupFullscreenEnabled() != 0;
    return modeChanged;
}

void platRestoreDisplayMode()
{
    vallupExitFullscreen();
    modeChanged = false;
}

void platShowCursor(bool show) { vallupShowCursor(show ? 1 : 0); }

void platAdjustWindowRect(int*, int*, int*, int*, bool) {}

PlatWindow* platCreateWindow(const char* cls, const char* title, int, int, bool fullscreen)
{
    // The page decides the size (4:3, as large as fits); a WM_SIZE with it
    // follows, as a window manager's resize does on a desktop.
    if (theWindow || className != cls)
        return nullptr;
    if (!vallupCanvasCreate(title, fullscreen && modeChanged ? 1 : 0))
        return nullptr;
    theWindow = new PlatWindow{cls, title};
    int width = 0, height = 0;
    vallupCanvasSize(&width, &height);
    post(WM_SIZE, 0, (long)((width & 0xFFFF) | ((height & 0xFFFF) << 16)));
    return theWindow;
}

bool platDestroyWindow(PlatWindow* window)
{
    if (!window || window != theWindow)
        return false;
    vallupCanvasDestroy();
    delete window;
    theWindow = nullptr;
    queue.clear();   // messages of a destroyed window go nowhere
    return true;
}

void platShowWindow(PlatWindow*) {}
void platSetForegroundWindow(PlatWindow*) {}
void platSetFocus(PlatWindow*) { vallupCanvasFocus(); }

void platGetClientSize(PlatWindow*, int* width, int* height) { vallupCanvasSize(width, height); }

const char* platGetWindowTitle(PlatWindow* window) { return window->title.c_str(); }

PlatDC* platGetDC(PlatWindow* window) { return reinterpret_cast<PlatDC*>(window); }

bool platReleaseDC(PlatWindow* window, PlatDC* dc)
{
    return window && reinterpret_cast<PlatWindow*>(dc) == window;
}

int platChoosePixelFormat(PlatDC* dc, const PIXELFORMATDESCRIPTOR* pfd)
{
    const uint32_t needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if (!dc || !pfd || (pfd->dwFlags & needed) != needed || pfd->iPixelType != PFD_TYPE_RGBA)
        return 0;
    if (pfd->cDepthBits > 24 || pfd->cColorBits > 32 || pfd->cStencilBits > 8)
        return 0;
    return 1;   // the canvas's own: RGB8, a depth buffer, a stencil one if asked
}

bool platSetPixelFormat(PlatDC* dc, int format, const PIXELFORMATDESCRIPTOR* pfd)
{
    if (!dc || !pfd || format != 1)
        return false;
    stencilBits = pfd->cStencilBits;
    return true;
}

PlatContext* platCreateContext(PlatDC* dc)
{
    if (!dc || reinterpret_cast<PlatWindow*>(dc) != theWindow)
        return nullptr;
    EmscriptenWebGLContextAttributes attrs;
    emscripten_webgl_init_context_attributes(&attrs);
    attrs.majorVersion = 2;
    attrs.minorVersion = 0;
    attrs.alpha = false;   // the page behind never shows through
    attrs.depth = true;
    attrs.stencil = stencilBits > 0;
    attrs.antialias = false;   // the desktop's visual is single-sampled
    attrs.premultipliedAlpha = true;
    // The canvas is shown as drawn in the animation frame; it need not keep
    // its pixels after that (each frame clears), which spares a copy a frame.
    attrs.preserveDrawingBuffer = false;
    attrs.failIfMajorPerformanceCaveat = false;   // software WebGL is still WebGL
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE gl = emscripten_webgl_create_context("#canvas", &attrs);
    if (gl <= 0)
        return nullptr;
    return new PlatContext{gl, false};
}

bool platMakeCurrent(PlatDC* dc, PlatContext* context)
{
    if (!context) {
        if (current && current->gl11Started) {
            gl11Stop();
            current->gl11Started = false;
        }
        current = nullptr;
        return emscripten_webgl_make_context_current(0) == EMSCRIPTEN_RESULT_SUCCESS;
    }
    if (!dc || reinterpret_cast<PlatWindow*>(dc) != theWindow)
        return false;
    if (emscripten_webgl_make_context_current(context->gl) != EMSCRIPTEN_RESULT_SUCCESS)
        return false;
    current = context;
    if (!context->gl11Started) {
        const char* why = "";
        if (!gl11Start(true, &why)) {
            std::fprintf(stderr, "vallup: the GL 1.1 layer cannot start on WebGL 2: %s\n", why);
            return false;
        }
        context->gl11Started = true;
    }
    return true;
}

bool platDeleteContext(PlatContext* context)
{
    if (!context)
        return false;
    if (context == current) {
        if (context->gl11Started)
            gl11Stop();
        emscripten_webgl_make_context_current(0);
        current = nullptr;
    }
    emscripten_webgl_destroy_context(context->gl);
    delete context;
    return true;
}

double platPresentLead()
{
    double start = vallupFrameStart() / 1000.0;
    double seen = vallupFramePeriod() / 1000.0;
    if (seen > 0)
        period = std::clamp(seen, 1.0 / 250, 1.0 / 20);
    if (start <= 0)
        return period;   // before the first animation frame: about one refresh
    return std::max(0.0, start + period - nowS());
}

bool platSwapBuffers(PlatDC* dc)
{
    if (!dc)
        return false;
    // What was drawn is shown when the browser takes the thread back; the
    // loop goes on in the next animation frame, at the display's pace.
    vallupWaitFrame();
    return true;
}

bool platPeekMessage(MSG* msg)
{
    if (queue.empty())
        return false;
    *msg = queue.front();
    queue.pop_front();
    return true;
}

void platTranslateMessage(const MSG*) {}

long platDispatchMessage(const MSG* msg)
{
    if (!classProc)
        return 0;
    return classProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

long platDefWindowProc(PlatWindow*, unsigned, unsigned, long) { return 0; }

void platPostQuitMessage(int exitCode)
{
    queue.push_back(MSG{nullptr, WM_QUIT, (unsigned)exitCode, 0});
}
