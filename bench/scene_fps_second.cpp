// Frames per second of the second half's scenes, headless (llvmpipe), at
// 800 x 600 and 1920 x 1080: every frame is the timeline's whole frame
// (clear, scene, letterbox) at a time inside the scene's window, stepped at
// 60 fps through the window with the beat state a continuous run has there,
// and finished with glFinish. Median over N frames (default 300).
//
// The cube lattice (not scheduled) is timed on its own, and then split to
// show where its time goes:
//   full      clear + drawCubeScene, full viewport
//   scissor   the same with a 1 x 1 scissor box: vertex submission, transform
//             and clipping, almost no fragments
//   raster    full - scissor: what the fragments cost
//   list      the lattice's 4096 cubes replayed from one display list
//             (same geometry and state, no per-call immediate-mode cost)
// usage: bench_scene_fps_second [frames] [cube]   (from the repository root)
// With `cube`, only the full lattice at 800 x 600, for profiling.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/app.h"
#include "demo/demo.h"
#include "platform/headless.h"
#include "platform/sound.h"

using Clock = std::chrono::steady_clock;

static double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The beat counter and latest beat as a run that reached `seconds` has them.
static void beatsUpTo(float seconds)
{
    temp = 0;
    while (temp < 1024 && bpmtable[temp] <= seconds)
        temp++;
    trig[0] = temp ? bpmtable[temp - 1] * 1000 : 0;
}

// Median ms of `frames` calls of draw(i), each finished.
static double timeFrames(int frames, const std::function<void(int)>& draw)
{
    std::vector<double> ms;
    for (int i = 0; i < frames + 10; i++) {
        auto t0 = Clock::now();
        draw(i);
        glFinish();
        double d = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
        if (i >= 10)   // the first frames warm caches and shader variants
            ms.push_back(d);
    }
    return median(ms);
}

struct Section {
    const char* name;
    float start, end;   // the scene's window, s
};

static const Section SECTIONS[] = {
    {"drawFace", 82, 90},
    {"drawBollar3 (column)", 90, 95},
    {"drawBollar (cross)", 95, 100},
    {"drawBollar2 (row)", 100, 105},
    {"drawTunnel2 + drawInter", 105, 115.25f},
    {"drawTorusScene", 115.25f, 119.25f},
};

// One timeline frame at the i-th 60 fps step inside [start, end].
static void sectionFrame(const Section& s, int i)
{
    int first = (int)std::ceil(s.start * 1000) + 1;
    int span = (int)((s.end - s.start) * 1000) - 2;
    int ms = first + (int)((long long)i * 1000 / 60 % span);
    beatsUpTo((float)ms / 1000 - 0.001f);
    platSoundSetManualTime(ms);
    DrawGLScene();
}

static void cubeFrame(int i)
{
    Time = 20 + i / 60.0f;
    flashbpm = (i % 57) / 19.0f > 1 ? 1 : (i % 57) / 19.0f;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    drawCubeScene();
}

int main(int argc, char** argv)
{
    int frames = argc > 1 ? std::atoi(argv[1]) : 300;
    bool cubeOnly = argc > 2 && std::string(argv[2]) == "cube";
    if (frames < 1) {
        std::fprintf(stderr, "usage: bench_scene_fps_second [frames] [cube]\n");
        return 2;
    }
    const int sizes[2][2] = {{800, 600}, {1920, 1080}};
    double sectionMs[6][2], cube[2][3];

    for (int z = 0; z < 2; z++) {
        int w = sizes[z][0], h = sizes[z][1];
        // Start-up writes to standard output when the track is missing;
        // keep the table clean.
        std::fflush(stdout);
        int saved = dup(1);
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        bool started = headlessStart(w, h);
        std::fflush(stdout);
        dup2(saved, 1);
        close(null);
        close(saved);
        if (!started) {
            std::fprintf(stderr, "bench_scene_fps_second: no headless context\n");
            return 1;
        }
        if (cubeOnly) {
            std::printf("drawCubeScene 800x600: %.2f ms\n", timeFrames(frames, cubeFrame));
            return 0;
        }
        for (int k = 0; k < 6; k++)
            sectionMs[k][z] = timeFrames(frames, [&](int i) { sectionFrame(SECTIONS[k], i); });

        cube[z][0] = timeFrames(frames, cubeFrame);
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, 1, 1);
        cube[z][1] = timeFrames(frames, cubeFrame);
        glDisable(GL_SCISSOR_TEST);

        // The same lattice from a display list: what immediate mode costs.
        GLuint list = glGenLists(1);
        Time = 20;
        flashbpm = 1;
        glNewList(list, GL_COMPILE);
        drawCubeScene();
        glEndList();
        cube[z][2] = timeFrames(frames, [&](int) {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
            glCallList(list);
        });
        glDeleteLists(list, 1);
        platHeadlessDestroy();
    }

    std::printf("median of %d frames, ms per frame (frames per second)\n", frames);
    std::printf("%-28s %18s %18s\n", "scene", "800x600", "1920x1080");
    for (int k = 0; k < 6; k++)
        std::printf("%-28s %8.2f (%6.0f) %8.2f (%6.0f)\n", SECTIONS[k].name, sectionMs[k][0],
                    1000 / sectionMs[k][0], sectionMs[k][1], 1000 / sectionMs[k][1]);
    const char* parts[3] = {"drawCubeScene full", "  1x1 scissor", "  display list"};
    for (int p = 0; p < 3; p++)
        std::printf("%-28s %8.2f (%6.0f) %8.2f (%6.0f)\n", parts[p], cube[0][p], 1000 / cube[0][p],
                    cube[1][p], 1000 / cube[1][p]);
    std::printf("%-28s %8.2f          %8.2f\n", "  raster (full - scissor)", cube[0][0] - cube[0][1],
                cube[1][0] - cube[1][1]);
    return 0;
}
