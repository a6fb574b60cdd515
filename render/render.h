// render: the toolkit the scenes draw with.
//
// The 2D canvas: ViewOrtho and ViewOrtho2 switch to a fixed 800 x 600 canvas,
// origin at the top-left corner, y downwards, stretched over the viewport
// whatever the window size. ViewOrtho puts canvas z = 0 at window depth 0.5
// (in front of practically all 3D geometry), ViewOrtho2 on the far plane (a
// backdrop). Each is closed by exactly one ViewPerspective; never nested.
// Every routine leaves the model-view matrix selected.
//
// GL state the routines leave: none touches the viewport, depth test,
// blending or texturing unless said here. drawText2, drawText and drawOverlay
// enable texturing and alpha blending for their quad, then leave both off and
// the colour opaque white. drawBorders draws opaque black bands at window
// depth 0 and leaves the colour white (texturing and blending as found). The
// billboards set nothing: the caller binds, blends and colours beforehand.
// Texture slots index `texture`; a slot outside 0..63 draws untextured.
#pragma once

#include <GL/gl.h>

#include "math/autovector.h"

// ---- what the toolkit reads of the show ----------------------------------
// Defined by the director (demo), which writes them; declared here so that
// the toolkit below it can read them.
extern float Time;              // s of music, from 0; written once a frame by DrawGLScene
extern GLuint texture[64];      // texture names by slot, 0 when empty; filled by InitGL

// Where a slot's picture is not fully transparent: texels [left, right) x
// [top, bottom), rows from the picture's top, of a width x height texture
// named `name`. Written by InitGL with the texture. The captions draw only
// there (a scissor box): the clear texels around the ink leave every pixel
// as it was, and skipping them saves most of a caption's fill. A record that
// does not match its slot's texture (another name or size) is not used.
struct InkBox {
    GLuint name;
    int width, height;              // texels
    int left, top, right, bottom;   // texels
};
extern InkBox textureInk[64];

// The scissor test's state, put back with restoreScissor after narrowing it.
struct ScissorState {
    GLboolean enabled;
    GLint box[4];   // x, y, width, height, window pixels
};
// Keeps drawing to the window pixels [x0, x1) x [y0, y1), within any scissor
// box already in force; returns the state before.
ScissorState narrowScissor(GLint x0, GLint y0, GLint x1, GLint y1);
// The same for the canvas box (left, top) to (right, bottom) and a pixel round it.
ScissorState scissorToCanvas(double left, double top, double right, double bottom);
void restoreScissor(const ScissorState& was);

// Before a 512 x 512 canvas quad at (x, y), mirrored like the captions (u
// from 1 at its left edge), with `slot` bound: keeps drawing to the window
// pixels its ink can reach and returns true, the state before in `was`, for
// restoreScissor. False, and nothing changed, when the slot's ink is unknown.
bool scissorToInk(int slot, float x, float y, ScissorState* was);

// ---- projections and render targets (view.cpp, targets.cpp) -------------
extern int ScreenWidth;         // render target width, texels (1024)
extern int ScreenHeight;        // render target height, texels (1024)
extern GLuint rendertexture;    // colour target; written at start-up
extern GLuint depthtexture;     // a second colour target of the same format

void ViewOrtho();
void ViewOrtho2();
void ViewPerspective();

void autoInitRenderTexture();
void autoInitRenderDepthTexture();
void autoMaterialBlendMode(int mode);   // 1..8: a fixed blend-function pair; others: no change
void DrawQuad(float w, float h, float u, float v);   // 4 vertices inside a caller's GL_QUADS
void autoSetViewPort(int width);        // width x 512 at the lower-left corner
void autoRenderToTexture(int width, GLuint tex);     // copy, then a 1024 x 768 viewport

// ---- text, sprites and frame dressing (sprites.cpp, dressing.cpp) -------
void drawText2(int slot, float start);  // 512 x 512 caption sliding along its track
void drawText(int slot, float start);   // the same on a longer track; not scheduled
void drawOverlay(int slot);             // fixed 512 x 512 picture; not scheduled
void autoDrawPointSprite(VECTOR3 centre, float size);             // billboard, side 2 x size
void autoDrawPointSpriteRot(VECTOR3 centre, float size, float angle);  // roll in degrees, left in the matrix
void drawBorders();                     // the letterbox: black bands above y 90 and below 510
// Before a scene the letterbox will cover: keeps drawing to the opening
// between the bands, since the bands hide everything drawn under them.
// Returns the state before, for restoreScissor before the bands are drawn.
ScissorState scissorToOpening();
