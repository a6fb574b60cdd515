// Opening the show's track at start-up: the track plays, a second start-up
// (window re-created) keeps the one stream, and a missing, unreadable or
// broken track leaves a silent clock that still runs.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "demo/demo.h"
#include "music_clicktrack.h"

namespace {

double nowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

void sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Runs each test in a fresh directory (the track is read relative to it),
// with no stream open yet.
class Startup : public ::testing::Test {
protected:
    std::string home, dir;
    void SetUp() override
    {
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        home = cwd;
        char tmpl[] = "/tmp/vallup-music-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        ASSERT_EQ(chdir(dir.c_str()), 0);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        stream = nullptr;
        channel = -1;
        Time = 0;
    }
    void TearDown() override
    {
        platStreamClose(stream);
        stream = nullptr;
        channel = -1;
        platSoundClose();
        unsetenv("SDL_AUDIODRIVER");
        ASSERT_EQ(chdir(home.c_str()), 0);
        std::system(("rm -rf '" + dir + "'").c_str());
    }
    void putTrack(const std::vector<unsigned char>& bytes)
    {
        ASSERT_EQ(mkdir("data", 0755), 0);
        ASSERT_EQ(mkdir("data/music", 0755), 0);
        if (!bytes.empty()) {
            ASSERT_TRUE(writeFile("data/music/track.mp3", bytes));
        }
    }
    // Starts the audio as start-up does; returns what went to standard output.
    std::string start()
    {
        testing::internal::CaptureStdout();
        autoInitAudio();
        return testing::internal::GetCapturedStdout();
    }
    void expectRunningSilently()
    {
        ASSERT_NE(stream, nullptr);
        EXPECT_EQ(channel, 0);
        EXPECT_FALSE(platSoundHasDevice());
        int a = platStreamGetTime(stream);
        double t0 = nowMs();
        sleepMs(200);
        int b = platStreamGetTime(stream);
        double real = nowMs() - t0;
        EXPECT_NEAR(b - a, real, 3.0) << "not at the rate of the monotonic clock";
    }
    // Polls the clock until it passes `ms`; false after 10 s.
    bool reaches(int ms)
    {
        double t0 = nowMs();
        while (platStreamGetTime(stream) <= ms)
            if (nowMs() - t0 > 10000)
                return false;
        return true;
    }
};

TEST_F(Startup, PlaysTheTrackAndASecondStartupKeepsTheStream)
{
    ClickTrack t = makeClickTrack(4.0);
    putTrack(t.mp3);
    EXPECT_EQ(start(), "");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(channel, 0);
    EXPECT_TRUE(platSoundHasDevice());
    EXPECT_EQ(platStreamLengthMs(stream), 4000);
    EXPECT_TRUE(reaches(200));
    PlatStream* first = stream;
    int before = platStreamGetTime(first);

    // Window re-created: start-up runs again; the same stream plays on.
    EXPECT_EQ(start(), "");
    EXPECT_EQ(stream, first);
    EXPECT_TRUE(platSoundHasDevice());
    EXPECT_GE(platStreamGetTime(stream), before);
    EXPECT_TRUE(reaches(before + 100));
}

TEST_F(Startup, SeekKeysMoveFromThisFramesTimeAndStopAtTheStart)
{
    putTrack(makeClickTrack(4.0).mp3);
    start();
    Time = 0.3f;
    autoSetTime(-1000);
    EXPECT_EQ(platStreamGetTime(stream), 0);
    Time = 1.25f;
    autoSetTime(500);
    EXPECT_EQ(platStreamGetTime(stream), 1750);
}

TEST_F(Startup, MissingTrackWritesTheTwoLinesAndRunsSilently)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(start(), "Error!\nFile Not Found\n");
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("data/music/track.mp3"), std::string::npos) << err;
    expectRunningSilently();
    Time = 127.5f;
    autoSetTime(400);
    EXPECT_EQ(platStreamGetTime(stream), 127900);
    // Start-up again: the silent clock goes on; nothing is written again.
    PlatStream* first = stream;
    EXPECT_EQ(start(), "");
    EXPECT_EQ(stream, first);
    EXPECT_GE(platStreamGetTime(stream), 127900);
}

TEST_F(Startup, UnreadableTrackIsTreatedAsMissing)
{
    putTrack({});
    ASSERT_EQ(mkdir("data/music/track.mp3", 0755), 0);   // a directory by that name
    testing::internal::CaptureStderr();
    EXPECT_EQ(start(), "Error!\nFile Not Found\n");
    testing::internal::GetCapturedStderr();
    expectRunningSilently();
}

TEST_F(Startup, TrackThatIsNotAnMp3RunsSilentlyAndSaysWhy)
{
    putTrack(std::vector<unsigned char>(30000, 'x'));
    testing::internal::CaptureStderr();
    EXPECT_EQ(start(), "");
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("cannot play data/music/track.mp3"), std::string::npos) << err;
    expectRunningSilently();
}

}  // namespace
