// files: where the program itself lies on disk.
#pragma once

#include <string>

// The running program's absolute path with links resolved (from
// /proc/self/exe); "" when the system does not say.
std::string platExecutablePath();
