// app: the application shell: the entry point and message loop, the window
// procedure, the window with its GL context, and the headless modes.
//
// The shell owns the few globals of the desktop side. WndProc writes the key
// flags and `active`; CreateGLWindow writes `fullscreen` (and F1 flips it).
#pragma once

#include "platform/window.h"

#include <string>
#include <vector>

extern bool keys[256];     // held keys by Win32 virtual-key code; written by WndProc (F1 cleared by WinMain)
extern bool active;        // false while minimised; written by WndProc
extern bool fullscreen;    // exclusive fullscreen mode; written by WinMain and CreateGLWindow
extern bool windowDeclined; // the viewer answered No to the fallback question; set by CreateGLWindow
extern PlatWindow* hWnd;   // the one window; owned by CreateGLWindow/KillGLWindow
extern PlatDC* hDC;        // its drawable
extern PlatContext* hRC;   // its GL context

// How the show was started (command line); read by WinMain.
enum AskMode { ASK_USER, ASK_WINDOWED, ASK_FULLSCREEN };
extern AskMode startMode;
// VALLUP_TRACE's file, made absolute before the data's folder is entered ("":
// no trace); set by main.
extern std::string tracePath;

// The show on a desktop: the question, the window, the loop. Exit status:
// 0 when the show ends or is quit (No to the fallback question is quitting),
// 1 when the window cannot be created.
int WinMain();
long WndProc(PlatWindow* window, unsigned message, unsigned wParam, long lParam);

bool CreateGLWindow(const char* title, int width, int height, int bits, bool wantFullscreen);
void KillGLWindow();
void ReSizeGLScene(int width, int height);
int pixelFormatColorBits();   // colour bits of the kept pixel-format request

// A yes/no question in a box: IDYES or IDNO. On a display that can show no
// box, the question and `unseenAnswer` go to standard error and that answer
// is taken, never a silent decision.
int askUser(const char* text, const char* caption, unsigned icon, int unseenAnswer);

// ---- the data (datadir.cpp) ----------------------------------------------
// The show reads data/... relative to the working directory, so at start it
// changes into the data's root: the first of these places whose data/ holds
// any file the show reads.
struct DataPlace {
    std::string dir;    // absolute
    const char* what;   // for the error message: "the working directory", ...
};
// In order: the working directory; share/vallup beside the program's bin/
// folder (an installed copy); the source tree the program was built from.
std::vector<DataPlace> dataPlaces();
// The first place that holds the data, "" when none does.
std::string findDataRoot(const std::vector<DataPlace>& places);
// Changes into the data's root; false, having said on standard error where it
// looked, when there is none.
bool enterDataRoot();

// ---- headless modes (frame.cpp) -----------------------------------------
// A frame time as a whole number of frames at a rate num/den frames a second.
struct FrameRate {
    long num = 60;   // frames ...
    long den = 1;    // ... per this many seconds
};

// Position in ms of frame k at this rate: floor(k * 1000 * den / num).
int frameTimeMs(long k, FrameRate rate);
// The last frame whose time is not above `seconds`.
long frameIndexAt(double seconds, FrameRate rate);

// Starts the show headless at this size in manual-clock mode (InitGL run).
bool headlessStart(int width, int height);
// Renders frame k of a continuous run (DrawGLScene at its time); false once the
// show is over. `cheap` renders into a 1 x 1 scissor box: the same state
// afterwards, almost no pixels.
bool headlessFrame(long k, FrameRate rate, bool cheap);
// Reads the frame buffer top row first as RGB bytes (width x height x 3).
void headlessReadRGB(int width, int height, unsigned char* out);
// Reads it as GL holds it, bottom row first, B, G, R, A bytes (width x height
// x 4): the software renderer's own layout, three times faster to read back.
void headlessReadBGRA(int width, int height, unsigned char* out);

// --frame: renders the frame a continuous run shows at `seconds`, to a PNG.
int runFrame(double seconds, const char* outPath, int width, int height, FrameRate rate);

// Writes RGB rows (top row first) as an 8-bit PNG; false with *why on failure.
bool writePngRGB(const char* path, int width, int height, const unsigned char* rgb,
                 const char** why);

// --capture: the whole show headless at this rate, from frame 0 to its end,
// into a .mp4/.mkv video (ffmpeg, with the track as sound) or into a
// directory of frame-NNNNNN.png files. Frame k is the picture `--frame k/N`
// gives. Status 0 when done, 1 on failure (no ffmpeg, a write error); Ctrl-C
// keeps what was done and then ends the process by that signal.
int runCapture(const char* path, int width, int height, FrameRate rate);
// Whether `path` names something --capture can write at that size; *why if not.
bool captureTargetValid(const char* path, int width, int height, const char** why);
