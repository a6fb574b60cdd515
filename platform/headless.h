// headless: a GL context with no display: EGL on Mesa's surfaceless platform
// with a pbuffer of the frame's size. The same compatibility-profile GL as a
// window (fixed function, GLU). Used by the frame and capture modes and by
// every GL test.
#pragma once

// Draw through OpenGL ES 3 (gl11's shaders) rather than desktop GL 1.1: set by
// --gles before any context is made; read by the window and headless
// contexts. False by default.
extern bool platGLES;

// Creates the context and makes it current; false (and *why) on failure.
// With platGLES the context is OpenGL ES 3.0 (a compatibility-profile GL
// otherwise) and gl11 is started on it; on builds without gl11 the flag is
// ignored.
bool platHeadlessCreate(int width, int height, const char** why);
void platHeadlessDestroy();

// Presents the pbuffer (what a window's buffer swap is to a window).
void platHeadlessSwap();
