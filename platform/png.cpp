// Placeholder until the PNG loader lands: every texture slot stays 0.
#include "platform/png.h"

unsigned int pngBind(const char*, int, int, pngInfo*, int, int, int) { return 0; }
