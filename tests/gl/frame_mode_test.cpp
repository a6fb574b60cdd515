// The frame mode: a frame rendered after cheap catch-up frames (drawn into a
// one-pixel scissor box) is the frame a continuous run shows, pixel for pixel,
// with the same beat counter and clear colour. Each run is a fresh process, so
// that nothing of one run's globals or GL state leaks into the other and none
// of what ran before in this one counts: this test program started again
// (posix_spawn: a bare fork of a process whose GL driver already runs threads
// can deadlock), running only the calling test, with VALLUP_FRAME_RUN saying
// which run to render; the test, seeing it, renders that run and writes what
// it saw to the file named there.
#include <gtest/gtest.h>

#ifndef _WIN32   // the runs in fresh processes below start this program with posix_spawn
#include <spawn.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/app.h"
#include "demo/demo.h"
#include "platform/headless.h"

#ifndef _WIN32   // posix_spawn of /proc/self/exe: the frames test of the Windows build
                 // compares its --frame pictures with Linux's instead
extern char** environ;

namespace {

const int W = 160, H = 120;
const char* const RUN_VAR = "VALLUP_FRAME_RUN";   // "LAST CHEAP NUM DEN FILE"

struct RunResult {
    bool ok = false;
    int temp = -1;
    float clear[4] = {};
    std::vector<unsigned char> rgb;
};

// In a process started by runInChild: renders frames 0..LAST of a continuous
// run, the catch-up frames cheap or full as asked, and writes the beat
// counter, the clear colour and the last frame's pixels to FILE.
void renderRequestedRun(const char* request)
{
    long last = 0, num = 0, den = 0;
    int cheap = 0;
    char path[4096] = "";
    ASSERT_EQ(std::sscanf(request, "%ld %d %ld %ld %4095s", &last, &cheap, &num, &den, path), 5)
        << request;
    FrameRate rate{num, den};
    ASSERT_TRUE(headlessStart(W, H));
    for (long k = 0; k < last; k++)
        headlessFrame(k, rate, cheap != 0);
    headlessFrame(last, rate, false);
    std::vector<unsigned char> rgb(W * H * 3);
    headlessReadRGB(W, H, rgb.data());
    float clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    FILE* f = std::fopen(path, "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fwrite(&temp, sizeof temp, 1, f);
    std::fwrite(clear, sizeof clear, 1, f);
    std::fwrite(rgb.data(), 1, rgb.size(), f);
    ASSERT_EQ(std::fclose(f), 0) << path;
}

// Renders frames 0..last of a continuous run in a new process running only
// the calling test; the catch-up frames are cheap or full as asked. Its
// output goes to a log, shown when the run fails.
RunResult runInChild(long last, bool cheap, FrameRate rate = {})
{
    char path[] = "/tmp/vallup-frame-XXXXXX";
    int fd = mkstemp(path);
    close(fd);
    std::string log = std::string(path) + ".log";

    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string filter = std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name();
    std::string request = std::string(RUN_VAR) + "=" + std::to_string(last) + " " +
                          (cheap ? "1 " : "0 ") + std::to_string(rate.num) + " " +
                          std::to_string(rate.den) + " " + path;
    // This process's environment, less gtest's own settings (an XML report,
    // a filter, shuffling: the new process runs the one test, plainly).
    std::vector<char*> env;
    for (char** e = environ; *e; e++)
        if (std::strncmp(*e, "GTEST_", 6) != 0 && std::strncmp(*e, RUN_VAR, std::strlen(RUN_VAR)) != 0)
            env.push_back(*e);
    env.push_back(request.data());
    env.push_back(nullptr);
    char self[] = "/proc/self/exe";
    char* argv[] = {self, filter.data(), nullptr};

    posix_spawn_file_actions_t io;
    posix_spawn_file_actions_init(&io);
    posix_spawn_file_actions_addopen(&io, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&io, 1, 2);
    pid_t pid = 0;
    int err = posix_spawn(&pid, self, &io, nullptr, argv, env.data());
    posix_spawn_file_actions_destroy(&io);
    int status = 0;
    if (err == 0)
        waitpid(pid, &status, 0);

    RunResult r;
    FILE* f = std::fopen(path, "rb");
    if (err == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 && f) {
        r.rgb.resize(W * H * 3);
        r.ok = std::fread(&r.temp, sizeof r.temp, 1, f) == 1 &&
               std::fread(r.clear, sizeof r.clear, 1, f) == 1 &&
               std::fread(r.rgb.data(), 1, r.rgb.size(), f) == r.rgb.size();
    }
    if (f)
        std::fclose(f);
    if (!r.ok) {
        std::ifstream in(log);
        std::stringstream said;
        said << in.rdbuf();
        ADD_FAILURE() << "the run to frame " << last << (cheap ? " (cheap)" : " (full)")
                      << " failed: spawn " << std::strerror(err) << ", status " << status
                      << ", output:\n" << said.str();
    }
    std::remove(path);
    std::remove(log.c_str());
    return r;
}

}  // namespace
#endif

TEST(FrameMode, FrameTimesAreWholeFramesOfTheRate)
{
    FrameRate r60;
    EXPECT_EQ(frameIndexAt(16.0, r60), 960);
    EXPECT_EQ(frameIndexAt(16.2, r60), 972);       // decimal times name their frame
    EXPECT_EQ(frameIndexAt(16.0166, r60), 960);    // the last frame not after the time
    EXPECT_EQ(frameTimeMs(1, r60), 16);            // floor(1000 / 60)
    EXPECT_EQ(frameTimeMs(960, r60), 16000);
    FrameRate ntsc{60000, 1001};
    EXPECT_EQ(frameIndexAt(10.0, ntsc), 599);      // 599 * 1001 / 60000 = 9.99 s
    EXPECT_EQ(frameTimeMs(599, ntsc), 9993);
}

#ifndef _WIN32   // these run frames in fresh processes (runInChild above)
// Times whose frames depend on what earlier frames left: the C64 scene's
// clear colour, the cube flash placement and plum, the passing row keeping the
// cross's clear colour, the tunnel showing the colour the balls left.
TEST(FrameMode, CheapCatchUpGivesTheFrameOfAContinuousRun)
{
    if (const char* request = std::getenv(RUN_VAR))
        return renderRequestedRun(request);
    FrameRate rate{15, 1};   // any rate shows it; a low one keeps the runs short
    for (double seconds : {30.0, 56.3, 102.0, 107.5}) {
        long last = frameIndexAt(seconds, rate);
        RunResult full = runInChild(last, false, rate);
        RunResult cheap = runInChild(last, true, rate);
        ASSERT_TRUE(full.ok && cheap.ok) << "a headless run failed at " << seconds;
        EXPECT_EQ(cheap.temp, full.temp) << seconds;
        for (int i = 0; i < 4; i++)
            EXPECT_EQ(cheap.clear[i], full.clear[i]) << seconds;
        EXPECT_TRUE(cheap.rgb == full.rgb) << "pixels differ at " << seconds << " s";
    }
}

TEST(FrameMode, BeatCounterIsThatOfAContinuousRun)
{
    if (const char* request = std::getenv(RUN_VAR))
        return renderRequestedRun(request);
    // At 60 frames a second no beat is ever skipped: by 30 s beats 0..31
    // (31 x 0.94712 = 29.36 s) are registered and beat 32 (30.31 s) is not.
    RunResult r = runInChild(frameIndexAt(30.0, FrameRate{}), true);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.temp, 32);
}
#endif
