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

void scissorToOpening()
{
    // The opening is canvas rows 90 to 510; on the window, y up from the
    // viewport's bottom edge, with a pixel to spare on each side for pixels
    // whose centres lie on a band's edge.
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    const double sy = vp[3] / 600.0;
    GLint x0 = vp[0], x1 = vp[0] + vp[2];
    GLint y0 = (GLint)std::floor(vp[1] + vp[3] - 510 * sy) - 1;
    GLint y1 = (GLint)std::ceil(vp[1] + vp[3] - 90 * sy) + 1;

    glPushAttrib(GL_SCISSOR_BIT);
    if (glIsEnabled(GL_SCISSOR_TEST)) {   // keep within a box already in force
        GLint box[4];
        glGetIntegerv(GL_SCISSOR_BOX, box);
        x0 = x0 > box[0] ? x0 : box[0];
        y0 = y0 > box[1] ? y0 : box[1];
        x1 = x1 < box[0] + box[2] ? x1 : box[0] + box[2];
        y1 = y1 < box[1] + box[3] ? y1 : box[1] + box[3];
    }
    glEnable(GL_SCISSOR_TEST);
    glScissor(x0, y0, x1 > x0 ? x1 - x0 : 0, y1 > y0 ? y1 - y0 : 0);
}
