// Plain WebGL 2 beside the show's GL 1.1 layer (gl11), on the same context,
// for bench/web/scene_fps.cpp: the reference fill a scene frame is measured
// against, and the count of the pixels a scene frame writes (WebGL has no
// counting occlusion query). Each call puts back every piece of GL state it
// changes, so gl11 finds the context as it left it.
#pragma once

// Loads the reference fill's program and geometry; false when WebGL 2 will
// not compile them (the reason on standard error). The context is current.
bool fillStart(int width, int height);

// Waits until everything drawn so far has really been drawn: reads one pixel
// of the bound framebuffer back. Chromium's WebGL finish() only flushes.
void drawnSync();

// From countBegin to countEnd every fragment written (each that passes the
// depth test where it is on) adds one to its pixel's stencil value (at most
// 255 a pixel); countEnd returns their sum. In between, draw through gl11 and
// flush it (glFinish) before countEnd. countBegin clears the stencil buffer;
// the colour buffer holds the count's own picture after countEnd.
void countBegin();
double countEnd();

// The reference frame: clear (GL_*_BUFFER_BIT, as the scene's clear), then
// plain quads of the scene's main layer's kind covering `pixels` pixels:
// whole screens, then a band of rows from the top, at depth 0.5. texture: a
// PNG file (drawn with nearest texels, repeated, as the show's textures), or
// nullptr for flat white; blend 0 opaque, 1 alpha (SRC_ALPHA,
// ONE_MINUS_SRC_ALPHA), 2 additive (SRC_ALPHA, ONE), colour alpha 0.5 when
// blended; depth: test GL_LEQUAL with writes, else no test. Returns the
// milliseconds from the clear to the end of drawnSync (the frame really
// drawn), leaving out the setting and putting back of state around them.
double fillFrame(unsigned clear, const char* texture, int blend, bool depth, double pixels);
