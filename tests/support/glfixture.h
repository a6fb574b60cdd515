// Test support: one headless GL context per test process, and pixel reads in
// canvas terms.
#pragma once

#include <GL/gl.h>

#include <array>

namespace glfix {

// Makes the process's headless context current (created on first use) at
// this size, with the viewport and the show's perspective set for it.
// Fails the calling test when no context can be made.
void context(int width = 800, int height = 600);

// The show's start-up GL state, without loading assets or music: what InitGL
// sets before its tables and files. For tests of single drawing routines.
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
