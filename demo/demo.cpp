// The timeline: one frame of the show.
#include "demo/demo.h"
#include "render/render.h"

float Time;
float flashbpm;
float flashbpm2;
float syncbpm;
const char* sceneName = "";
int bordersDrawn;

bool DrawGLScene()
{
    Time = (float)platStreamGetTime(stream) / 1000;

    bpmsync();

    float now = Time * 1000;
    flashbpm = smoothstep(trig[0], trig[0] + 300, now);
    flashbpm2 = smoothstep(trig[0], trig[0] + 100, now);
    syncbpm = smoothstep(trig[0], trig[0] + 800, now);

    sceneName = "";
    bordersDrawn = 0;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);

    // The windows are float constants, open at both ends, tested in order.
    if (Time > 0.0f && Time < 22.5f) {
        sceneName = "intro";
        drawIntroScene();
    } else if (Time > 22.5f && Time < 52.0f) {
        sceneName = "c64";
        drawC64Scene();
    } else if (Time > 52.0f && Time < 59.4f) {
        sceneName = "cubeflash";
        flashsync();
    } else if (Time > 59.4f && Time < 82.0f) {
        sceneName = "rotozoomer";
        drawRotoZoomer();
    } else if (Time > 82.0f && Time < 90.0f) {
        sceneName = "face";
        drawFace();
    } else if (Time > 90.0f && Time < 95.0f) {
        sceneName = "column";
        drawBollar3(90);
    } else if (Time > 95.0f && Time < 100.0f) {
        sceneName = "cross";
        drawBollar();
    } else if (Time > 100.0f && Time < 105.0f) {
        sceneName = "row";
        drawBollar2(100);
    } else if (Time > 105.0f && Time < 115.25f) {
        sceneName = "tunnel";
        drawTunnel2();
        drawInter();
    } else if (Time > 115.25f && Time < 119.25f) {
        sceneName = "torus";
        drawTorusScene();
    } else if (Time > 119.25f && Time < 136.0f) {
        sceneName = "caption";
        glClearColor(0, 0, 0, 0);   // shows from the next frame's clear on
        drawText2(0, 119.15f);
    }

    // The letterbox: two independent windows; none over the C64 scene.
    if (Time > 0.0f && Time < 22.0f) {
        drawBorders();
        bordersDrawn++;
    }
    if (Time > 52.0f && Time < 187.0f) {
        drawBorders();
        bordersDrawn++;
    }

    return !(Time > SHOW_END);
}
