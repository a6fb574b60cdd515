// Frame dressing: the letterbox.
#include <cmath>

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

ScissorState scissorToOpening()
{
    // The opening is canvas rows 90 to 510; on the window, y up from the
    // viewport's bottom edge, with a pixel to spare on each side for pixels
    // whose centres lie on a band's edge.
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    const double sy = vp[3] / 600.0;
    return narrowScissor(vp[0], (GLint)std::floor(vp[1] + vp[3] - 510 * sy) - 1, vp[0] + vp[2],
                         (GLint)std::ceil(vp[1] + vp[3] - 90 * sy) + 1);
}
