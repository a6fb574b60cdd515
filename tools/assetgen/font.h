// font: text set with FreeType from a Debian font file, as coverage masks.
//
// Sizes are in pixels (the font's em size); the mask is as tall as the
// font's ascent plus descent at that size and as wide as the set line.
#pragma once

#include "paint.h"

#include <string>

// Fonts the painters use (Debian's fonts-dejavu-core).
extern const char* const fontSansBold;   // path
extern const char* const fontMonoBold;   // path

// Sets one line of text. `tracking` adds pixels between letters. `mono`
// renders one-bit glyphs (hinted for crisp pixel text) instead of
// anti-aliased ones. An empty mask (w = 0) after saying on standard error
// what failed (font file missing, FreeType error). `baseline`, when given,
// receives the mask row the letters stand on.
Mask textMask(const char* fontPath, const std::string& text, int pixelSize, int tracking = 0,
              bool mono = false, int* baseline = nullptr);

// Count of textMask failures so far (a maker checks it before reporting success).
extern int fontErrors;

// Stacks `m` centred horizontally on a canvas-wide mask row band: returns x
// so that a mask of width w is centred on a canvas of width cw.
inline int centredX(int cw, const Mask& m) { return (cw - m.w) / 2; }
