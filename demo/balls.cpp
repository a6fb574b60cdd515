// Placeholder until this scene family lands.
#include "demo/demo.h"

void drawBollar3(float) {}
void drawBollar() {}
void drawBollar2(float) {}
