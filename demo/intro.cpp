// The intro, 0 to 22.5 s: black, then 35 swinging copper bars (7 to 14.5 s),
// then the C64 picture scrolling up behind the first caption (14.5 to 22 s).
// All of it on the 800 x 600 canvas; each frame a pure function of Time.
//
// Textures: slot 1 copper, slot 3 c64, slot 0 the caption (through drawText2).
// Leaves the model-view matrix selected, texturing and blending off and the
// colour opaque white, as the letterbox and the next scene expect.
#include "demo/demo.h"
#include "render/render.h"

#include <cmath>

// One bar: the whole copper texture, mirrored left to right, over a band
// 1024 wide (past the canvas's right edge) and 32 high.
static void drawCopperBar()
{
    glBegin(GL_QUADS);
    glTexCoord2f(1, 0);
    glVertex2f(0, 0);
    glTexCoord2f(1, 1);
    glVertex2f(0, 32);
    glTexCoord2f(0, 1);
    glVertex2f(1024, 32);
    glTexCoord2f(0, 0);
    glVertex2f(1024, 0);
    glEnd();
}

void drawIntroScene()
{
    glLoadIdentity();
    ViewOrtho();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture[1]);

    if (Time > 7.0f && Time < 14.5f) {
        // Neighbouring bars are one radian apart; all move at half a radian
        // a second, so the top edges stay within 6 to 506. Opaque: a later
        // bar covers an earlier one.
        for (int i = 0; i < 35; i++) {
            glPushMatrix();
            float y = (float)(256 + (std::sin((double)(i + Time / 2)) / 2) * 500);
            glTranslatef(0, y, 0);
            drawCopperBar();
            glPopMatrix();
        }
    }

    glColor4f(1, 1, 1, 1);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    ViewPerspective();

    if (Time > 14.5f && Time < 22.0f)
        drawC64Noise();

    drawText2(0, 14.0f);
}

void drawC64Noise()
{
    ViewOrtho2();   // on the far plane: the caption blends over it
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture[3]);
    glColor3f(1, 1, 1);

    // The texture repeats, so the growing offset scrolls the picture up one
    // canvas height every 1.5 s without end.
    float s = Time / 1.5f;
    glBegin(GL_QUADS);
    glTexCoord2f(1, s);
    glVertex2f(0, 0);
    glTexCoord2f(1, s + 1);
    glVertex2f(0, 600);
    glTexCoord2f(0, s + 1);
    glVertex2f(800, 600);
    glTexCoord2f(0, s);
    glVertex2f(800, 0);
    glEnd();

    glColor4f(1, 1, 1, 1);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    ViewPerspective();
}

void drawTv(int slot)
{
    if (slot < 0 || slot >= 64)   // not a slot of the texture table: draw nothing
        return;
    ViewOrtho();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture[slot]);
    glEnable(GL_BLEND);
    glBlendFunc(GL_DST_COLOR, GL_ZERO);   // multiplies what is on screen

    // 1024 x 768: only u 1 .. 0.21875 and v 0 .. 0.78125 land on the canvas.
    glBegin(GL_QUADS);
    glTexCoord2f(1, 0);
    glVertex2f(0, 0);
    glTexCoord2f(1, 1);
    glVertex2f(0, 768);
    glTexCoord2f(0, 1);
    glVertex2f(1024, 768);
    glTexCoord2f(0, 0);
    glVertex2f(1024, 0);
    glEnd();

    glColor4f(1, 1, 1, 1);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    ViewPerspective();
}
