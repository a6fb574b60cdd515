// Placeholder until this scene family lands.
#include "demo/demo.h"

void drawIntroScene() {}
void drawC64Noise() {}
void drawTv(int) {}
