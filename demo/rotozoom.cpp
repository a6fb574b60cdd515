// The rotozoomer, 59.4 to 82 s: the check2 texture tiled over the screen,
// zooming in and out and panning round a circle; the c64 texture scrolling up
// over it, fading in and out with sin(Time); then three captions in turn and
// the bubble sprite swinging from side to side.
//
// Textures: slot 12 check2, slot 3 c64, slot 14 bubblan; captions 4, 7, 16;
// drawRotoZoomer2 also 2 orvel and 13 bandaid. Zoom, pan and scroll are made
// with the texture matrix, reset to the identity after each layer.
// drawRotoZoomer leaves texturing and blending off and the colour opaque white;
// it never sets the clear colour (layer 1 is opaque and covers it).
#include "demo/demo.h"
#include "render/render.h"

#include <cmath>

// The full-screen quad of the far-plane canvas: s runs from -1 at the left
// edge to 0 at the right, t from 0 at the top to 1 at the bottom.
static void drawScreenQuad()
{
    glBegin(GL_QUADS);
    glTexCoord2f(-1, 0);
    glVertex2f(0, 0);
    glTexCoord2f(-1, 1);
    glVertex2f(0, 600);
    glTexCoord2f(0, 1);
    glVertex2f(800, 600);
    glTexCoord2f(0, 0);
    glVertex2f(800, 0);
    glEnd();
}

// Back to the identity texture matrix, the model-view matrix selected.
static void resetTextureMatrix()
{
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glScalef(1, 1, 1);
    glRotatef(0, 1, 0, 0);
    glMatrixMode(GL_MODELVIEW);
}

void drawRotoZoomer()
{
    glLoadIdentity();
    glPushMatrix();
    ViewOrtho2();

    // Layer 1: opaque (blending is off here), tiled 1.1 to 1.9 times across.
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture[12]);
    glColor4f(1, 1, 1, 1);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    float z = (float)(2 * (std::sin((double)Time) / 5) + 1.5);
    glScalef(z, z, 1);
    glTranslatef((float)std::sin((double)(Time / 2)), (float)std::cos((double)(Time / 2)), 0);
    glMatrixMode(GL_MODELVIEW);
    drawScreenQuad();
    resetTextureMatrix();
    ViewPerspective();
    glPopMatrix();

    // Layer 2: the c64 scroller at alpha sin(Time); a negative alpha is
    // clamped to 0, which hides the layer for half of every period. A hidden
    // layer changes no pixel (nor the depth, already 1 from layer 1), so its
    // quad is left out then; the state is set all the same.
    const float alpha = (float)std::sin((double)Time);
    glPushMatrix();
    ViewOrtho2();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture[3]);
    glColor4f(1, 1, 1, alpha);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glTranslatef(0, Time / 2, 0);   // half the texture's height a second, upwards
    glMatrixMode(GL_MODELVIEW);
    if (alpha > 0)
        drawScreenQuad();
    resetTextureMatrix();
    glColor4f(1, 1, 1, 1);
    glDisable(GL_BLEND);
    ViewPerspective();
    glPopMatrix();

    drawBubblan();
}

void drawBubblan()
{
    // Each caption arrives as the previous one leaves.
    drawText2(4, 59);
    drawText2(7, 67);
    drawText2(16, 75);

    // The colour is white, as the last caption left it.
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture[14]);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    // Swings between left edges 0 and 512 every 2 pi seconds, bobbing about
    // 11 units.
    ViewOrtho();
    float x = (float)(256 + 256 * std::sin((double)Time));
    float y = (float)(68 + 10 * std::sin((double)(10 * Time)) + std::cos((double)(5 * Time)));
    glTranslatef(x, y, 0);
    ScissorState was;
    bool scissored = scissorToInk(14, x, y, &was);   // the clear corners round the bubble
    glBegin(GL_QUADS);
    glTexCoord2f(1, 0);
    glVertex2f(0, 0);
    glTexCoord2f(1, 1);
    glVertex2f(0, 512);
    glTexCoord2f(0, 1);
    glVertex2f(512, 512);
    glTexCoord2f(0, 0);
    glVertex2f(512, 0);
    glEnd();
    if (scissored)
        restoreScissor(was);
    ViewPerspective();

    glColor4f(1, 1, 1, 1);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
}

void drawRotoZoomer2(int variant)
{
    // The texture of each variant; 0 and 2 also turn, in opposite senses.
    static const int SLOTS[4] = {12, 2, 13, 2};
    if (variant < 0 || variant > 3)   // no such variant: draw nothing
        return;

    glLoadIdentity();
    glPushMatrix();
    ViewOrtho2();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture[SLOTS[variant]]);
    glColor4f(1, 1, 1, 1);

    // Rotation first, then the zoom (0.5 to 2.5 repeats).
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    float z = (float)(2 * (std::sin((double)Time) / 2) + 1.5);
    glScalef(z, z, 1);
    if (variant == 0)
        glRotatef(30 * Time, 0, 0, 1);
    if (variant == 2)
        glRotatef(-30 * Time, 0, 0, 1);
    glMatrixMode(GL_MODELVIEW);
    drawScreenQuad();

    resetTextureMatrix();
    ViewPerspective();
    glPopMatrix();
}
