// Placeholder until this scene family lands.
#include "demo/demo.h"

void drawCubeScene() {}
void DrawFloor() {}
