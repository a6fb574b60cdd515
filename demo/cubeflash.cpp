// The cube flash, 52 to 59.4 s: a lit turquoise cube tumbling in front of two
// textured squares that turn against each other, on a plum background. On
// every beat the cube jumps to the next of five placements, and the background
// and the front square dip to black and recover over 300 ms (flashbpm).
//
// Textures: slot 10 extra02 (back square), slot 9 extra01 (front square).
// Leaves texturing, blending and lighting off, GL_COLOR_MATERIAL on, the
// colour (110, 192, 205), the model-view matrix holding the cube's transform,
// and the clear colour the plum of this frame's flashbpm, which the next
// frame's clear and later scenes use.
#include "demo/demo.h"

int effect;   // current placement, 0..4; kept across frames and scenes

struct Placement {
    float x, y, s;   // cube centre (x, y, -10) in eye space; half-edge s
};

static const Placement PLACEMENTS[5] = {
    {0, 0, 2}, {2, 0, 1}, {0, 1, 1.5f}, {-1, 0, 2}, {0, -1, 1.3f},
};

// The unit square in the plane z = 0, texture (0, 0) at its lower-left.
static void drawSquare()
{
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(-1, -1, 0);
    glTexCoord2f(1, 0);
    glVertex3f(1, -1, 0);
    glTexCoord2f(1, 1);
    glVertex3f(1, 1, 0);
    glTexCoord2f(0, 1);
    glVertex3f(-1, 1, 0);
    glEnd();
}

void drawUnitCube()
{
    struct Corner {
        float s, t, x, y, z;
    };
    struct Face {
        float nx, ny, nz;
        Corner c[4];
    };
    static const Face FACES[6] = {
        {0, 0, 1, {{0, 0, -1, -1, 1}, {1, 0, 1, -1, 1}, {1, 1, 1, 1, 1}, {0, 1, -1, 1, 1}}},
        {0, 0, -1,
         {{1, 0, -1, -1, -1}, {1, 1, -1, 1, -1}, {0, 1, 1, 1, -1}, {0, 0, 1, -1, -1}}},
        {0, 1, 0, {{0, 1, -1, 1, -1}, {0, 0, -1, 1, 1}, {1, 0, 1, 1, 1}, {1, 1, 1, 1, -1}}},
        {0, -1, 0,
         {{1, 1, -1, -1, -1}, {0, 1, 1, -1, -1}, {0, 0, 1, -1, 1}, {1, 0, -1, -1, 1}}},
        {1, 0, 0, {{1, 0, 1, -1, -1}, {1, 1, 1, 1, -1}, {0, 1, 1, 1, 1}, {0, 0, 1, -1, 1}}},
        {-1, 0, 0,
         {{0, 0, -1, -1, -1}, {1, 0, -1, -1, 1}, {1, 1, -1, 1, 1}, {0, 1, -1, 1, -1}}},
    };
    glBegin(GL_QUADS);
    for (const Face& f : FACES) {
        glNormal3f(f.nx, f.ny, f.nz);
        for (const Corner& c : f.c) {
            glTexCoord2f(c.s, c.t);
            glVertex3f(c.x, c.y, c.z);
        }
    }
    glEnd();
}

void flashsync()
{
    // temp grows by one a beat, so the cube visits the placements in turn.
    if (temp != 0)
        effect = temp % 5;
    const Placement& p = PLACEMENTS[effect];
    drawCubeExtra(p.x, p.y, p.s);
}

void drawCubeExtra(float x, float y, float s)
{
    glClearColor(0.37f * flashbpm, 0.14f * flashbpm, 0.23f * flashbpm, 1);   // next frame's

    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor3f(1, 1, 1);
    glTranslatef(0, 0, -12);

    // Back square: +-6 units at depth -12.5, counter-clockwise 55 degrees a second.
    glPushMatrix();
    glTranslatef(0, 0, -0.5f);
    glScalef(6, 6, 6);
    glBindTexture(GL_TEXTURE_2D, texture[10]);
    glColor3f(1, 1, 1);
    glRotatef(55 * Time, 0, 0, 1);
    drawSquare();
    glPopMatrix();

    // Front square: +-4.5 units at depth -12, clockwise; black at a beat.
    glPushMatrix();
    glScalef(4.5f, 4.5f, 4.5f);
    glColor3f(flashbpm, flashbpm, flashbpm);
    glBindTexture(GL_TEXTURE_2D, texture[9]);
    glRotatef(-55 * Time, 0, 0, 1);
    drawSquare();
    glPopMatrix();

    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glLoadIdentity();
    glTranslatef(x, y, -10);
    glScalef(s, s, s);
    glRotatef(55 * Time, 0, 1, 0);
    glRotatef(35 * Time, 1, 0, 0);

    // Lit by LIGHT0's defaults, a white light from the viewer; no
    // GL_NORMALIZE, so the scaled cube's normals shrink to 1/s and the larger
    // placements look darker.
    glColor3ub(110, 192, 205);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    drawUnitCube();
    glDisable(GL_LIGHT0);
    glDisable(GL_LIGHTING);
}
