// Frames per second of every scene of the show on the headless context, at
// 800 x 600 and 1920 x 1080, with the committed assets, each set against
// llvmpipe's own cost of filling what the scene fills (its fill bound), so
// that the table says how far a scene is from what the software renderer
// can do at all, not only how fast this machine was just now.
//
// Each scene is drawn the way the timeline draws it: Time stepped evenly
// through the scene's window (half a second clear of its ends, so every act
// of a scene is sampled), bpmsync and the three envelopes, the timeline's
// clear for it, the depth test off for the scenes the timeline runs without
// it, the scene's entry point (kept to the letterbox's opening where the
// timeline keeps it), then glFinish so the software renderer has really drawn
// the frame. The letterbox's bands are left out; the caption row is the
// timeline's closing window.
//
// The bound is a reference frame: the same clear, then plain quads of the
// scene's main layer's kind (its texture or a flat colour; opaque,
// alpha-blended or additive; depth test GL_LEQUAL with writes, or none)
// covering as many pixels as that scene frame wrote (an occlusion query
// counts them: every fragment without the depth test, those passing it with
// it), whole screens first, then a band of rows; then glFinish. A layer
// drawn at alpha 0 writes its pixels too, so it counts in the bound: the
// ratio measures how well a scene fills, not whether what it fills is seen.
// Scene and reference frames alternate one by one, so a burst of load from
// elsewhere hits both series alike and mostly cancels in the ratio, scene
// median / reference median. The kind and the clear are plain fields of the
// scene table below: change them there when a scene's state or the
// timeline's clear changes (bench/scenes.h, shared with the web build's
// bench/web/scene_fps.cpp). The table also gives the median CPU time of the
// whole process (all of the renderer's threads) per scene frame, which a
// busy machine disturbs less than the wall time, and the pixels written, in
// screens.
//
// A third frame, the scene frame kept to a one-pixel scissor box, costs the
// scene's vertex work (sending the vertices, transforming and clipping them)
// and little else: llvmpipe drops a triangle outside the box before setting
// it up. Its time over the bound (the floor column) is as near as the scene
// can come to the bound without sending less, and the scene time above it is
// setting up, binning and filling the triangles.
//
// usage (from the repository root): bench_scene_fps [frames] [name]
//        (default 300 frames; every scene, or those whose name starts so)
#define GL_GLEXT_PROTOTYPES 1   // the occlusion query (GL 1.5)
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/app.h"
#include "bench/scenes.h"
#include "demo/demo.h"
#include "platform/headless.h"
#include "platform/sound.h"
#include "render/render.h"

using Clock = std::chrono::steady_clock;

namespace {

// The reference frame: the scene's clear and one canvas-filling quad of its
// main layer's kind. Leaves what the scenes expect: texturing and blending
// off, the colour opaque white, the depth test as found.
void reference(const Scene& s, double pixels, int width, int height)
{
    glClear(s.clear);
    GLboolean depthWas = glIsEnabled(GL_DEPTH_TEST);
    if (s.depth) {
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glDepthMask(GL_TRUE);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    if (s.slot >= 0) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture[s.slot]);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
    if (s.blend == OPAQUE) {
        glDisable(GL_BLEND);
    } else {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, s.blend == ADD ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
    }
    glColor4f(1, 1, 1, s.blend == OPAQUE ? 1.0f : 0.5f);

    // Whole screens, then the rest as a band of rows from the top, at canvas
    // z = 0 (depth 0.5: every layer passes GL_LEQUAL over the one before).
    ViewOrtho();
    const double screen = (double)width * height;
    for (double left = pixels; left > 0; left -= screen) {
        float bottom = left >= screen ? 600.0f : (float)(600 * (left / screen));
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0);
        glVertex2f(0, 0);
        glTexCoord2f(0, bottom / 600);
        glVertex2f(0, bottom);
        glTexCoord2f(1, bottom / 600);
        glVertex2f(800, bottom);
        glTexCoord2f(1, 0);
        glVertex2f(800, 0);
        glEnd();
    }
    ViewPerspective();

    glColor4f(1, 1, 1, 1);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    if (depthWas)
        glEnable(GL_DEPTH_TEST);
    else
        glDisable(GL_DEPTH_TEST);
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
    double wallMs, cpuMs;   // medians per scene frame
    double boundMs;         // median per reference frame
    double unfilledMs;      // median per scene frame kept to one pixel
    double screens;         // median pixels written per scene frame, in screens
};

Cost measure(const Scene& s, int frames, int width, int height)
{
    GLuint query;
    glGenQueries(1, &query);
    float first = s.start + 0.5f;
    float step = (s.end - s.start - 1) / frames;
    Time = first;
    while (temp < 1023 && bpmtable[temp] <= first)   // the beats before the window
        bpmsync();
    for (int k = 0; k < 10; k++) {   // warm-up: both kinds of frame compiled and cached
        frame(s, first + k / 60.0f);
        reference(s, (double)width * height * 1.5, width, height);
    }
    glFinish();

    std::vector<double> wall, cpu, bound, unfilled, screens;
    for (int k = 0; k < frames; k++) {
        auto t0 = Clock::now();
        double c0 = cpuMs();
        glBeginQuery(GL_SAMPLES_PASSED, query);
        frame(s, first + k * step);
        glEndQuery(GL_SAMPLES_PASSED);
        glFinish();
        cpu.push_back(cpuMs() - c0);
        auto t1 = Clock::now();
        wall.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        GLuint written = 0;
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &written);
        screens.push_back((double)written / width / height);
        auto t2 = Clock::now();
        reference(s, written, width, height);
        glFinish();
        bound.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t2).count());
        auto t3 = Clock::now();
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, 1, 1);
        frame(s, first + k * step);
        glDisable(GL_SCISSOR_TEST);
        glFinish();
        unfilled.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t3).count());
    }
    glDeleteQueries(1, &query);
    if (glGetError() != GL_NO_ERROR)
        std::fprintf(stderr, "bench_scene_fps: %s left a GL error\n", s.name);
    return {median(wall), median(cpu), median(bound), median(unfilled), median(screens)};
}

}  // namespace

int main(int argc, char** argv)
{
    int frames = argc > 1 ? std::atoi(argv[1]) : 300;
    const char* only = argc > 2 ? argv[2] : "";
    auto chosen = [&](const Scene& s) { return std::strncmp(s.name, only, std::strlen(only)) == 0; };
    if (frames < 1) {
        std::fprintf(stderr, "usage: bench_scene_fps [frames] [name]   (a positive count)\n");
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
            if (chosen(SCENES[i]))
                result[z][i] = measure(SCENES[i], frames, sizes[z][0], sizes[z][1]);
        }
        platHeadlessDestroy();
    }

    std::printf("scene frames against the fill bound on the headless context, medians of %d "
                "alternating frames each\n",
                frames);
    std::printf("scene: clear + scene + glFinish; bound: clear + plain quads of the scene's kind "
                "over as many pixels as it wrote + glFinish;\nratio = scene / bound; cpu: process CPU "
                "time per scene frame; scr: pixels written, in screens;\n1px: the scene frame kept to a "
                "one-pixel scissor box (the vertex work); floor = 1px / bound;\nkind: texture "
                "slot or flat, blending, depth test (z) or none (-)\n");
    std::printf("%-22s | %-14s | %-54s | %s\n", "", "", "800 x 600", "1920 x 1080");
    for (int z = 0; z < 2; z++) {
        if (z == 0)
            std::printf("%-22s | %-14s |", "scene", "kind");
        std::printf(" %7s %5s %6s %4s %8s %5s %6s %5s |", "ms", "fps", "cpu ms", "scr", "bound ms",
                    "ratio", "1px ms", "floor");
    }
    std::printf("\n");
    for (int i = 0; i < SCENE_COUNT; i++) {
        if (!chosen(SCENES[i]))
            continue;
        char kind[32];
        std::printf("%-22s | %-14s |", SCENES[i].name, kindName(SCENES[i], kind, sizeof kind));
        for (int z = 0; z < 2; z++) {
            const Cost& c = result[z][i];
            std::printf(" %7.2f %5.0f %6.2f %4.1f %8.2f %5.2f %6.2f %5.2f |", c.wallMs,
                        1000 / c.wallMs, c.cpuMs, c.screens, c.boundMs, c.wallMs / c.boundMs,
                        c.unfilledMs, c.unfilledMs / c.boundMs);
        }
        std::printf("\n");
    }
    double load[3];
    if (getloadavg(load, 3) == 3)
        std::printf("load average at the end: %.2f (wall times grow with it; ratios less)\n",
                    load[0]);
    return 0;
}
