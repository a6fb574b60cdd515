// Placeholder until the sprites land.
#include "render/render.h"

void drawText2(int, float) {}
void drawText(int, float) {}
void drawOverlay(int) {}
void autoDrawPointSprite(VECTOR3, float) {}
void autoDrawPointSpriteRot(VECTOR3, float, float) {}
void drawBorders() {}
