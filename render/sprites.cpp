// The sliding caption sprites, the fixed overlay picture and the billboards.
#include <cmath>

#include "math/autokeyframe.h"
#include "render/render.h"

// Caption tracks in track units (350 a second): in from x = -550 (off the
// left edge) to 128, hold, out to 1000 (off the right edge). y and z stay 0.
static const autoKey TEXT2_KEYS[4] = {
    {{-550.0f, 0, 0}, 0},
    {{128.0f, 0, 0}, 1000},
    {{128.0f, 0, 0}, 2500},
    {{1000.0f, 0, 0}, 3000},
};
static const autoKey TEXT_KEYS[4] = {
    {{-550.0f, 0, 0}, 0},
    {{128.0f, 0, 0}, 1000},
    {{128.0f, 0, 0}, 4500},
    {{1000.0f, 0, 0}, 5000},
};

static GLuint slotTexture(int slot) { return slot >= 0 && slot < 64 ? texture[slot] : 0; }

// The 512 x 512 picture with its top-left corner at the current origin,
// mirrored left to right (u from 1 at the left edge to 0 at the right).
static void drawCaptionQuad()
{
    glBegin(GL_QUADS);
    glTexCoord2f(1, 0);
    glVertex3f(0, 0, 0);
    glTexCoord2f(1, 1);
    glVertex3f(0, 512, 0);
    glTexCoord2f(0, 1);
    glVertex3f(512, 512, 0);
    glTexCoord2f(0, 0);
    glVertex3f(512, 0, 0);
    glEnd();
}

// The quad covers canvas (x, y) to (x + 512, y + 512), mirrored: texel column
// c lies from quad x 512 (1 - (c + 1) / w) to 512 (1 - c / w), row r from
// 512 r / h to 512 (r + 1) / h. Ink that touches an edge may be sampled across
// the wrap at the far one, so the whole quad is kept along that axis; the box
// grows a pixel on every side for the rounding of texture coordinates.
bool scissorToInk(int slot, float x, float y, ScissorState* was)
{
    if (slot < 0 || slot >= 64 || !texture[slot] || textureInk[slot].name != texture[slot])
        return false;
    const InkBox& ink = textureInk[slot];
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    if (w != ink.width || h != ink.height || w <= 0 || h <= 0)
        return false;

    if (ink.right == 0) {   // no ink at all: nothing reaches the screen
        *was = narrowScissor(0, 0, 0, 0);
        return true;
    }
    double left = 0, right = 512, top = 0, bottom = 512;   // canvas units in the quad
    if (ink.left > 0 && ink.right < w) {
        left = 512.0 * (1 - (double)ink.right / w);
        right = 512.0 * (1 - (double)ink.left / w);
    }
    if (ink.top > 0 && ink.bottom < h) {
        top = 512.0 * ink.top / h;
        bottom = 512.0 * ink.bottom / h;
    }
    *was = scissorToCanvas(x + left, y + top, x + right, y + bottom);
    return true;
}

static void drawCaption(const autoKey (&table)[4], int slot, float start)
{
    autoKey keys[4] = {table[0], table[1], table[2], table[3]};
    VECTOR3 base = {0, 0, 0};
    autoKeyframeCosine(keys, 4, (Time - start) * 350.0f, base);

    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, slotTexture(slot));
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    ViewOrtho();

    // The wobble: y within about 17..111, x within about +-48 of the track.
    double t = Time;
    float y = (float)((std::cos(t * (double)1.8f) + std::sin(t * (double)-0.6f)) * 25 + 64);
    float x = (float)((std::sin(2 * t) + std::cos(t * (double)0.5f)) * 25 + base.x);
    glTranslatef(x, y, 0);
    ScissorState was;
    bool scissored = scissorToInk(slot, x, y, &was);
    drawCaptionQuad();   // takes the current colour: opaque white
    if (scissored)
        restoreScissor(was);

    ViewPerspective();
    glColor4f(1, 1, 1, 1);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
}

void drawText2(int slot, float start) { drawCaption(TEXT2_KEYS, slot, start); }

void drawText(int slot, float start) { drawCaption(TEXT_KEYS, slot, start); }

void drawOverlay(int slot)
{
    ViewOrtho();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, slotTexture(slot));
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glTranslatef(256, 128, 0);   // covers x 256..768, y 128..640 (past the bottom edge)
    drawCaptionQuad();
    glColor4f(1, 1, 1, 1);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    ViewPerspective();
}

// The billboard from a model-view matrix already read into mat: the first two
// rows of its rotation part are the eye's x and y axes in object space.
static void drawBillboard(const float* mat, VECTOR3 centre, float size)
{
    VECTOR3 r = {mat[0] * size, mat[4] * size, mat[8] * size};
    VECTOR3 u = {mat[1] * size, mat[5] * size, mat[9] * size};
    VECTOR3 v0 = (centre - r) - u;
    VECTOR3 v1 = (centre + r) - u;
    VECTOR3 v2 = (centre + r) + u;
    VECTOR3 v3 = (centre + u) - r;
    glBegin(GL_QUADS);
    glTexCoord2s(0, 0);
    glVertex3f(v0.x, v0.y, v0.z);
    glTexCoord2s(1, 0);
    glVertex3f(v1.x, v1.y, v1.z);
    glTexCoord2s(1, 1);
    glVertex3f(v2.x, v2.y, v2.z);
    glTexCoord2s(0, 1);
    glVertex3f(v3.x, v3.y, v3.z);
    glEnd();
}

void autoDrawPointSprite(VECTOR3 centre, float size)
{
    static float mat[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, mat);
    drawBillboard(mat, centre, size);
}

void autoDrawPointSpriteRot(VECTOR3 centre, float size, float angle)
{
    static float mat[16];
    glRotatef(angle, 0, 0, 1);   // stays in the current matrix for the caller to pop
    glGetFloatv(GL_MODELVIEW_MATRIX, mat);
    drawBillboard(mat, centre, size);
}
