// Frames per second of every scene of the show on the headless context, at
// 800 x 600 and 1920 x 1080, with the committed assets.
//
// Each scene is drawn the way the timeline draws it: Time stepped evenly
// through the scene's window (half a second clear of its ends, so every act
// of a scene is sampled), bpmsync and the three envelopes, the clear, the
// scene's entry point, then glFinish so the software renderer has really
// drawn the frame. The letterbox is left out; the caption row is the
// timeline's closing window. A frame's cost is the clear, the scene and the
// finish; the table gives the median wall time and the median CPU time of the
// whole process (all of the renderer's threads), which a busy machine
// disturbs less than the wall time.
//
// usage (from the repository root): bench_scene_fps [frames]   (default 300)
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/app.h"
#include "demo/demo.h"
#include "platform/headless.h"
#include "platform/sound.h"
#include "render/render.h"

using Clock = std::chrono::steady_clock;

namespace {

struct Scene {
    const char* name;
    float start, end;   // the timeline window, s
    void (*draw)();
};

void tunnelAndInter()
{
    drawTunnel2();
    drawInter();
}

void column() { drawBollar3(90); }
void row() { drawBollar2(100); }
void caption()
{
    glClearColor(0, 0, 0, 0);
    drawText2(0, 119.15f);
}

const Scene SCENES[] = {
    {"drawIntroScene", 0, 22.5f, drawIntroScene},
    {"drawC64Scene", 22.5f, 52, drawC64Scene},
    {"flashsync", 52, 59.4f, flashsync},
    {"drawRotoZoomer", 59.4f, 82, drawRotoZoomer},
    {"drawRotoZoomer2(0)", 59.4f, 82, [] { drawRotoZoomer2(0); glDisable(GL_TEXTURE_2D); }},
    {"drawFace", 82, 90, drawFace},
    {"drawBollar3(90)", 90, 95, column},
    {"drawBollar", 95, 100, drawBollar},
    {"drawBollar2(100)", 100, 105, row},
    {"drawTunnel2+drawInter", 105, 115.25f, tunnelAndInter},
    {"drawTorusScene", 115.25f, 119.25f, drawTorusScene},
    {"drawCubeScene", 52, 59.4f, drawCubeScene},
    {"caption", 119.25f, 128, caption},
};
const int SCENE_COUNT = sizeof SCENES / sizeof SCENES[0];

// One frame as the timeline runs it, without the letterbox.
void frame(const Scene& s, float t)
{
    Time = t;
    bpmsync();
    float now = Time * 1000;
    flashbpm = smoothstep(trig[0], trig[0] + 300, now);
    flashbpm2 = smoothstep(trig[0], trig[0] + 100, now);
    syncbpm = smoothstep(trig[0], trig[0] + 800, now);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    s.draw();
}

double cpuMs()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Cost {
    double wallMs, cpuMs;   // medians per frame
};

Cost measure(const Scene& s, int frames)
{
    float first = s.start + 0.5f;
    float step = (s.end - s.start - 1) / frames;
    Time = first;
    while (temp < 1023 && bpmtable[temp] <= first)   // the beats before the window
        bpmsync();
    for (int k = 0; k < 10; k++)   // warm-up
        frame(s, first + k / 60.0f);
    glFinish();

    std::vector<double> wall, cpu;
    for (int k = 0; k < frames; k++) {
        auto t0 = Clock::now();
        double c0 = cpuMs();
        frame(s, first + k * step);
        glFinish();
        cpu.push_back(cpuMs() - c0);
        wall.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    if (glGetError() != GL_NO_ERROR)
        std::fprintf(stderr, "bench_scene_fps: %s left a GL error\n", s.name);
    return {median(wall), median(cpu)};
}

}  // namespace

int main(int argc, char** argv)
{
    int frames = argc > 1 ? std::atoi(argv[1]) : 300;
    if (frames < 1) {
        std::fprintf(stderr, "usage: bench_scene_fps [frames]   (a positive count)\n");
        return 2;
    }
    const int sizes[2][2] = {{800, 600}, {1920, 1080}};
    Cost result[2][SCENE_COUNT];

    for (int z = 0; z < 2; z++) {
        // A fresh start-up per size: tables, assets, a beat counter from 0.
        temp = 0;
        trig[0] = 0;
        if (!headlessStart(sizes[z][0], sizes[z][1]))
            return 1;
        for (int i = 0; i < SCENE_COUNT; i++) {
            // The beat counter never goes back: the unscheduled cube scene
            // is measured after the show's order, so start it afresh.
            if (SCENES[i].start < Time) {
                temp = 0;
                trig[0] = 0;
            }
            result[z][i] = measure(SCENES[i], frames);
        }
        platHeadlessDestroy();
    }

    std::printf("scene frame rate on the headless context, median of %d frames "
                "(clear + scene + glFinish)\n",
                frames);
    std::printf("%-22s | %-28s | %-28s\n", "", "800 x 600", "1920 x 1080");
    std::printf("%-22s | %8s %6s %12s | %8s %6s %12s\n", "scene", "wall ms", "fps", "cpu ms/frame",
                "wall ms", "fps", "cpu ms/frame");
    for (int i = 0; i < SCENE_COUNT; i++)
        std::printf("%-22s | %8.2f %6.0f %12.2f | %8.2f %6.0f %12.2f\n", SCENES[i].name,
                    result[0][i].wallMs, 1000 / result[0][i].wallMs, result[0][i].cpuMs,
                    result[1][i].wallMs, 1000 / result[1][i].wallMs, result[1][i].cpuMs);
    double load[3];
    if (getloadavg(load, 3) == 3)
        std::printf("load average at the end: %.2f (wall times grow with it)\n", load[0]);
    return 0;
}
