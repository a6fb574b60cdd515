// Frame dressing: the letterbox.
#include "render/render.h"

void drawBorders()
{
    ViewOrtho();
    glTranslatef(0, 0, 1);   // the near plane: passes GL_LEQUAL over everything drawn before
    glColor3f(0, 0, 0);
    glBegin(GL_QUADS);
    glVertex2f(0, 0);
    glVertex2f(0, 90);
    glVertex2f(800, 90);
    glVertex2f(800, 0);
    glEnd();
    glBegin(GL_QUADS);
    glVertex2f(0, 510);
    glVertex2f(0, 600);
    glVertex2f(800, 600);
    glVertex2f(800, 510);
    glEnd();
    glColor3f(1, 1, 1);
    ViewPerspective();
}

ScissorState scissorToOpening() { return scissorToCanvas(0, 90, 800, 510); }
