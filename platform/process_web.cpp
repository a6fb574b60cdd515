// Helper programs in a web page: a browser starts none, so capture to a
// video is not offered there; every call that would start or talk to a
// program fails with that reason. Files live in the program's own file
// system (in memory), through the C library as on Linux (process_posix.cpp).
#include "platform/process.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {
const char NO_PROGRAMS[] = "a web page starts no programs: capture is not offered in the browser";
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

bool platStderrIsTerminal() { return false; }
