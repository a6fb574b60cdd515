// Placeholder until this scene family lands.
#include "demo/demo.h"

void drawRotoZoomer() {}
void drawBubblan() {}
void drawRotoZoomer2(int) {}
