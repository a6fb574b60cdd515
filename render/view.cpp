#include "render/render.h"

// The canvas: 800 x 600 units, origin top-left, y down. ViewOrtho's depth
// range puts z = 0 at window depth 0.5; ViewOrtho2's puts it on the far plane.
static void enterCanvas(double zFar)
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 800, 600, 0, -1, zFar);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

void ViewOrtho() { enterCanvas(1); }

void ViewOrtho2() { enterCanvas(0); }

void ViewPerspective()
{
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}
