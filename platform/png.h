// png: one call from a PNG file to a new GL texture (libpng underneath).
//
// pngBind reads every kind of PNG file: palette, grey, grey with alpha, RGB,
// RGB with alpha, 1 to 16 bits per channel, interlaced or not, with or
// without a tRNS chunk. The texture is always 8 bits per channel, GL_RGB8 or
// GL_RGBA8: palette and grey become RGB, a tRNS chunk becomes an alpha
// channel, 16-bit channels are rounded to 8 bits (v * 255 / 65535).
//
// Orientation: the file's first (top) row becomes texture row t = 0; nothing
// is flipped.
//
// Gamma: by default the texels are the stored values, unchanged. When the
// environment variable VIEWING_GAMMA holds a number from 0.5 to 5 (the
// exponent of the display the show is watched on, 2.2 for a usual monitor),
// colour channels are converted from the file's own gamma (its gAMA chunk,
// or 1/2.2 when it has none) to that display; alpha is never changed. So
// VIEWING_GAMMA=2.2 leaves an ordinary file as stored and VIEWING_GAMMA=1
// makes its texels linear. Any other value is ignored, with one line on
// standard error (once).
//
// Failures: a missing, unreadable, non-PNG, corrupt or truncated file, or one
// larger than the GL can hold, gives 0, creates no texture and changes no GL
// state; pngLastError says why. Nothing is printed.
#pragma once

enum { PNG_NOMIPMAP = 0, PNG_BUILDMIPMAPS = -1 };
enum { PNG_ALPHA = -2, PNG_SOLID = -1 };

struct pngInfo {
    unsigned int Width, Height;  // pixels
    unsigned int Depth;          // bits per channel in the file (1, 2, 4, 8 or 16)
    unsigned int Alpha;          // bits of alpha in the texture (0 or 8)
    // The ink: the smallest box holding every texel whose alpha is not 0,
    // columns [InkLeft, InkRight) and rows [InkTop, InkBottom) from the top;
    // the whole picture when it has no alpha, all four 0 when every texel is
    // clear.
    unsigned int InkLeft, InkTop, InkRight, InkBottom;
};

// Loads the file into a new texture (a new name per call) and returns its
// name, left bound to GL_TEXTURE_2D; 0 when the file cannot be read as a PNG.
//   mipmap     PNG_NOMIPMAP: level 0 only; any other value: a full chain of
//              box-filtered levels
//   trans      PNG_ALPHA: the file's alpha (or tRNS) when it has one, else RGB;
//              PNG_SOLID: alpha and tRNS transparency dropped, always RGB;
//              other values act as PNG_ALPHA
//   wrapst     GL_TEXTURE_WRAP_S and _T (GL_REPEAT, GL_CLAMP, ...)
//   minfilter, magfilter  GL filters; without mipmaps a mipmapping minification
//              filter falls back to its base (GL_NEAREST or GL_LINEAR), since
//              the texture would otherwise be incomplete and sample black
// `info` (may be null) receives the file's size and depth, the texture's
// alpha bits and its ink on success, zeros on failure.
unsigned int pngBind(const char* filename, int mipmap, int trans, pngInfo* info, int wrapst,
                     int minfilter, int magfilter);

// Why the last pngBind returned 0 ("" after a success): for messages.
const char* pngLastError();
