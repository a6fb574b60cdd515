// Placeholder until this scene family lands.
#include "demo/demo.h"

void drawC64Scene() {}
