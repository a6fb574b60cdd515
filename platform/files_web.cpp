// Where the program lies in a web page: nowhere on a disk. Its data is packed
// with it and mounted at /data of its own file system, and it starts in /, so
// the working directory holds data/.
#include "platform/files.h"

std::string platExecutablePath() { return ""; }
