// The scene benchmark (bench/scene_fps.cpp) in a browser: each scene's frame
// time through the show's GL 1.1 layer on WebGL 2 at 800 x 600, set against
// a plain WebGL fill of as many pixels in the same context, frame by frame.
//
// Per sample, three frames: the scene frame as the timeline draws it
// (bench/scenes.h) with every fragment it writes counted in the stencil
// buffer (fill.h: WebGL has no counting occlusion query); the same scene
// frame again, timed (clear, scene, glFinish, then one pixel read back: in
// Chromium WebGL's finish only flushes, a read waits for the drawing); then
// the reference frame, timed: the scene's clear and plain quads of its main
// layer's kind over as many pixels as the count found, drawn with WebGL
// directly (fill.h), and the same read. Scene and reference frames
// alternate, so a burst of load hits both alike; the ratio is scene median /
// reference median. The read's own cost (a round trip to Chromium's GPU
// process with nothing to wait for, in both figures) is timed too: "sync".
// A fourth frame, the scene frame kept to a one-pixel scissor box, costs what
// the scene costs besides filling (the layer's work on the CPU, sending the
// vertices, setting up triangles): "1px", as on the desktop.
//
// Built with emcc against the show's libraries (bench/web/CMakeLists.txt),
// driven by its page (bench/web/scene_fps.html) and bench/scene_fps_web.sh.
// For the page: bench_start(width, height) makes the headless context on the
// page's canvas and loads the show; bench_scene_count(), bench_scene_name(i);
// bench_measure(i, frames) measures one scene and returns one JSON object:
//   {"scene", "kind", "unscheduled", "ms", "fill_ms", "sync_ms", "px1_ms", "screens", "frames"}
#include <emscripten.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/app.h"
#include "bench/scenes.h"
#include "bench/web/fill.h"
#include "demo/demo.h"
#include "platform/headless.h"

namespace {

int W, H;

// The show's texture files by slot, for the slots the scene table's kinds
// name (the fill loads its own copy of the scene's main texture).
const char* textureFile(int slot)
{
    switch (slot) {
    case 0: return "data/textures/fyllecell_01.png";
    case 3: return "data/textures/c64.png";
    case 8: return "data/textures/boll.png";
    case 10: return "data/textures/extra02.png";
    case 11: return "data/textures/envmap3.png";
    case 12: return "data/textures/check2.png";
    default: return nullptr;
    }
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

std::string result;

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE int bench_start(int width, int height)
{
    W = width;
    H = height;
    temp = 0;
    trig[0] = 0;
    if (!headlessStart(width, height))
        return 0;
    return fillStart(width, height) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int bench_scene_count() { return SCENE_COUNT; }

EMSCRIPTEN_KEEPALIVE const char* bench_scene_name(int i) { return SCENES[i].name; }

EMSCRIPTEN_KEEPALIVE const char* bench_measure(int i, int frames)
{
    const Scene& s = SCENES[i];
    // The beat counter never goes back: a scene before the last one measured
    // starts it afresh.
    if (s.start < Time) {
        temp = 0;
        trig[0] = 0;
    }
    const char* path = s.slot >= 0 ? textureFile(s.slot) : nullptr;
    float first = s.start + 0.5f;
    float step = (s.end - s.start - 1) / frames;
    Time = first;
    while (temp < 1023 && bpmtable[temp] <= first)   // the beats before the window
        bpmsync();
    for (int k = 0; k < 10; k++) {   // warm-up: shaders, textures and buffers made and cached
        frame(s, first + k / 60.0f);
        glFinish();
        drawnSync();
        fillFrame(s.clear, path, s.blend, s.depth, (double)W * H * 1.5);
    }

    std::vector<double> wall, bound, sync, unfilled, screens;
    for (int k = 0; k < frames; k++) {
        float t = first + k * step;
        // The count, then the same frame timed. frame() sets Time and runs the
        // beat counter; the second pass at the same Time registers no beat
        // twice, and the envelopes are the same.
        countBegin();
        frame(s, t);
        glFinish();
        double written = countEnd();
        screens.push_back(written / W / H);

        double t0 = emscripten_get_now();
        frame(s, t);
        glFinish();
        drawnSync();
        double t1 = emscripten_get_now();
        drawnSync();
        wall.push_back(t1 - t0);
        sync.push_back(emscripten_get_now() - t1);

        bound.push_back(fillFrame(s.clear, path, s.blend, s.depth, written));

        double t3 = emscripten_get_now();
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, 1, 1);
        frame(s, t);
        glDisable(GL_SCISSOR_TEST);
        glFinish();
        drawnSync();
        unfilled.push_back(emscripten_get_now() - t3);
    }
    char kind[32];
    char buffer[512];
    std::snprintf(buffer, sizeof buffer,
                  "{\"scene\": \"%s\", \"kind\": \"%s\", \"unscheduled\": %s, \"ms\": %.3f, "
                  "\"fill_ms\": %.3f, \"sync_ms\": %.3f, \"px1_ms\": %.3f, \"screens\": %.3f, "
                  "\"frames\": %d}",
                  s.name, kindName(s, kind, sizeof kind), s.unscheduled ? "true" : "false",
                  median(wall), median(bound), median(sync), median(unfilled), median(screens),
                  frames);
    result = buffer;
    return result.c_str();
}

}  // extern "C"

int main() { return 0; }
