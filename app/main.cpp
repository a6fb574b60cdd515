// The command line. The bare command is the show as it always was: the
// fullscreen question, then the show.
#include "app/app.h"
#include "demo/demo.h"
#include "platform/console.h"
#include "platform/headless.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

// --gles where the build draws through gl11 (Linux, not Windows).
#ifdef VALLUP_GL11
#define GLES_USAGE " [--gles]"
#define GLES_OPTION "  --gles              draw through OpenGL ES 3 (for drivers without desktop GL)\n"
#else
#define GLES_USAGE ""
#define GLES_OPTION ""
#endif

static const char USAGE[] =
    "usage: vallup [--windowed | --fullscreen]" GLES_USAGE "\n"
    "       vallup --frame SECONDS --out FILE.png [--size WxH] [--fps N]\n"
    "       vallup --capture FILE.mp4|FILE.mkv|DIR [--size WxH] [--fps N]\n"
    "\n"
    "Plays the show: a real-time demo locked to its music, about two minutes long.\n"
    "Its data is the data/ folder of the working directory, if that holds the show's\n"
    "files, else the one beside the program, else the installed one (../share/vallup\n"
    "beside the program), else that of the source tree it was built from.\n"
    "\n"
    "  --windowed          skip the fullscreen question and play in a window\n"
    "  --fullscreen        skip the question and play fullscreen\n"
    "  --frame SECONDS     render, headless, the frame a continuous run shows at that time\n"
    "                      (0 to 128: the show ends at 128 s)\n"
    "  --out FILE.png      where --frame writes its picture\n"
    "  --capture FILE|DIR  render the whole show headless: a .mp4/.mkv video with its music\n"
    "                      (needs ffmpeg), or a directory of numbered PNG frames\n"
    "  --size WxH          frame size in pixels for --frame and --capture (default 800x600)\n"
    "  --fps N             frame rate for --frame and --capture (default 60; N or N/D)\n"
    GLES_OPTION
    "  --help              this text\n"
    "  --version           the program's version\n"
    "\n"
    "Keys: Escape quits; Up/Down seek the music 1 s, Right/Left 0.5 s; F1 toggles fullscreen.\n"
    "Exit status: 0 when the show ends or is quit, 1 when it cannot start, 2 for a bad command line.\n";

static int usageError(const char* what, const char* arg)
{
    std::fprintf(stderr, "vallup: %s%s%s\n", what, arg ? ": " : "", arg ? arg : "");
    std::fprintf(stderr, "Try 'vallup --help'.\n");
    return 2;
}

static bool parseSize(const char* text, int* w, int* h)
{
    char tail;
    return std::sscanf(text, "%dx%d%c", w, h, &tail) == 2 && *w >= 16 && *h >= 16 &&
           *w <= 8192 && *h <= 8192;
}

static bool parseRate(const char* text, FrameRate* rate)
{
    char* end;
    errno = 0;
    long num = std::strtol(text, &end, 10);
    long den = 1;
    if (*end == '/') {
        den = std::strtol(end + 1, &end, 10);
    }
    if (errno || *end || num <= 0 || den <= 0 || num / den > 1000)
        return false;
    rate->num = num;
    rate->den = den;
    return true;
}

static bool parseSeconds(const char* text, double* seconds)
{
    char* end;
    errno = 0;
    *seconds = std::strtod(text, &end);
    return !errno && end != text && !*end && *seconds >= 0 && *seconds <= SHOW_END;
}

// The program works from the data's root, so a path the user gave relative to
// where they started is made absolute first.
static std::string absolute(const char* path)
{
    std::error_code err;
    std::filesystem::path full = std::filesystem::absolute(path, err);
    return err ? path : full.string();
}

int main(int argc, char** argv)
{
    platConsoleStart(&argc, &argv);
    bool frameMode = false;
    const char* capture = nullptr;
    double seconds = 0;
    const char* out = nullptr;
    int width = 800, height = 600;
    bool sizeGiven = false, fpsGiven = false;
    FrameRate rate;

    for (int i = 1; i < argc; i++) {
        const char* a = argv[i];
        auto value = [&](const char* name) -> const char* {
            if (i + 1 >= argc)
                return nullptr;
            (void)name;
            return argv[++i];
        };
        if (!std::strcmp(a, "--help") || !std::strcmp(a, "-h")) {
            std::fputs(USAGE, stdout);
            return 0;
        } else if (!std::strcmp(a, "--version")) {
            std::printf("vallup %s\n", VALLUP_VERSION);
            return 0;
        } else if (!std::strcmp(a, "--windowed")) {
            startMode = ASK_WINDOWED;
        } else if (!std::strcmp(a, "--fullscreen")) {
            startMode = ASK_FULLSCREEN;
        } else if (!std::strcmp(a, "--gles")) {
#ifdef VALLUP_GL11
            platGLES = true;
#else
            return usageError("--gles: this build draws with desktop OpenGL only", nullptr);
#endif
        } else if (!std::strcmp(a, "--frame")) {
            const char* v = value(a);
            if (!v || !parseSeconds(v, &seconds))
                return usageError("--frame needs a time in seconds from 0 to 128 (the show ends "
                                  "at 128 s)", v);
            frameMode = true;
        } else if (!std::strcmp(a, "--capture")) {
            if (!(capture = value(a)) || !*capture)
                return usageError("--capture needs a .mp4 or .mkv file or a directory", nullptr);
        } else if (!std::strcmp(a, "--out")) {
            if (!(out = value(a)))
                return usageError("--out needs a file name", nullptr);
        } else if (!std::strcmp(a, "--size")) {
            const char* v = value(a);
            if (!v || !parseSize(v, &width, &height))
                return usageError("--size needs WIDTHxHEIGHT, each 16 to 8192", v);
            sizeGiven = true;
        } else if (!std::strcmp(a, "--fps")) {
            const char* v = value(a);
            if (!v || !parseRate(v, &rate))
                return usageError("--fps needs a positive rate such as 60 or 60000/1001", v);
            fpsGiven = true;
        } else {
            return usageError("unknown option", a);
        }
    }

    if (capture) {
        if (frameMode || out)
            return usageError("--capture and --frame/--out do not go together", nullptr);
        if (startMode != ASK_USER)
            return usageError("--capture renders headless; drop --windowed/--fullscreen",
                              nullptr);
        const char* why = "";
        if (!captureTargetValid(capture, width, height, &why))
            return usageError(why, capture);
    } else if (frameMode) {
        if (!out)
            return usageError("--frame needs --out FILE.png", nullptr);
        if (startMode != ASK_USER)
            return usageError("--frame renders headless; drop --windowed/--fullscreen", nullptr);
    } else if (out || sizeGiven || fpsGiven) {
        return usageError("--out, --size and --fps go with --frame or --capture", nullptr);
    }

    std::string capturePath = capture ? absolute(capture) : "";
    std::string outPath = out ? absolute(out) : "";
    const char* trace = std::getenv("VALLUP_TRACE");
    if (trace && *trace)
        tracePath = absolute(trace);
    if (!enterDataRoot())
        return 1;

    if (capture)
        return runCapture(capturePath.c_str(), width, height, rate);
    if (frameMode)
        return runFrame(seconds, outPath.c_str(), width, height, rate);
    return WinMain();
}
