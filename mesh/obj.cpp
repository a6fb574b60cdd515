// Placeholder until the loader lands: every model stays empty.
#include "mesh/obj.h"

#include <cstring>

int OBJ_LoadModel(OBJ_Model_t*, const char*) { return 0; }
void OBJ_FreeModel(OBJ_Model_t* model) { std::memset(model, 0, sizeof *model); }
void OBJ_Draw(OBJ_Model_t*) {}
void OBJ_DrawVectors(OBJ_Model_t*) {}
