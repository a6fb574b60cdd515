// Helper programs on Linux: posix_spawn with dup2'd descriptors, waitpid,
// and signals for the stop requests.
#include "platform/process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace {

volatile sig_atomic_t stopSignal = 0;   // the signal that asked us to stop, 0 if none

void onStopSignal(int sig) { stopSignal = sig; }

bool failed(std::string* why)
{
    *why = std::strerror(errno);
    return false;
}

}  // namespace

std::string platFindProgram(const char* name)
{
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        std::string dir = dirs.substr(start, end - start);
        std::string file = (dir.empty() ? "." : dir) + "/" + name;
        if (access(file.c_str(), X_OK) == 0)
            return file;
        start = end + 1;
    }
    return "";
}

bool platPipe(PlatHandle* readEnd, PlatHandle* writeEnd, size_t bufferBytes, std::string* why)
{
    // Close-on-exec: a child gets its copies from platSpawn's dup2 only.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return failed(why);
    if (bufferBytes > 0)
        fcntl(fds[1], F_SETPIPE_SZ, (int)bufferBytes);   // a hint: the system may cap it
    *readEnd = fds[0];
    *writeEnd = fds[1];
    return true;
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
            return errno == EPIPE ? PLAT_READER_GONE : PLAT_WRITE_FAILED;
        }
        bytes += n;
        size -= (size_t)n;
    }
    return PLAT_WRITTEN;
}

PlatProcess platSpawn(const std::vector<std::string>& args, PlatHandle in, PlatHandle out,
                      PlatFeed* feed, bool quiet, std::string* why)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back((char*)a.c_str());
    argv.push_back(nullptr);

    // Our own descriptors are close-on-exec; dup2 gives the child its copies.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (in >= 0)
        posix_spawn_file_actions_adddup2(&actions, (int)in, 0);
    else
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (out >= 0)
        posix_spawn_file_actions_adddup2(&actions, (int)out, 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (feed && feed->readEnd >= 0)
        posix_spawn_file_actions_adddup2(&actions, (int)feed->readEnd, 3);
    if (quiet)
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    // The child gets a process group of its own, so a Ctrl-C at the terminal
    // reaches only us, and the default signal dispositions we changed.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                        POSIX_SPAWN_SETSIGDEF);

    pid_t pid = -1;
    int err = posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    if (feed && feed->readEnd >= 0) {
        close((int)feed->readEnd);   // the reader's now (or, if it did not start, nobody's)
        feed->readEnd = PLAT_NONE;
    }
    if (err) {
        *why = std::strerror(err);
        return PLAT_NONE;
    }
    return pid;
}

int platWait(PlatProcess child)
{
    int status = 0;
    while (waitpid((pid_t)child, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

bool platFeedStart(PlatFeed* feed, const std::vector<std::string>& args, const std::string&)
{
    *feed = PlatFeed();
    PlatHandle readEnd, writeEnd;
    std::string why;
    if (!platPipe(&readEnd, &writeEnd, 0, &why))
        return false;
    feed->writer = platSpawn(args, PLAT_NONE, writeEnd, nullptr, true, &why);
    close((int)writeEnd);
    if (feed->writer == PLAT_NONE) {
        close((int)readEnd);
        return false;
    }
    feed->readEnd = readEnd;
    feed->name = "pipe:3";
    return true;
}

void platFeedEnd(PlatFeed* feed)
{
    platClose(feed->readEnd);   // no reader took it: the writer stops on its next write
    if (feed->writer != PLAT_NONE)
        platWait(feed->writer);   // done, or stopped by the reader's end
    *feed = PlatFeed();
}

void platCatchStop()
{
    struct sigaction stop = {};
    stop.sa_handler = onStopSignal;
    sigemptyset(&stop.sa_mask);
    sigaction(SIGINT, &stop, nullptr);
    sigaction(SIGTERM, &stop, nullptr);
    signal(SIGPIPE, SIG_IGN);
    signal(SIGXFSZ, SIG_IGN);   // a file size limit shows as a write error (EFBIG)
}

bool platStopRequested() { return stopSignal != 0; }

void platEndByStop()
{
    int sig = stopSignal ? stopSignal : SIGINT;
    signal(sig, SIG_DFL);
    raise(sig);
    _exit(128 + sig);   // not reached: the signal is not blocked
}

bool platStderrIsTerminal() { return isatty(2); }
