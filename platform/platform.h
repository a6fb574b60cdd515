// platform: the desktop services the show uses (a window with a GL context,
// headless GL, the music stream and its clock, PNG textures), as small layers
// of our own over SDL2, EGL or WGL, libmpg123 and libpng, and in a browser
// over the page, WebGL 2 and Web Audio. The code above this module does not
// know which library or system is underneath: what differs lives in
// NAME_linux.cpp, NAME_windows.cpp and NAME_web.cpp (with the page's own
// JavaScript in web/), built for their target only.
//
//   window.h    windows, message boxes, display modes, messages, GL context (SDL2;
//               the page's canvas and boxes)
//   headless.h  a GL context with no display (EGL surfaceless; WGL pbuffer; a
//               canvas of the frame's size)
//   sound.h     the music stream and its clock (libmpg123; PulseAudio, WASAPI,
//               SDL2 audio or Web Audio)
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
