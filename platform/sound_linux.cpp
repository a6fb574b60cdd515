// What the sound path needs of Linux: the outputs in the order they are
// tried, the feeding thread's priority, and ALSA kept quiet.
//
// The feeding thread's priority. On a busy desktop (the cores kept busy, a
// screen recorder waking hundreds of times a second) a thread at the ordinary
// priority may wait hundreds of milliseconds for a core, longer than any
// sound queue, and the sound breaks up. Sound servers and SDL raise their own
// audio threads for that reason; the PulseAudio client thread that feeds our
// stream is ours to raise.
#include "platform/sound_output.h"

#include <SDL.h>
#include <dlfcn.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Real-time priority asked for: any beats the ordinary work; kept below a
// sound server's own threads (PulseAudio takes 5) so the server comes first.
const int RT_PRIORITY = 3;

bool realTime(pid_t tid)
{
    // Directly: allowed to root and to users with a real-time limit. Reset on
    // fork, so that nothing the show starts inherits it.
    struct rlimit limit = {};
    int priority = RT_PRIORITY;
    if (geteuid() != 0 && getrlimit(RLIMIT_RTPRIO, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        priority = std::min<int>(priority, (int)limit.rlim_cur);
    if (priority > 0) {
        struct sched_param param = {};
        param.sched_priority = priority;
        if (sched_setscheduler(0, SCHED_RR | SCHED_RESET_ON_FORK, &param) == 0)
            return true;
    }
    // Through RealtimeKit on the system bus, which SDL speaks (it also sets
    // the CPU-time limit that RealtimeKit asks of a real-time thread).
    return SDL_LinuxSetThreadPriorityAndPolicy(tid, SDL_THREAD_PRIORITY_TIME_CRITICAL,
                                               SCHED_RR) == 0;
}

bool higherNice(pid_t tid)
{
    // The lowest nice level the process may take (RLIMIT_NICE: 20 - limit),
    // else RealtimeKit's (SDL asks it when setpriority is refused).
    struct rlimit limit = {};
    int best = 0;
    if (geteuid() == 0)
        best = -20;
    else if (getrlimit(RLIMIT_NICE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        best = 20 - (int)std::min<rlim_t>(limit.rlim_cur, 40);
    errno = 0;
    int now = getpriority(PRIO_PROCESS, (id_t)tid);
    if (best < 0 && best < now && setpriority(PRIO_PROCESS, (id_t)tid, best) == 0)
        return true;
    return SDL_LinuxSetThreadPriorityAndPolicy(tid, SDL_THREAD_PRIORITY_TIME_CRITICAL,
                                               SCHED_OTHER) == 0;
}

}  // namespace

void soundRaisePriority()
{
    pid_t tid = (pid_t)syscall(SYS_gettid);
    if (realTime(tid) || higherNice(tid))
        return;
    static bool told = false;
    if (!told)
        std::fprintf(stderr, "vallup: the sound thread may not be raised above ordinary work (no "
                             "real-time limit, no RealtimeKit): on a busy machine the sound may "
                             "break up\n");
    told = true;
}

// The sound server first (it reports its latency), then SDL's audio (ALSA).
const SoundOutput* const soundOutputs[] = {&pulseOutput, &sdlOutput, nullptr};
const SoundOutput* const soundSdlOutput = &sdlOutput;
const bool soundThreads = true;

// libasound is reached through the dynamic loader, as SDL itself loads it, so
// nothing links to it.
typedef void (*AlsaErrorHandler)(const char*, int, const char*, int, const char*, ...);
static void alsaSilent(const char*, int, const char*, int, const char*, ...) {}

void quietAlsa(bool quiet)
{
    static void* lib = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!lib)
        return;
    auto set = (int (*)(AlsaErrorHandler))dlsym(lib, "snd_lib_error_set_handler");
    if (set)
        set(quiet ? alsaSilent : nullptr);
}
