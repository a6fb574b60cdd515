// The show's scenes as the scene benchmarks draw them (bench/scene_fps.cpp on
// the desktop's headless context, bench/web/scene_fps.cpp in a browser): each
// scene's timeline window, its entry point, its main layer's kind (which the
// benchmarks' reference fill repeats) and the timeline's clear and depth test
// for it, and one frame of it as the timeline draws it. Included by one
// source file of each benchmark; everything here is file-local.
#pragma once

#include <cstdio>

#include "app/app.h"
#include "demo/demo.h"
#include "render/render.h"

namespace {

enum Blend { OPAQUE, ALPHA, ADD };   // off; SRC_ALPHA, ONE_MINUS_SRC_ALPHA; SRC_ALPHA, ONE

// DrawGLScene's clears: 3D scenes, the 2D canvas, the rotozoomer's opaque
// first layer over the whole screen.
const GLbitfield CLEAR_ALL = GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT;
const GLbitfield CLEAR_COLOUR = GL_COLOR_BUFFER_BIT;
const GLbitfield CLEAR_NONE = 0;

struct Scene {
    const char* name;
    float start, end;   // the timeline window, s
    void (*draw)();
    // The main layer's kind, which the reference quad repeats.
    int slot;           // texture slot; -1 for flat colour
    Blend blend;
    bool depth;         // the timeline runs it with the depth test (GL_LEQUAL, writes on)
    GLbitfield clear;   // what the timeline clears before it
    bool unscheduled = false;   // drawn by no window of the timeline
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

// Main layers: the intro's scrolling C64 picture (the copper bars are the
// same kind on slot 1), the C64 scene's backdrop and rings, the cube flash's
// back square, the rotozoomer's opaque tiled layer, the chrome meshes'
// environment map, the balls' additive billboards (their depth writes are
// off, the reference's on), the tunnel's tube under the two additive
// interlude images, the lattice's additive faces, the caption.
const Scene SCENES[] = {
    {"drawIntroScene", 0, 22.5f, drawIntroScene, 3, OPAQUE, false, CLEAR_COLOUR},
    {"drawC64Scene", 22.5f, 52, drawC64Scene, -1, OPAQUE, true, CLEAR_ALL},
    // Its acts: the screen alone, the sphere cloud, the tunnel over the
    // screen, the rolling tunnel on black.
    {"drawC64Scene screen", 22.5f, 25, drawC64Scene, -1, OPAQUE, true, CLEAR_ALL},
    {"drawC64Scene spheres", 25, 37, drawC64Scene, -1, OPAQUE, true, CLEAR_ALL},
    {"drawC64Scene tunnel", 37, 45, drawC64Scene, -1, OPAQUE, true, CLEAR_ALL},
    {"drawC64Scene rolling", 45, 52, drawC64Scene, -1, OPAQUE, true, CLEAR_ALL},
    {"flashsync", 52, 59.4f, flashsync, 10, ALPHA, true, CLEAR_ALL},
    {"drawRotoZoomer", 59.4f, 82, drawRotoZoomer, 12, OPAQUE, false, CLEAR_NONE},
    {"drawRotoZoomer2(0)", 59.4f, 82, [] { drawRotoZoomer2(0); glDisable(GL_TEXTURE_2D); }, 12,
     OPAQUE, true, CLEAR_ALL, true},
    {"drawFace", 82, 90, drawFace, 11, OPAQUE, true, CLEAR_ALL},
    {"drawBollar3(90)", 90, 95, column, 8, ADD, false, CLEAR_COLOUR},
    {"drawBollar", 95, 100, drawBollar, 8, ADD, false, CLEAR_COLOUR},
    {"drawBollar2(100)", 100, 105, row, 8, ADD, false, CLEAR_COLOUR},
    {"drawTunnel2+drawInter", 105, 115.25f, tunnelAndInter, 12, OPAQUE, true, CLEAR_ALL},
    {"drawTorusScene", 115.25f, 119.25f, drawTorusScene, 11, OPAQUE, true, CLEAR_ALL},
    {"drawCubeScene", 52, 59.4f, drawCubeScene, -1, ADD, false, CLEAR_ALL, true},
    {"caption", 119.25f, 128, caption, 0, ALPHA, false, CLEAR_COLOUR},
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
    glClear(s.clear);
    if (!s.depth)
        glDisable(GL_DEPTH_TEST);
    // Under the letterbox the timeline keeps the scene to the opening.
    const bool letterboxed = letterboxWindows(t) > 0;
    ScissorState was;
    if (letterboxed)
        was = scissorToOpening();
    s.draw();
    if (letterboxed)
        restoreScissor(was);
    glEnable(GL_DEPTH_TEST);
}

// "tex12 add z", "flat opaque -": texture slot or flat, blending, depth test.
const char* kindName(const Scene& s, char* out, size_t size)
{
    static const char* const BLENDS[3] = {"opaque", "alpha", "add"};
    if (s.slot >= 0)
        std::snprintf(out, size, "tex%d %s %s", s.slot, BLENDS[s.blend], s.depth ? "z" : "-");
    else
        std::snprintf(out, size, "flat %s %s", BLENDS[s.blend], s.depth ? "z" : "-");
    return out;
}

}  // namespace
