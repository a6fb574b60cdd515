// The window and its GL context: creation, release, and the projection that
// follows the window's size.
#include "app/app.h"
#include "demo/demo.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdio>
#include <string>

PlatWindow* hWnd;
PlatDC* hDC;
PlatContext* hRC;
bool fullscreen = true;
bool windowDeclined;

static bool classRegistered;

// The pixel format request: filled on the first CreateGLWindow only, so the
// 16-bit re-creation after F1 still asks for the first call's 32 colour bits.
static PIXELFORMATDESCRIPTOR pfd = {
    sizeof(PIXELFORMATDESCRIPTOR),
    1,
    PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER,
    PFD_TYPE_RGBA,
    0,                 // colour bits: set on the first call
    0, 0, 0, 0, 0, 0,  // colour bits and shifts: no preference
    0, 0,              // alpha
    0, 0, 0, 0, 0,     // no accumulation buffer
    16,                // depth bits
    0,                 // stencil bits
    0,                 // auxiliary buffers
    PFD_MAIN_PLANE,
    0, 0, 0, 0,
};
static bool pfdFilled;

// Reports a creation failure: in a box and on standard error, since a box may
// not be visible (or possible) on every desktop.
static void creationError(const char* text)
{
    std::fprintf(stderr, "vallup: %s\n", text);
    platMessageBox(text, "ERROR", MB_OK | MB_ICONEXCLAMATION);
}

int askUser(const char* text, const char* caption, unsigned icon, int unseenAnswer)
{
    int answer = platMessageBox(text, caption, MB_YESNO | icon);
    if (answer == IDYES || answer == IDNO)
        return answer;
    std::string oneLine = text;
    std::replace(oneLine.begin(), oneLine.end(), '\n', ' ');
    std::fprintf(stderr,
                 "vallup: no question box can be shown on this display (it needs zenity or the X "
                 "core fonts, xfonts-base)\n"
                 "vallup: %s: \"%s\" - answering %s\n",
                 caption, oneLine.c_str(), unseenAnswer == IDYES ? "Yes" : "No");
    return unseenAnswer;
}

static void shutdownError(const char* text)
{
    std::fprintf(stderr, "vallup: %s\n", text);
    platMessageBox(text, "SHUTDOWN ERROR", MB_OK | MB_ICONINFORMATION);
}

void ReSizeGLScene(int width, int height)
{
    if (height == 0)
        height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0f, (GLfloat)width / (GLfloat)height, 0.1f, 100.0f);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void KillGLWindow()
{
    if (fullscreen) {
        platRestoreDisplayMode();
        platShowCursor(true);
    }
    if (hRC) {
        if (!platMakeCurrent(nullptr, nullptr))
            shutdownError("Release Of DC And RC Failed.");
        if (!platDeleteContext(hRC))
            shutdownError("Release Rendering Context Failed.");
        hRC = nullptr;
    }
    if (hDC) {
        if (!platReleaseDC(hWnd, hDC))
            shutdownError("Release Device Context Failed.");
        hDC = nullptr;
    }
    if (hWnd) {
        if (!platDestroyWindow(hWnd))
            shutdownError("Could Not Release hWnd.");
        hWnd = nullptr;
    }
    if (classRegistered) {
        if (!platUnregisterClass("OpenGL"))
            shutdownError("Could Not Unregister Class.");
        classRegistered = false;
    }
}

bool CreateGLWindow(const char* title, int width, int height, int bits, bool wantFullscreen)
{
    fullscreen = wantFullscreen;

    if (!classRegistered) {
        if (!platRegisterClass("OpenGL", WndProc)) {
            creationError("Failed To Register The Window Class.");
            return false;
        }
        classRegistered = true;
    }

    if (fullscreen) {
        if (!platChangeDisplayMode(width, height, bits)) {
            // Unanswerable, the question takes the answer that keeps the show on.
            int answer = askUser(
                "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?",
                "Vexa GL", MB_ICONEXCLAMATION, IDYES);
            if (answer == IDYES) {
                fullscreen = false;
            } else {
                // The viewer's own choice, not a failure: WinMain exits with 0.
                windowDeclined = true;
                std::fprintf(stderr, "vallup: Program Will Now Close.\n");
                platMessageBox("Program Will Now Close.", "ERROR", MB_OK | MB_ICONSTOP);
                return false;
            }
        }
    }

    if (fullscreen)
        platShowCursor(false);

    int left = 0, top = 0, right = width, bottom = height;
    platAdjustWindowRect(&left, &top, &right, &bottom, fullscreen);

    hWnd = platCreateWindow("OpenGL", title, right - left, bottom - top, fullscreen);
    if (!hWnd) {
        KillGLWindow();
        creationError("Window Creation Error.");
        return false;
    }

    if (!pfdFilled) {
        pfd.cColorBits = (uint8_t)bits;
        pfdFilled = true;
    }

    hDC = platGetDC(hWnd);
    if (!hDC) {
        KillGLWindow();
        creationError("Can't Create A GL Device Context.");
        return false;
    }
    int format = platChoosePixelFormat(hDC, &pfd);
    if (!format) {
        KillGLWindow();
        creationError("Can't Find A Suitable PixelFormat.");
        return false;
    }
    if (!platSetPixelFormat(hDC, format, &pfd)) {
        KillGLWindow();
        creationError("Can't Set The PixelFormat.");
        return false;
    }
    hRC = platCreateContext(hDC);
    if (!hRC) {
        KillGLWindow();
        creationError("Can't Create A GL Rendering Context.");
        return false;
    }
    if (!platMakeCurrent(hDC, hRC)) {
        KillGLWindow();
        creationError("Can't Activate The GL Rendering Context.");
        return false;
    }

    platShowWindow(hWnd);
    platSetForegroundWindow(hWnd);
    platSetFocus(hWnd);
    ReSizeGLScene(width, height);

    if (!InitGL()) {
        KillGLWindow();
        creationError("Initialization Failed.");
        return false;
    }
    return true;
}

int pixelFormatColorBits() { return pfd.cColorBits; }
