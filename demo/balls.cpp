// The ball scenes: the rising column (90 to 95 s), the tumbling cross (95 to
// 100 s) and the passing row (100 to 105 s). Every ball is a billboard of the
// ball texture, tinted and added onto the picture with depth writes off, so
// overlapping balls brighten each other whatever order they are drawn in.
#include "demo/demo.h"
#include "render/render.h"

#include <cmath>

struct Ball {
    float x, y, z;          // place in the section's frame
    const GLfloat* colour;  // RGBA
};

static const GLfloat CYAN[4] = {0, 1, 1, 0.8f};
static const GLfloat RED[4] = {1, 0, 0, 0.8f};
static const GLfloat BLUE[4] = {0, 0, 1, 0.8f};
static const GLfloat YELLOW[4] = {1, 1, 0, 0.8f};

static const Ball COLUMN[5] = {
    {0, 0, 0, CYAN}, {0, -3, 0, RED}, {0, 3, 0, BLUE}, {0, -6, 0, YELLOW}, {0, 6, 0, RED},
};
static const Ball CROSS[4] = {
    {0, 0, -2, CYAN}, {-2, 0, 0, RED}, {2, 0, 0, BLUE}, {0, 0, 2, YELLOW},
};
static const Ball ROW[5] = {
    {0, 0, 0, CYAN}, {-3, 0, 0, RED}, {3, 0, 0, BLUE}, {-6, 0, 0, YELLOW}, {6, 0, 0, RED},
};

// Draws the balls in the current frame, each 2 x size units across, then
// restores depth writes and turns blending and texturing off.
static void drawBalls(const Ball* balls, int count, float size)
{
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture[8]);   // boll
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDepthMask(GL_FALSE);   // tested against the scene, never hiding each other

    const VECTOR3 centre = {0, 0, 0};
    for (int i = 0; i < count; i++) {
        glPushMatrix();
        glTranslatef(balls[i].x, balls[i].y, balls[i].z);
        glColor4fv(balls[i].colour);
        autoDrawPointSprite(centre, size);
        glPopMatrix();
    }

    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
}

// White at a beat, black again 100 ms later, from the next frame's clear.
static void flashClearColour()
{
    const float grey = 1 - flashbpm2;
    glClearColor(grey, grey, grey, 1);
}

void drawBollar3(float start)
{
    // Climbs 3.5 units a second from 10 below the axis, 8 units away,
    // spinning end over end with the absolute music time.
    glLoadIdentity();
    glTranslatef(0, 3.5f * (Time - start) - 10, -8);
    glRotatef(150 * Time, 1, 0, 0);
    flashClearColour();
    drawBalls(COLUMN, 5, 1.2f);
}

void drawBollar()
{
    flashClearColour();
    glLoadIdentity();
    glTranslatef(0, 0, -8);
    glRotatef(150 * Time, 0, 1, 0);
    glRotatef(-55 * Time, 1, 0, 0);
    glRotatef((float)(55 * std::sin((double)Time)), 0, 0, 1);
    // 2 at a beat, growing to 3 over 300 ms.
    drawBalls(CROSS, 4, flashbpm + 2);
}

void drawBollar2(float start)
{
    // Travels 3 units a second from 8 left of the axis. The clear colour
    // stays what the tumbling cross left.
    glLoadIdentity();
    glTranslatef(3 * (Time - start) - 8, 0, -8);
    glRotatef(150 * Time, 0, 1, 0);
    drawBalls(ROW, 5, 1.2f);
}
