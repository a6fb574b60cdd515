// Helper programs in a web page: a browser starts none, so capture to a
// video is not offered there; every call that would start or talk to a
// program fails with that reason. Files live in the program's own file
// system (in memory), through the C library as on Linux.
#include "platform/process.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {
const char NO_PROGRAMS[] = "a web page starts no programs: capture is not offered in the browser";

bool failed(std::string* why)
{
    *why = std::strerror(errno);
    return false;
}
}  // namespace

std::string platFindProgram(const char*) { return ""; }

bool platPipe(PlatHandle* readEnd, PlatHandle* writeEnd, size_t, std::string* why)
{
    *readEnd = *writeEnd = PLAT_NONE;
    *why = NO_PROGRAMS;
    return false;
}

void platClose(PlatHandle handle)
{
    if (handle >= 0)
        close((int)handle);
}

PlatWriteResult platWriteAll(PlatHandle handle, const void* data, size_t size, std::string* why)
{
    const unsigned char* bytes = (const unsigned char*)data;
    while (size > 0) {
        ssize_t n = write((int)handle, bytes, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            *why = std::strerror(errno);
            return PLAT_WRITE_FAILED;
        }
        bytes += n;
        size -= (size_t)n;
    }
    return PLAT_WRITTEN;
}

bool platFeedStart(PlatFeed* feed, const std::vector<std::string>&, const std::string&)
{
    *feed = PlatFeed();
    return false;
}

void platFeedEnd(PlatFeed* feed) { *feed = PlatFeed(); }

PlatProcess platSpawn(const std::vector<std::string>&, PlatHandle, PlatHandle, PlatFeed* feed,
                      bool, std::string* why)
{
    if (feed)
        feed->readEnd = PLAT_NONE;
    *why = NO_PROGRAMS;
    return PLAT_NONE;
}

int platWait(PlatProcess) { return -1; }

// A page is closed, not interrupted: no stop request ever comes.
void platCatchStop() {}
bool platStopRequested() { return false; }
void platEndByStop() { std::_Exit(130); }   // 128 + SIGINT, as on Linux

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

bool platStderrIsTerminal() { return false; }
