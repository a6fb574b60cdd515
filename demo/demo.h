// demo: the show's director and its scenes.
//
// Every frame DrawGLScene reads the music position into Time, lets bpmsync
// register at most one beat, builds the beat envelopes, clears, and calls the
// one scene whose time window holds Time. Scenes on the 2D canvas run with the
// depth test off (it decides nothing there) and get it back on afterwards;
// under the letterbox a scene is kept to the opening between its bands.
// Scenes are functions of Time, the envelopes, the beat counter and the little
// GL state earlier frames leave (the clear colour above all), so seeking the
// music seeks the show.
//
// Units: Time in float seconds; the music position and seeks in integer
// milliseconds; trig in float milliseconds; GL rotations in degrees, sin and
// cos in radians. Every time window is open at both ends.
//
// Arithmetic: time formulas are worked in 32-bit floats (their constants are
// floats); sin and cos are taken in double precision of that float argument,
// std::sin((double)x), and the result rounded to float where it is stored or
// handed to GL.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>

#include "math/autovector.h"
#include "mesh/obj.h"
#include "platform/sound.h"
#include "render/render.h"   // declares Time and texture, which the toolkit reads too

// ---- timeline (demo.cpp) -------------------------------------------------
// Written once at the start of each frame by DrawGLScene; read by everything:
// Time (render.h), s of music from 0, and the beat envelopes.
extern float flashbpm;    // 0..1: 0 at a beat, back to 1 over 300 ms
extern float flashbpm2;   // 0..1: the same over 100 ms
extern float syncbpm;     // 0..1: the same over 800 ms

// What the last frame drew, for tests and traces; written by DrawGLScene.
extern const char* sceneName;   // "intro", "c64", ... "caption"; "" for none
extern int bordersDrawn;        // letterbox passes drawn (0 or 1)

// The show ends at the first frame whose Time is above this: the frame at
// exactly 128 s is still shown.
const float SHOW_END = 128.0f;   // s

// Renders one frame; false once Time is above SHOW_END (the show is over).
bool DrawGLScene();
// How many letterbox windows hold Time t, s: two independent windows, 0 to 22
// and 52 to 187 s (none over the C64 scene), so 0 or 1.
int letterboxWindows(float t);

// ---- music clock and beats (music.cpp) -----------------------------------
extern PlatStream* stream;      // the playing stream; written by autoInitAudio
extern int channel;             // -1 until playback started; written by autoInitAudio
extern float bpmtable[1024];    // beat i at bpmtable[i] s; written by calcbpm
extern int temp;                // beats registered = index of the next; written by bpmsync
extern float trig[4];           // trig[0]: latest beat, ms of music; written by bdTriggered
extern VECTOR3 vRand[2000];     // components in [-10, 9.8] step 0.2; written by genrandtab

extern const char* const TRACK; // "data/music/track.mp3", relative to the data's root
void autoInitAudio();           // opens TRACK and starts it once
void autoSetTime(int offset);   // seek to Time + offset ms
void calcbpm(float bpm);
void bpmsync();
void bdTriggered();
void genrandtab();
void autoExitShaders();         // ends the process with status 0; nothing calls it

// ---- start-up and assets (startup.cpp) -----------------------------------
// Filled by InitGL at every window creation; read by the scenes. `texture`
// (render.h): slots 0..18 from data/textures, 0 when missing.
extern OBJ_Model_t model[32];   // slots 0..3 from data/3d, all zero when missing
extern GLUquadricObj* q;        // shared quadric: smooth normals, texture coordinates

bool InitGL();                  // always true
void loadModels();

// Whether `dir`/data holds any file the show reads (the track, a mesh, a
// texture): how the program knows the data's root when it starts.
bool holdsShowData(const char* dir);

// ---- scenes: one file per family ----------------------------------------
void drawIntroScene();          // intro.cpp, 0 to 22.5 s
void drawC64Noise();
void drawTv(int slot);          // not scheduled

void drawC64Scene();            // c64.cpp, 22.5 to 52 s

extern int effect;              // cubeflash.cpp: placement 0..4; written by flashsync
void flashsync();               // 52 to 59.4 s
void drawCubeExtra(float x, float y, float s);
// The cube [-1, 1]^3 in one GL_QUADS batch: a normal per face, a texture
// coordinate before each vertex (sent whether texturing is on or not). Drawn
// by the cube flash and the unscheduled lattice.
void drawUnitCube();

void drawRotoZoomer();          // rotozoom.cpp, 59.4 to 82 s
void drawBubblan();
void drawRotoZoomer2(int variant);  // not scheduled

void drawFace();                // meshscenes.cpp, 82 to 90 s
void drawTunnel2();             // 105 to 115.25 s, then drawInter
void drawInter();
void drawTorusScene();          // 115.25 to 119.25 s

void drawBollar3(float start);  // balls.cpp, 90 to 95 s
void drawBollar();              // 95 to 100 s
void drawBollar2(float start);  // 100 to 105 s

void drawCubeScene();           // unscheduled.cpp, not scheduled
void DrawFloor();
