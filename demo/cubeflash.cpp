// Placeholder until this scene family lands.
#include "demo/demo.h"

void flashsync() {}
void drawCubeExtra(float, float, float) {}
int effect;
