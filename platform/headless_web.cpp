// The headless context in a web page: the frame and capture modes draw on a
// canvas of exactly the frame's size at the page's top-left corner (its CSS
// size its pixel size, no border), with the same WebGL 2 context and GL 1.1
// layer as the window. The canvas keeps its picture when the context is
// given up, so the page shows the last frame drawn.
#include "platform/headless.h"

#include "gl11/gl11.h"

#include <emscripten/html5.h>

// platform/web/window.js
extern "C" int vallupHeadlessCanvas(int width, int height);   // 0: no page to draw on

namespace {
EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context;
bool gl11Started;
}

bool platHeadlessCreate(int width, int height, const char** why)
{
    const char* dummy;
    if (!why)
        why = &dummy;
    if (!vallupHeadlessCanvas(width, height)) {
        *why = "no page to draw on";
        return false;
    }
    EmscriptenWebGLContextAttributes attrs;
    emscripten_webgl_init_context_attributes(&attrs);
    attrs.majorVersion = 2;
    attrs.minorVersion = 0;
    attrs.alpha = false;
    attrs.depth = true;
    attrs.stencil = true;   // as the desktop's headless context (8 bits)
    attrs.antialias = false;
    attrs.preserveDrawingBuffer = true;   // the picture stays for the page and its readers
    attrs.failIfMajorPerformanceCaveat = false;
    context = emscripten_webgl_create_context("#canvas", &attrs);
    if (context <= 0) {
        context = 0;
        *why = "this browser offers no WebGL 2 (or has it switched off)";
        return false;
    }
    if (emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS) {
        *why = "cannot make the WebGL 2 context current";
        platHeadlessDestroy();
        return false;
    }
    if (!gl11Start(true, why)) {
        platHeadlessDestroy();
        return false;
    }
    gl11Started = true;
    return true;
}

void platHeadlessDestroy()
{
    if (!context)
        return;
    if (gl11Started)
        gl11Stop();
    gl11Started = false;
    emscripten_webgl_make_context_current(0);
    emscripten_webgl_destroy_context(context);
    context = 0;
}

// The canvas shows what was drawn once the page has the thread back.
void platHeadlessSwap() {}
