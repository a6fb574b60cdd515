// Placeholder until this scene family lands.
#include "demo/demo.h"

void drawFace() {}
void drawTunnel2() {}
void drawInter() {}
void drawTorusScene() {}
