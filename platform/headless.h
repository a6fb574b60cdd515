// headless: a GL context with no display: EGL on Mesa's surfaceless platform
// with a pbuffer of the frame's size. The same compatibility-profile GL as a
// window (fixed function, GLU). Used by the frame and capture modes and by
// every GL test.
#pragma once

// Creates the context and makes it current; false (and *why) on failure.
bool platHeadlessCreate(int width, int height, const char** why);
void platHeadlessDestroy();

// Presents the pbuffer (what a window's buffer swap is to a window).
void platHeadlessSwap();
