// The entry point's loop and the window procedure.
#include "app/app.h"
#include "demo/demo.h"

#include <cstdio>
#include <cstdlib>
#include <sys/time.h>

bool keys[256];
bool active = true;
AskMode startMode = ASK_USER;
std::string tracePath;

// VALLUP_TRACE names a file that receives one line per drawn frame: the frame's
// Time in seconds, the seek keys held after it, and the wall clock when it was
// drawn (seconds since 1970, the clock screen and sound recorders stamp with).
// Lines starting with '#' note other events (a window made, drawing stopped or
// resumed by `active`). Tests read it to see what the show did.
static FILE* traceFile;

static void traceWindow(const char* title, int width, int height)
{
    if (!traceFile)
        return;
    int w = 0, h = 0;
    platGetClientSize(hWnd, &w, &h);
    std::fprintf(traceFile, "# window \"%s\" asked %dx%d client %dx%d colorbits %d fullscreen %d\n",
                 title, width, height, w, h, pixelFormatColorBits(), fullscreen ? 1 : 0);
    std::fflush(traceFile);
}

// A frame line: Time, then the seek keys held after it (U D R L, or -), which
// this pass applies, so the next line's Time shows their effect, then the wall
// clock.
static bool tracedActive = true;   // what the trace last said of `active`

static void traceFrame()
{
    if (!tracedActive) {
        std::fputs("# active 1\n", traceFile);
        tracedActive = true;
    }
    char held[5] = "", *h = held;
    if (keys[VK_UP])
        *h++ = 'U';
    if (keys[VK_DOWN])
        *h++ = 'D';
    if (keys[VK_RIGHT])
        *h++ = 'R';
    if (keys[VK_LEFT])
        *h++ = 'L';
    *h = 0;
    struct timeval wall;
    gettimeofday(&wall, nullptr);
    std::fprintf(traceFile, "%.3f %s %ld.%06ld\n", Time, h == held ? "-" : held, (long)wall.tv_sec,
                 (long)wall.tv_usec);
    std::fflush(traceFile);   // readable while the show runs
}

static void openTrace()
{
    if (!tracePath.empty() && !traceFile) {
        traceFile = std::fopen(tracePath.c_str(), "w");
        if (!traceFile)
            std::fprintf(stderr, "vallup: cannot write the trace file %s\n", tracePath.c_str());
    }
}

long WndProc(PlatWindow* window, unsigned message, unsigned wParam, long lParam)
{
    switch (message) {
    case WM_ACTIVATE:
        active = ((wParam >> 16) & 0xFFFF) == 0;
        return 0;
    case WM_SYSCOMMAND:
        if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER)
            return 0;
        break;
    case WM_CLOSE:
        platPostQuitMessage(0);
        return 0;
    case WM_KEYDOWN:
        keys[wParam & 0xFF] = true;
        return 0;
    case WM_KEYUP:
        keys[wParam & 0xFF] = false;
        return 0;
    case WM_SIZE:
        ReSizeGLScene(lParam & 0xFFFF, (lParam >> 16) & 0xFFFF);
        return 0;
    }
    return platDefWindowProc(window, message, wParam, lParam);
}

int WinMain()
{
    const char* why = "";
    if (!platInitVideo(&why)) {
        std::fprintf(stderr, "vallup: cannot open a window: %s\n", why);
        std::fprintf(stderr, "vallup: to watch the show without a display, render it: "
                             "vallup --capture show.mp4\n");
        return 1;
    }
    openTrace();

    if (startMode == ASK_USER) {
        if (askUser("Would You Like To Run In Fullscreen Mode?", "Start FullScreen?",
                    MB_ICONQUESTION, IDNO) == IDNO)
            fullscreen = false;
    } else {
        fullscreen = startMode == ASK_FULLSCREEN;
    }

    if (!CreateGLWindow("vallup 123 driskel", 800, 600, 32, fullscreen))
        return windowDeclined ? 0 : 1;
    traceWindow("vallup 123 driskel", 800, 600);

    MSG msg = {};
    bool done = false;
    while (!done) {
        if (platPeekMessage(&msg)) {
            if (msg.message == WM_QUIT) {
                done = true;
            } else {
                platTranslateMessage(&msg);
                platDispatchMessage(&msg);
            }
            continue;
        }

        if (active) {
            // The frame shows the music heard when it reaches the screen.
            platSoundSetLead(platPresentLead());
            if (!DrawGLScene()) {
                done = true;
                continue;
            }
            if (traceFile)
                traceFrame();
        } else if (traceFile && tracedActive) {
            std::fputs("# active 0\n", traceFile);
            std::fflush(traceFile);
            tracedActive = false;
        }
        if (keys[VK_ESCAPE]) {
            done = true;
            continue;
        }
        platSwapBuffers(hDC);

        // Held keys seek on every frame, each from this frame's Time.
        if (keys[VK_UP])
            autoSetTime(1000);
        if (keys[VK_DOWN])
            autoSetTime(-1000);
        if (keys[VK_RIGHT])
            autoSetTime(500);
        if (keys[VK_LEFT])
            autoSetTime(-500);

        if (keys[VK_F1]) {
            keys[VK_F1] = false;
            KillGLWindow();
            fullscreen = !fullscreen;
            if (!CreateGLWindow("Vexa's Textures, Lighting & Keyboard Tutorial", 640, 480, 16,
                                fullscreen))
                return windowDeclined ? 0 : 1;
            traceWindow("Vexa's Textures, Lighting & Keyboard Tutorial", 640, 480);
        }
    }

    KillGLWindow();
    if (traceFile)
        std::fclose(traceFile);
    platQuitVideo();
    // Quit through the window's close request carries PostQuitMessage's code;
    // Escape and the end of the show are a normal end too.
    return msg.message == WM_QUIT ? (int)msg.wParam : 0;
}
