// platform: the desktop services the show uses (a window with a GL context,
// headless GL, the music stream and its clock, PNG textures), as small layers
// of our own over SDL2, EGL, libmpg123 and libpng. The code above this module
// does not know which library is underneath.
//
//   window.h    windows, message boxes, display modes, messages, GL context (SDL2)
//   headless.h  a GL context with no display (EGL surfaceless, Mesa)
//   sound.h     the music stream and its clock (libmpg123 + SDL2 audio)
//   png.h       PNG file to GL texture in one call (libpng)
//   files.h     where the program itself lies (Linux /proc)
#pragma once

#include "platform/files.h"
#include "platform/headless.h"
#include "platform/png.h"
#include "platform/sound.h"
#include "platform/window.h"
