// The window stand-in on SDL2.
#include "platform/window.h"

#include "platform/headless.h"

#include <SDL2/SDL.h>
#ifdef VALLUP_GL11
#include "gl11/gl11.h"
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <thread>

struct PlatWindow {
    SDL_Window* sdl;
    std::string className;
};

struct PlatContext {
    SDL_GLContext gl;
};

namespace {
bool videoUp;
std::string className;        // the one registered class ("" when none)
PlatWndProc classProc;
SDL_DisplayMode fullscreenMode;  // the mode platChangeDisplayMode entered
bool modeChanged;
PlatWindow* theWindow;        // the one window
std::deque<MSG> queue;        // messages translated from SDL, not yet peeked

// Frame pacing; all times in s on the monotonic clock. Each frame is swapped
// at its turn, one refresh period after the last one's, or as soon as it is
// drawn when drawing runs late. Where the driver also waits for the vertical
// blank, a swap returns at a blank and the next turn falls on the next blank:
// the turns lock to the display by themselves. A software GL renders the
// frame inside the swap, so the swap's own time is part of when the frame is
// seen.
struct Pacing {
    double frameStart = 0;    // when platPresentLead was called for this frame, or 0
    double turn = 0;          // when this frame is to be swapped
    double nextTurn = 0;      // the next frame's turn
    double drawS = 0.001;     // time from platPresentLead to the swap, smoothed
    double swapS = 0.005;     // time the swap takes, smoothed
} pacing;

double nowS()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// One frame at the display's refresh rate, s.
double framePeriod()
{
    SDL_DisplayMode mode;
    int hz = 0;
    if (theWindow && SDL_GetWindowDisplayMode(theWindow->sdl, &mode) == 0)
        hz = mode.refresh_rate;
    return 1.0 / (hz > 0 ? hz : 60);
}

void sleepUntil(double t)
{
    using namespace std::chrono;
    std::this_thread::sleep_until(
        steady_clock::time_point(duration_cast<steady_clock::duration>(duration<double>(t))));
}

unsigned virtualKey(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9)
        return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return 0x70 + (key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return 0x61 + (key - SDLK_KP_1);
    switch (key) {
    case SDLK_BACKSPACE: return 0x08;
    case SDLK_TAB: return 0x09;
    case SDLK_RETURN: case SDLK_KP_ENTER: return 0x0D;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return 0x10;
    case SDLK_LCTRL: case SDLK_RCTRL: return 0x11;
    case SDLK_LALT: case SDLK_RALT: return 0x12;
    case SDLK_PAUSE: return 0x13;
    case SDLK_CAPSLOCK: return 0x14;
    case SDLK_ESCAPE: return 0x1B;
    case SDLK_SPACE: return 0x20;
    case SDLK_PAGEUP: return 0x21;
    case SDLK_PAGEDOWN: return 0x22;
    case SDLK_END: return 0x23;
    case SDLK_HOME: return 0x24;
    case SDLK_LEFT: return 0x25;
    case SDLK_UP: return 0x26;
    case SDLK_RIGHT: return 0x27;
    case SDLK_DOWN: return 0x28;
    case SDLK_PRINTSCREEN: return 0x2C;
    case SDLK_INSERT: return 0x2D;
    case SDLK_DELETE: return 0x2E;
    case SDLK_LGUI: return 0x5B;
    case SDLK_RGUI: return 0x5C;
    case SDLK_APPLICATION: return 0x5D;
    case SDLK_KP_0: return 0x60;
    case SDLK_KP_MULTIPLY: return 0x6A;
    case SDLK_KP_PLUS: return 0x6B;
    case SDLK_KP_MINUS: return 0x6D;
    case SDLK_KP_PERIOD: return 0x6E;
    case SDLK_KP_DIVIDE: return 0x6F;
    case SDLK_NUMLOCKCLEAR: return 0x90;
    case SDLK_SCROLLLOCK: return 0x91;
    case SDLK_SEMICOLON: return 0xBA;
    case SDLK_EQUALS: return 0xBB;
    case SDLK_COMMA: return 0xBC;
    case SDLK_MINUS: return 0xBD;
    case SDLK_PERIOD: return 0xBE;
    case SDLK_SLASH: return 0xBF;
    case SDLK_BACKQUOTE: return 0xC0;
    case SDLK_LEFTBRACKET: return 0xDB;
    case SDLK_BACKSLASH: return 0xDC;
    case SDLK_RIGHTBRACKET: return 0xDD;
    case SDLK_QUOTE: return 0xDE;
    }
    return 0;   // no Win32 code: not delivered
}

void post(unsigned message, unsigned wParam, long lParam)
{
    queue.push_back(MSG{theWindow, message, wParam, lParam});
}

bool minimised()
{
    return theWindow && (SDL_GetWindowFlags(theWindow->sdl) & SDL_WINDOW_MINIMIZED);
}

// Turns one SDL event into the messages the window procedure knows.
void translate(const SDL_Event& e)
{
    switch (e.type) {
    case SDL_QUIT:   // also SIGINT and SIGTERM: a close request
        post(WM_CLOSE, 0, 0);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (unsigned vk = virtualKey(e.key.keysym.sym))
            post(e.type == SDL_KEYDOWN ? WM_KEYDOWN : WM_KEYUP, vk, 0);
        break;
    case SDL_WINDOWEVENT:
        switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            post(WM_CLOSE, 0, 0);
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            post(WM_SIZE, 0, (long)((e.window.data1 & 0xFFFF) | ((e.window.data2 & 0xFFFF) << 16)));
            break;
        // WM_ACTIVATE: low word active (1) or inactive (0), high word non-zero
        // while minimised.
        case SDL_WINDOWEVENT_MINIMIZED:
            post(WM_ACTIVATE, 0x10000u, 0);
            break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            post(WM_ACTIVATE, minimised() ? 0x10001u : 1u, 0);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            post(WM_ACTIVATE, minimised() ? 0x10000u : 0u, 0);
            break;
        }
        break;
    }
    // SDL keeps the screen saver off while video is up, so no SC_SCREENSAVE or
    // SC_MONITORPOWER command ever needs to be swallowed.
}
}  // namespace

bool platInitVideo(const char** why)
{
    if (videoUp)
        return true;
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        *why = SDL_GetError();
        return false;
    }
    // With no display SDL quietly picks an invisible driver; that is no
    // display unless the user asked for that driver.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    if (driver && (!std::strcmp(driver, "offscreen") || !std::strcmp(driver, "dummy")) &&
        !(asked && !std::strcmp(asked, driver))) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        // SDL falls back the same way when a display is named but cannot be
        // opened (no server there, or one refusing or dropping the connection).
        static std::string named;
        const char* x11 = std::getenv("DISPLAY");
        const char* wayland = std::getenv("WAYLAND_DISPLAY");
        named.clear();
        if (x11 && *x11)
            named = std::string("DISPLAY=") + x11;
        if (wayland && *wayland)
            named += (named.empty() ? "" : ", ") + std::string("WAYLAND_DISPLAY=") + wayland;
        if (named.empty())
            *why = "no display (DISPLAY and WAYLAND_DISPLAY are not set)";
        else
            *why = (named = "the display cannot be opened (" + named + ")").c_str();
        return false;
    }
    videoUp = true;
    return true;
}

void platQuitVideo()
{
    if (videoUp)
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    videoUp = false;
}

int platMessageBox(const char* text, const char* caption, unsigned type)
{
    bool question = (type & 0x0F) == MB_YESNO;
    Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
    switch (type & 0xF0) {
    case MB_ICONSTOP: flags = SDL_MESSAGEBOX_ERROR; break;
    case MB_ICONEXCLAMATION: flags = SDL_MESSAGEBOX_WARNING; break;
    }
    SDL_MessageBoxButtonData yesNo[2] = {
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"},
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"},
    };
    SDL_MessageBoxButtonData ok[1] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK,
         "OK"},
    };
    SDL_MessageBoxData box = {};
    box.flags = flags;
    box.title = caption;
    box.message = text;
    box.numbuttons = question ? 2 : 1;
    box.buttons = question ? yesNo : ok;
    int pressed = -1;
    if (SDL_ShowMessageBox(&box, &pressed) != 0 || pressed < 0)
        return 0;
    return pressed;
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

bool platChangeDisplayMode(int width, int height, int bits)
{
    // The size must be offered; the depth is a preference. Today's displays
    // offer only their own depth (24 or 32 bits), so a mode of the right size
    // at the desktop's depth stands in for a 16-bit one. 24 and 32 bits are the
    // same 8 bits a channel.
    auto sameDepth = [](int a, int b) { return a == b || (a >= 24 && b >= 24 && a <= 32 && b <= 32); };
    SDL_DisplayMode desktop;
    int desktopDepth = SDL_GetDesktopDisplayMode(0, &desktop) == 0 ? SDL_BITSPERPIXEL(desktop.format) : 0;
    int count = SDL_GetNumDisplayModes(0);
    bool found = false;
    for (int i = 0; i < count; i++) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0 || mode.w != width || mode.h != height)
            continue;
        int depth = SDL_BITSPERPIXEL(mode.format);
        if (sameDepth(depth, bits)) {   // the asked depth: take it at once
            fullscreenMode = mode;
            found = true;
            break;
        }
        if (!found && sameDepth(depth, desktopDepth)) {   // the desktop's: unless the asked one follows
            fullscreenMode = mode;
            found = true;
        }
    }
    if (found)
        modeChanged = true;
    return found;
}

void platRestoreDisplayMode()
{
    // Leaving fullscreen on the window gives the desktop its own mode back.
    if (theWindow && (SDL_GetWindowFlags(theWindow->sdl) & SDL_WINDOW_FULLSCREEN))
        SDL_SetWindowFullscreen(theWindow->sdl, 0);
    modeChanged = false;
}

void platShowCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

void platAdjustWindowRect(int*, int*, int*, int*, bool) {}

PlatWindow* platCreateWindow(const char* cls, const char* title, int width, int height,
                             bool fullscreen)
{
    if (theWindow || className != cls)
        return nullptr;
    // On X11 the window's visual is fixed when the window is made, so the
    // show's one request (RGBA, double-buffered, 16-bit depth) is set here;
    // the pixel-format steps then check the request against it.
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
#ifdef VALLUP_GL11
    if (platGLES) {
        // OpenGL ES 3.0: the show draws through gl11's shaders.
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    } else
#endif
    {
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    }

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (fullscreen && modeChanged)
        flags |= SDL_WINDOW_FULLSCREEN;
    else
        flags |= SDL_WINDOW_RESIZABLE;
    SDL_Window* sdl = SDL_CreateWindow(title, 0, 0, width, height, flags);
    if (!sdl)
        return nullptr;
    if (fullscreen && modeChanged)
        SDL_SetWindowDisplayMode(sdl, &fullscreenMode);
    theWindow = new PlatWindow{sdl, cls};
    return theWindow;
}

bool platDestroyWindow(PlatWindow* window)
{
    if (!window || window != theWindow)
        return false;
    SDL_DestroyWindow(window->sdl);
    delete window;
    theWindow = nullptr;
    queue.clear();   // messages of a destroyed window go nowhere
    return true;
}

void platShowWindow(PlatWindow* window) { SDL_ShowWindow(window->sdl); }
void platSetForegroundWindow(PlatWindow* window) { SDL_RaiseWindow(window->sdl); }
void platSetFocus(PlatWindow* window) { SDL_SetWindowInputFocus(window->sdl); }

void platGetClientSize(PlatWindow* window, int* width, int* height)
{
    SDL_GetWindowSize(window->sdl, width, height);
}

const char* platGetWindowTitle(PlatWindow* window) { return SDL_GetWindowTitle(window->sdl); }

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
    if (pfd->cDepthBits > 24 || pfd->cColorBits > 32)
        return 0;
    return 1;   // the window's own format: RGBA8, double-buffered, 16-bit depth
}

bool platSetPixelFormat(PlatDC* dc, int format, const PIXELFORMATDESCRIPTOR* pfd)
{
    return dc && pfd && format == 1;
}

PlatContext* platCreateContext(PlatDC* dc)
{
    auto* window = reinterpret_cast<PlatWindow*>(dc);
    if (!window)
        return nullptr;
    SDL_GLContext gl = SDL_GL_CreateContext(window->sdl);   // and makes it current
    if (!gl)
        return nullptr;
#ifdef VALLUP_GL11
    const char* why = "";
    if (!gl11Start(platGLES, &why)) {
        std::fprintf(stderr, "vallup: %s\n", why);
        SDL_GL_DeleteContext(gl);
        return nullptr;
    }
#endif
    if (SDL_GL_SetSwapInterval(-1) != 0)   // adaptive: a late frame is not held a whole frame more
        SDL_GL_SetSwapInterval(1);
    pacing = Pacing{};
    return new PlatContext{gl};
}

bool platMakeCurrent(PlatDC* dc, PlatContext* context)
{
    auto* window = reinterpret_cast<PlatWindow*>(dc);
    if (!context) {
#ifdef VALLUP_GL11
        gl11Stop();   // its GL objects go while their context is still current
#endif
        return SDL_GL_MakeCurrent(theWindow ? theWindow->sdl : nullptr, nullptr) == 0;
    }
    return window && SDL_GL_MakeCurrent(window->sdl, context->gl) == 0;
}

bool platDeleteContext(PlatContext* context)
{
    if (!context)
        return false;
    SDL_GL_DeleteContext(context->gl);
    delete context;
    return true;
}

double platPresentLead()
{
    double now = nowS();
    pacing.frameStart = now;
    pacing.turn = std::max(pacing.nextTurn, now + pacing.drawS);
    return pacing.turn + pacing.swapS - now;   // seen when its swap is done
}

bool platSwapBuffers(PlatDC* dc)
{
    auto* window = reinterpret_cast<PlatWindow*>(dc);
    if (!window)
        return false;
#ifdef VALLUP_GL11
    gl11Flush();   // what gl11 gathered is part of this frame's drawing
#endif
    double period = framePeriod();
    double start = nowS();
    if (pacing.frameStart > 0)
        pacing.drawS += 0.1 * ((start - pacing.frameStart) - pacing.drawS);
    else
        pacing.turn = std::max(pacing.nextTurn, start);   // nothing drawn: the pace still holds
    pacing.frameStart = 0;
    if (pacing.turn > start) {
        sleepUntil(pacing.turn);
        start = nowS();
    }
    SDL_GL_SwapWindow(window->sdl);
    double end = nowS();
    pacing.swapS += 0.25 * ((end - start) - pacing.swapS);
    // The next turn a period after this one, never in the past: a late frame
    // does not make the next ones hurry.
    pacing.nextTurn = std::max(pacing.turn + period, end);
    return true;
}

bool platPeekMessage(MSG* msg)
{
    SDL_Event e;
    while (queue.empty() && SDL_PollEvent(&e))
        translate(e);
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
