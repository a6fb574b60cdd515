// Test support: one headless GL context per test process, and pixel reads in
// canvas terms.
#pragma once

#include <GL/gl.h>

#include <array>

namespace glfix {

// Makes the process's headless context current (created on first use) at
// this size, with every matrix stack at its base, the viewport and the show's
// perspective set for it. Fails the calling test when no context can be made.
void context(int width = 800, int height = 600);

// A new context at this size, whatever the current one: every piece of GL
// state at GL's defaults and no texture names, as a window creation gives the
// show's start-up. Textures of earlier tests are gone with the old one.
void freshContext(int width = 800, int height = 600);

// What a process starting the show has before InitGL, whatever ran before in
// this one: a fresh context, the manual clock at 0, no beat registered, the
// cube at its first placement, the scene envelopes and Time at 0, and rand()
// at its start (so InitGL's random table is a fresh process's).
void freshShow(int width, int height);

// The show's start-up GL state, without loading assets or music: GL's own
// defaults for what scenes and tests switch (lighting with light 0 and the
// materials, fog, culling, masks, texture generation, blend function,
// texture environment, texture matrix), then what InitGL sets before its
// tables and files. For tests of single drawing routines.
void baselineState();

// RGBA bytes of the pixel at window x, y with y counted from the TOP row.
std::array<int, 4> pixel(int x, int y);

// Same, at a canvas point (800 x 600 canvas scaled to the viewport).
std::array<int, 4> canvasPixel(float cx, float cy);

// Matrix stack depths, for hand-over checks.
int modelviewDepth();
int projectionDepth();
int textureDepth();

// What every scene leaves for the next drawing: no GL error, all three matrix
// stacks at their base, the model-view matrix selected, blending off.
// Failures name `where`.
void expectHandOver(const char* where);

// Runs one timeline frame (DrawGLScene) at `ms` of music on the manual clock.
void frameAt(int ms);

}  // namespace glfix
