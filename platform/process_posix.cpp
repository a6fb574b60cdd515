// Capture's files through the C library and POSIX calls: the same on Linux
// and in a web page (emscripten's file system); Windows has its own.
#include "platform/process.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {
bool failed(std::string* why)
{
    *why = std::strerror(errno);
    return false;
}
}  // namespace

const char PLAT_SEPARATORS[] = "/";

PlatPathKind platPathKind(const std::string& path)
{
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return PLAT_MISSING;
    return S_ISDIR(st.st_mode) ? PLAT_DIRECTORY : PLAT_OTHER;
}

FILE* platOpenFile(const std::string& path, const char* mode)
{
    return std::fopen(path.c_str(), mode);
}

bool platMakeDirectory(const std::string& path, std::string* why)
{
    return mkdir(path.c_str(), 0777) == 0 || errno == EEXIST || failed(why);
}

void platRemoveFile(const std::string& path) { unlink(path.c_str()); }

bool platRenameFile(const std::string& from, const std::string& to, std::string* why)
{
    return rename(from.c_str(), to.c_str()) == 0 || failed(why);
}
