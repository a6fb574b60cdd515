// The timeline: one frame of the show.
#include "demo/demo.h"
#include "render/render.h"

float Time;
float flashbpm;
float flashbpm2;
float syncbpm;
const char* sceneName = "";
int bordersDrawn;

namespace {

// What a scene needs of the depth buffer.
//   DEPTH   3D shapes hiding each other: cleared, tested.
//   CANVAS  the 2D canvas and sprites added with depth writes off: every
//           fragment passes GL_LEQUAL anyway (canvas layers go down at depths
//           1, then 0.5, the letterbox at 0; sprites meet a cleared buffer),
//           so the test is off and the depth buffer neither cleared nor read.
//           The pixels are the same; the software renderer fills them much
//           faster.
//   COVERED a CANVAS scene whose first layer is opaque over the whole screen:
//           no clear at all.
enum Depth { DEPTH, CANVAS, COVERED };

void column() { drawBollar3(90); }
void row() { drawBollar2(100); }
void tunnel()
{
    drawTunnel2();
    drawInter();
}
void caption()
{
    glClearColor(0, 0, 0, 0);   // shows from the next frame's clear on
    drawText2(0, 119.15f);
}

struct Scene {
    float from, to;   // the window, s, open at both ends
    const char* name;
    void (*draw)();
    Depth depth;
};

// The windows are float constants, tested in order.
const Scene SCENES[] = {
    {0.0f, 22.5f, "intro", drawIntroScene, CANVAS},
    {22.5f, 52.0f, "c64", drawC64Scene, DEPTH},
    {52.0f, 59.4f, "cubeflash", flashsync, DEPTH},
    {59.4f, 82.0f, "rotozoomer", drawRotoZoomer, COVERED},
    {82.0f, 90.0f, "face", drawFace, DEPTH},
    {90.0f, 95.0f, "column", column, CANVAS},
    {95.0f, 100.0f, "cross", drawBollar, CANVAS},
    {100.0f, 105.0f, "row", row, CANVAS},
    {105.0f, 115.25f, "tunnel", tunnel, DEPTH},
    {115.25f, 119.25f, "torus", drawTorusScene, DEPTH},
    {119.25f, 136.0f, "caption", caption, CANVAS},
};

}  // namespace

int letterboxWindows(float t) { return (t > 0.0f && t < 22.0f) + (t > 52.0f && t < 187.0f); }

bool DrawGLScene()
{
    Time = (float)platStreamGetTime(stream) / 1000;

    bpmsync();

    float now = Time * 1000;
    flashbpm = smoothstep(trig[0], trig[0] + 300, now);
    flashbpm2 = smoothstep(trig[0], trig[0] + 100, now);
    syncbpm = smoothstep(trig[0], trig[0] + 800, now);

    const Scene* scene = nullptr;
    for (const Scene& s : SCENES) {
        if (Time > s.from && Time < s.to) {
            scene = &s;
            break;
        }
    }
    Depth depth = scene ? scene->depth : DEPTH;

    sceneName = scene ? scene->name : "";
    bordersDrawn = 0;
    if (depth == DEPTH)
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    else if (depth == CANVAS)
        glClear(GL_COLOR_BUFFER_BIT);
    if (depth != DEPTH)
        glDisable(GL_DEPTH_TEST);

    // The letterbox's opaque bands, drawn last and nearest, hide whatever the
    // scene draws under them, so the scene is kept to the opening between
    // them: a third less to fill.
    const int bands = letterboxWindows(Time);
    ScissorState was;
    if (bands)
        was = scissorToOpening();
    if (scene)
        scene->draw();
    if (bands)
        restoreScissor(was);
    for (int i = 0; i < bands; i++) {
        drawBorders();
        bordersDrawn++;
    }

    if (depth != DEPTH)
        glEnable(GL_DEPTH_TEST);
    return !(Time > SHOW_END);
}
