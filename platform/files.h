// files: where the program itself lies on disk.
#pragma once

#include <string>

// The running program's absolute path with links resolved (Linux: from
// /proc/self/exe; Windows: its module's file name, UTF-8); "" when the system
// does not say.
std::string platExecutablePath();
