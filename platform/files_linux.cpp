// Where the program lies, from Linux's /proc.
#include "platform/files.h"

#include <unistd.h>

#include <climits>

std::string platExecutablePath()
{
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return "";
    return std::string(path, (size_t)n);
}
