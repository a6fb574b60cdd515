// platform: the desktop services the show uses (a window with a GL context,
// headless GL, the music stream and its clock, PNG textures), as small layers
// of our own over SDL2, EGL or WGL, libmpg123 and libpng. The code above this
// module does not know which library or system is underneath: what differs
// lives in NAME_linux.cpp and NAME_windows.cpp, built for their target only.
//
//   window.h    windows, message boxes, display modes, messages, GL context (SDL2)
//   headless.h  a GL context with no display (EGL surfaceless; WGL pbuffer)
//   sound.h     the music stream and its clock (libmpg123; PulseAudio, WASAPI
//               or SDL2 audio)
//   png.h       PNG file to GL texture in one call (libpng)
//   files.h     where the program itself lies
//   process.h   child programs, pipes, stop requests and files for capture
//   console.h   the standard streams and UTF-8 arguments as the system gives them
#pragma once

#include "platform/console.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "platform/png.h"
#include "platform/process.h"
#include "platform/sound.h"
#include "platform/window.h"
