// platform: what Linux lacks of the show's original desktop, as small
// stand-ins of our own. The code above this module does not know which
// library is underneath.
//
//   window.h    windows, message boxes, display modes, messages, GL context (SDL2)
//   headless.h  a GL context with no display (EGL surfaceless, Mesa)
//   sound.h     the music stream and its clock (libmpg123 + SDL2 audio)
//   png.h       PNG file to GL texture in one call (libpng)
#pragma once

#include "platform/headless.h"
#include "platform/png.h"
#include "platform/sound.h"
#include "platform/window.h"
