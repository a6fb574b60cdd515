// png: one call from a PNG file to a new GL texture (libpng underneath).
#pragma once

enum { PNG_NOMIPMAP = 0, PNG_BUILDMIPMAPS = -1 };
enum { PNG_ALPHA = -2, PNG_SOLID = -1 };

struct pngInfo {
    unsigned int Width, Height;  // pixels
    unsigned int Depth;          // bits per channel in the file
    unsigned int Alpha;          // bits of alpha in the texture (0 or 8)
};

// Loads the file into a new texture (a new name per call) with the given
// mipmap, alpha, wrap and filter choices, and returns its name; 0 when the
// file cannot be read as a PNG. The file's first row is texture row t = 0.
unsigned int pngBind(const char* filename, int mipmap, int trans, pngInfo* info, int wrapst,
                     int minfilter, int magfilter);
