// Scenes the timeline does not play: the glowing cube lattice and the tiled
// floor. Both set and reset the GL state they need, like the scheduled ones.
#include "demo/demo.h"

#include <cmath>

void drawCubeScene()
{
    const double T = Time;
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);

    // The eye circles at radius 21, one unit up, once every 2 pi seconds,
    // looking at a point that rises and falls between -18 and 18.
    gluLookAt((float)(21 * std::cos(T)), 1, (float)(21 * std::sin(T)), 0,
              (float)(18 * std::sin(T)), 0, 0, 1, 0);

    // Every face adds its colour: where many line up the lattice glows.
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDisable(GL_DEPTH_TEST);

    // 16 cells a side, 6.2 apart, from -8 to 7; on the grid at a beat, then
    // sliding 3 units down every axis over 300 ms.
    const float slide = 3 * flashbpm;
    for (int i = -8; i < 8; i++) {
        for (int j = -8; j < 8; j++) {
            for (int k = -8; k < 8; k++) {
                glPushMatrix();
                glTranslatef(6.2f * i - slide, 6.2f * j - slide, 6.2f * k - slide);
                glColor4f(0.37f, 0.14f, 0.23f, 0.65f);
                drawUnitCube();
                glPopMatrix();
            }
        }
    }

    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
}

void DrawFloor()
{
    // 44 units square in the plane y = 0, the texture 25 times each way.
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture[17]);   // bandaid
    glBegin(GL_QUADS);
    glNormal3f(0, 1, 0);
    glTexCoord2f(0, 25);
    glVertex3f(-22, 0, 22);
    glTexCoord2f(0, 0);
    glVertex3f(-22, 0, -22);
    glTexCoord2f(25, 0);
    glVertex3f(22, 0, -22);
    glTexCoord2f(25, 25);
    glVertex3f(22, 0, 22);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}
