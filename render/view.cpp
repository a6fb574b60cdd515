#include <cmath>

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

// The state is read and set by hand rather than pushed: every push of an
// attribute group makes the GL driver allocate a node per context.
ScissorState narrowScissor(GLint x0, GLint y0, GLint x1, GLint y1)
{
    ScissorState was;
    was.enabled = glIsEnabled(GL_SCISSOR_TEST);
    glGetIntegerv(GL_SCISSOR_BOX, was.box);
    if (was.enabled) {
        x0 = x0 > was.box[0] ? x0 : was.box[0];
        y0 = y0 > was.box[1] ? y0 : was.box[1];
        x1 = x1 < was.box[0] + was.box[2] ? x1 : was.box[0] + was.box[2];
        y1 = y1 < was.box[1] + was.box[3] ? y1 : was.box[1] + was.box[3];
    }
    glEnable(GL_SCISSOR_TEST);
    glScissor(x0, y0, x1 > x0 ? x1 - x0 : 0, y1 > y0 ? y1 - y0 : 0);
    return was;
}

ScissorState scissorToCanvas(double left, double top, double right, double bottom)
{
    // Canvas to window: x to the right, y up from the viewport's bottom edge;
    // a pixel to spare on every side for pixels whose centres lie on an edge.
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    const double sx = vp[2] / 800.0, sy = vp[3] / 600.0;
    return narrowScissor((GLint)std::floor(vp[0] + left * sx) - 1,
                         (GLint)std::floor(vp[1] + vp[3] - bottom * sy) - 1,
                         (GLint)std::ceil(vp[0] + right * sx) + 1,
                         (GLint)std::ceil(vp[1] + vp[3] - top * sy) + 1);
}

void restoreScissor(const ScissorState& was)
{
    glScissor(was.box[0], was.box[1], was.box[2], was.box[3]);
    if (was.enabled)
        glEnable(GL_SCISSOR_TEST);
    else
        glDisable(GL_SCISSOR_TEST);
}
