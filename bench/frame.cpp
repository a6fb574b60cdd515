// The cost of the show's frame loop itself, on the headless context:
//   1. one empty frame (timeline at 0 s: clear, beat sync, no scene; present);
//   2. process start to the first presented frame: `vallup --frame 0`, which
//      starts up (tables, every asset, music opening), draws frame 0 and
//      writes it out, timed as a whole process.
// usage: bench_frame [runs]   (from the repository root)
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/app.h"
#include "demo/demo.h"
#include "platform/headless.h"
#include "platform/sound.h"

using Clock = std::chrono::steady_clock;

static double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

static double msSince(Clock::time_point t)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

int main(int argc, char** argv)
{
    int runs = argc > 1 ? std::atoi(argv[1]) : 15;

    // 2 first, while this process has no context of its own.
    std::vector<double> startup;
    for (int i = 0; i < runs; i++) {
        auto t0 = Clock::now();
        pid_t pid = fork();
        if (pid == 0) {
            std::freopen("/dev/null", "w", stdout);
            execl(VALLUP_BINARY, VALLUP_BINARY, "--frame", "0", "--out", "/tmp/vallup-bench-frame.png",
                  (char*)nullptr);
            _exit(127);
        }
        int status;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "bench_frame: %s --frame 0 failed\n", VALLUP_BINARY);
            return 1;
        }
        startup.push_back(msSince(t0));
    }

    const char* why = "";
    platSoundSetManual(true);
    if (!platHeadlessCreate(800, 600, &why)) {
        std::fprintf(stderr, "bench_frame: %s\n", why);
        return 1;
    }
    ReSizeGLScene(800, 600);
    calcbpm(63.35f);
    platSoundSetManualTime(0);
    std::vector<double> frame;
    for (int i = 0; i < 2000; i++) {
        auto t0 = Clock::now();
        DrawGLScene();
        platHeadlessSwap();
        glFinish();
        frame.push_back(msSince(t0) * 1000);
    }
    std::printf("empty frame (clear, timeline, present), 800x600, median of 2000: %.1f us\n",
                median(frame));
    std::printf("process start to first frame written (vallup --frame 0), median of %d: %.1f ms\n",
                runs, median(startup));
    return 0;
}
