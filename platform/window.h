// window: the desktop window layer, on SDL2.
//
// It offers the shell the window services it is written against, in Win32's
// terms (so the shell reads as a classic GL program): message boxes answering IDYES/IDNO/IDOK, a registered window class
// whose procedure receives Win32-style messages carrying Win32 virtual-key
// codes, a fullscreen display-mode change that reports failure, and a
// double-buffered RGBA GL context (compatibility profile) on the window.
// Sizes are client sizes in pixels. One window at a time.
#pragma once

#include <cstdint>

// Window messages (Win32 numbers).
enum {
    WM_SIZE = 0x0005,        // lParam: client width in the low word, height in the high word
    WM_ACTIVATE = 0x0006,    // wParam high word: non-zero while minimised
    WM_CLOSE = 0x0010,
    WM_QUIT = 0x0012,        // wParam: the exit code given to platPostQuitMessage
    WM_KEYDOWN = 0x0100,     // wParam: virtual-key code
    WM_KEYUP = 0x0101,
    WM_SYSCOMMAND = 0x0112,  // wParam: SC_* command
};
enum { SC_SCREENSAVE = 0xF140, SC_MONITORPOWER = 0xF170 };

// Virtual-key codes (Win32 numbers) the show reads; other keys map to their
// own Win32 codes too (letters 'A'..'Z', digits '0'..'9', F1..F12, ...).
enum {
    VK_ESCAPE = 0x1B,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_F1 = 0x70,
};

// Message box kinds and answers (Win32 numbers).
enum {
    MB_OK = 0x00,
    MB_YESNO = 0x04,
    MB_ICONSTOP = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40,
};
enum { IDOK = 1, IDYES = 6, IDNO = 7 };

// Pixel format request, in the Win32 record's layout (40 bytes).
enum { PFD_DOUBLEBUFFER = 0x01, PFD_DRAW_TO_WINDOW = 0x04, PFD_SUPPORT_OPENGL = 0x20 };
enum { PFD_TYPE_RGBA = 0, PFD_MAIN_PLANE = 0 };
struct PIXELFORMATDESCRIPTOR {
    uint16_t nSize, nVersion;
    uint32_t dwFlags;
    uint8_t iPixelType, cColorBits;
    uint8_t cRedBits, cRedShift, cGreenBits, cGreenShift, cBlueBits, cBlueShift;
    uint8_t cAlphaBits, cAlphaShift;
    uint8_t cAccumBits, cAccumRedBits, cAccumGreenBits, cAccumBlueBits, cAccumAlphaBits;
    uint8_t cDepthBits, cStencilBits, cAuxBuffers, iLayerType, bReserved;
    uint32_t dwLayerMask, dwVisibleMask, dwDamageMask;
};

struct PlatWindow;   // a window
struct PlatDC;       // a window's drawable (the window itself underneath)
struct PlatContext;  // a GL rendering context

struct MSG {
    PlatWindow* hwnd;
    unsigned message;
    unsigned wParam;
    long lParam;
};

typedef long (*PlatWndProc)(PlatWindow* window, unsigned message, unsigned wParam, long lParam);

// Starts the video layer. False when there is no display to show windows on
// (including SDL's invisible "offscreen" driver, unless SDL_VIDEODRIVER asked
// for it); *why says what failed.
bool platInitVideo(const char** why);
void platQuitVideo();

// A modal box with the given caption, icon and buttons (MB_* flags). Returns
// IDYES, IDNO or IDOK, or 0 when no box can be shown on this display (on X11
// SDL draws one with zenity or, failing that, with the X core fonts). Yes is
// the Return-key default and No the Escape-key default.
int platMessageBox(const char* text, const char* caption, unsigned type);

bool platRegisterClass(const char* name, PlatWndProc proc);
bool platUnregisterClass(const char* name);

// Enters a fullscreen display mode of exactly this size. The depth is a
// preference: a mode at that depth if the display has one (32 and 24 bits both
// mean 8 bits a channel), else one at the desktop's depth. False, changing
// nothing, when the display has no mode of this size. The mode takes effect on
// the next fullscreen window.
bool platChangeDisplayMode(int width, int height, int bits);
void platRestoreDisplayMode();   // back to the desktop mode
void platShowCursor(bool show);

// The outer rectangle for a client rectangle. SDL sizes windows by their client
// area and the window manager adds its frame, so the rectangle is unchanged.
void platAdjustWindowRect(int* left, int* top, int* right, int* bottom, bool fullscreen);

// Creates a hidden window of the registered class with this client size.
PlatWindow* platCreateWindow(const char* className, const char* title, int width, int height,
                             bool fullscreen);
bool platDestroyWindow(PlatWindow* window);
void platShowWindow(PlatWindow* window);
void platSetForegroundWindow(PlatWindow* window);
void platSetFocus(PlatWindow* window);
void platGetClientSize(PlatWindow* window, int* width, int* height);
const char* platGetWindowTitle(PlatWindow* window);

PlatDC* platGetDC(PlatWindow* window);
bool platReleaseDC(PlatWindow* window, PlatDC* dc);
int platChoosePixelFormat(PlatDC* dc, const PIXELFORMATDESCRIPTOR* pfd);  // 0: none
bool platSetPixelFormat(PlatDC* dc, int format, const PIXELFORMATDESCRIPTOR* pfd);
// The context asks for vertical sync (adaptive where the driver offers it).
PlatContext* platCreateContext(PlatDC* dc);
bool platMakeCurrent(PlatDC* dc, PlatContext* context);  // null, null: none current
bool platDeleteContext(PlatContext* context);
// Presents the frame at the display's pace: it sleeps until the frame's turn,
// one refresh period (60 Hz when the display does not say) after the last
// one's, then swaps, so that frames come no faster than the display shows
// them even where the driver does not wait for the vertical blank (software
// GL, Xvfb). Where it does wait, the turns fall into step with the blanks.
// Also paces a loop that presents without drawing (a minimised window).
bool platSwapBuffers(PlatDC* dc);
// Called as a frame starts to be drawn: the time in s until it will be seen,
// that is its turn (or, when drawing runs late, as soon as it is drawn) plus
// the time a swap takes (a software GL renders the frame there).
double platPresentLead();

// One message without waiting; false when none is pending.
bool platPeekMessage(MSG* msg);
void platTranslateMessage(const MSG* msg);
long platDispatchMessage(const MSG* msg);
long platDefWindowProc(PlatWindow* window, unsigned message, unsigned wParam, long lParam);
void platPostQuitMessage(int exitCode);
