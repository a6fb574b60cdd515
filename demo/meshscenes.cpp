// The mesh scenes: the chrome face (82 to 90 s), the tube tunnel with its
// beat-flashing interlude images (105 to 115.25 s) and the rising torus
// (115.25 to 119.25 s).
//
// The chrome look is sphere mapping: start-up set both texture-coordinate
// generators to GL_SPHERE_MAP once, so a scene only switches generation on
// around OBJ_Draw and off again after it.
#include "demo/demo.h"
#include "render/render.h"

#include <cmath>

// Environment mapping on the bound texture for what is drawn next.
static void sphereMapOn()
{
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
}

static void sphereMapOff()
{
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
}

void drawFace()
{
    const double T = Time;
    glClearColor(0, 0, 0, 1);   // shows from the next frame's clear

    // The head drifts 15 to 21 units away, turns +-35 degrees, nods +-10 and
    // tilts +-20, all on a 2 pi second period.
    glLoadIdentity();
    glTranslatef(0, 0, (float)(3 * std::sin(T) - 18));
    glRotatef((float)(35 * std::sin(T)), 0, 1, 0);
    glRotatef((float)(10 * std::sin(-T)), 1, 0, 0);
    glRotatef((float)(20 * std::cos(T)), 0, 0, 1);

    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture[11]);   // envmap3
    sphereMapOn();
    OBJ_Draw(&model[1]);                          // face
    sphereMapOff();
    glDisable(GL_TEXTURE_2D);

    drawText2(18, 81.5f);   // "1995": half a second into its slide at 82 s
}

void drawTorusScene()
{
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);

    // Up from 8 units below the axis at 115.25 s at 6 units a second; the
    // spin follows the music's absolute time.
    glTranslatef(0, 6 * (Time - 115.25f) - 8, -25);
    glRotatef(55 * Time, 0, 1, 0);
    glRotatef(-35 * Time, 1, 0, 0);
    glRotatef(60 * Time, 0, 0, 1);

    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture[11]);   // envmap3
    sphereMapOn();
    OBJ_Draw(&model[0]);                          // torus2
    sphereMapOff();
    glDisable(GL_TEXTURE_2D);
}

// The tunnel camera circles the origin in the x-z plane. Each row holds for
// an open interval; on the bounds themselves (and outside all rows) there is
// no look-at and the view stays the identity for that frame.
static void tunnelCamera(float T)
{
    double ex, ez;
    if (T > 105.0f && T < 108.0f) {
        ex = 3 * std::sin((double)T);
        ez = 3 * std::cos((double)T);
    } else if (T > 108.0f && T < 111.8f) {   // the orbit reverses and widens
        ex = 4 * std::cos((double)T);
        ez = 4 * std::sin((double)T);
    } else if (T > 111.8f && T < 115.85f) {
        ex = 4 * std::sin((double)T);
        ez = 4 * std::cos((double)T);
    } else {
        return;
    }
    gluLookAt((float)ex, 0, (float)ez, 0, 0, 0, 0, 1, 0);
}

void drawTunnel2()
{
    const float T = Time;
    glLoadIdentity();
    tunnelCamera(T);

    glEnable(GL_TEXTURE_2D);
    glPushMatrix();

    // The checker crawls: twice around and three times along the tube,
    // a quarter turn and one repeat (40 units) along it every second.
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glTranslatef(T / 2, T, 0);
    glScalef(2, 3, 5);
    glMatrixMode(GL_MODELVIEW);

    // The tube: radius 5 along z from -60 to +60, round the camera's orbit.
    glTranslatef(0, 0, -60);
    glBindTexture(GL_TEXTURE_2D, texture[12]);   // check2
    gluCylinder(q, 5, 5, 120, 32, 32);

    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glTranslatef(0, 0, 0);
    glScalef(1, 1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();

    // The spiked ball at the orbit's centre, a fifth of its model size.
    glPushMatrix();
    glScalef(0.2f, 0.2f, 0.2f);
    glBindTexture(GL_TEXTURE_2D, texture[11]);   // envmap3
    sphereMapOn();
    glTranslatef(0, 0, 0);
    OBJ_Draw(&model[2]);                          // spikeball
    sphereMapOff();
    glPopMatrix();
    // Texturing stays on: drawInter draws textured next.
}

// One 1024 x 1024 canvas quad, mirrored left to right.
static void interQuad()
{
    glBegin(GL_QUADS);
    glTexCoord2f(1, 0);
    glVertex2f(0, 0);
    glTexCoord2f(1, 1);
    glVertex2f(0, 1024);
    glTexCoord2f(0, 1);
    glVertex2f(1024, 1024);
    glTexCoord2f(0, 0);
    glVertex2f(1024, 0);
    glEnd();
}

void drawInter()
{
    const float T = Time;
    // 0.5 at a beat, 0 150 ms later, then negative: clamped to nothing. Added
    // at alpha 0 a picture changes no pixel (and its depth, 0.5, is read by
    // nothing after it but the letterbox, which is nearer still), so its quad
    // is left out then; the state is set all the same.
    const float alpha = 0.5f - flashbpm;

    glLoadIdentity();
    ViewOrtho();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture[5]);   // inter01
    glPushMatrix();
    glColor3f(1, 1, 1);
    glTranslatef((float)(100 * std::sin((double)(-2.5f * T)) - 128),
                 (float)(120 * std::cos((double)(3 * T)) - 96), 0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);   // additive
    glColor4f(1, 1, 1, alpha);
    if (alpha > 0)
        interQuad();
    glPopMatrix();
    ViewPerspective();

    ViewOrtho();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture[6]);   // inter02
    glPushMatrix();
    glTranslatef((float)(100 * std::cos((double)(3 * T)) - 128),
                 (float)(120 * std::cos((double)(2.6f * T)) - 96), 0);
    glColor4f(1, 1, 1, alpha);
    if (alpha > 0)
        interQuad();
    glPopMatrix();
    ViewPerspective();

    glDisable(GL_BLEND);
}
