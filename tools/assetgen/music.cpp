// Placeholder until the synthesiser lands.
#include "assetgen.h"
bool makeMusic(const std::string&) { return true; }
