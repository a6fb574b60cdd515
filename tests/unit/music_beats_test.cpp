// The beat table, the beat counter and the random table.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "demo/demo.h"

namespace {

class Beats : public ::testing::Test {
protected:
    void SetUp() override
    {
        calcbpm(63.35f);
        temp = 0;
        trig[0] = 0;
    }
    // One frame's beat step at this many ms of music.
    bool frame(int ms)
    {
        Time = (float)ms / 1000;
        int before = temp;
        bpmsync();
        return temp != before;
    }
};

TEST_F(Beats, TableHoldsTheBeatTimesOf63_35Bpm)
{
    EXPECT_EQ(bpmtable[0], 0.0f);
    EXPECT_EQ(bpmtable[1], 0.9471192f);
    EXPECT_EQ(bpmtable[135], 127.86109f);
    EXPECT_EQ(bpmtable[136], 128.80821f);
    EXPECT_EQ(bpmtable[1023], 968.90295f);
}

TEST_F(Beats, OneBeatAtTheFirstFrameAtOrPastItsTime)
{
    EXPECT_TRUE(frame(0));   // beat 0 lies at 0
    EXPECT_EQ(trig[0], 0.0f);
    EXPECT_FALSE(frame(947));
    EXPECT_TRUE(frame(948));
    EXPECT_EQ(temp, 2);
    EXPECT_EQ(trig[0], 948.0f);
    EXPECT_FALSE(frame(949));
}

TEST_F(Beats, ARunWithoutSeeksRegisters136BeatsBy128Seconds)
{
    for (int k = 0; k * 1000 / 60 <= 128000; k++)
        frame(k * 1000 / 60);
    EXPECT_EQ(temp, 136);
}

TEST_F(Beats, ForwardSeekCatchesUpOneBeatPerFrame)
{
    frame(0);
    frame(1000);
    ASSERT_EQ(temp, 2);
    // Jump to 10 s: beats 2..10 are due (beat 10 at 9.471 s), one per frame,
    // each at the frame's own time.
    for (int k = 0; k < 9; k++) {
        int ms = 10000 + k * 16;
        EXPECT_TRUE(frame(ms)) << "frame " << k;
        EXPECT_EQ(trig[0], (float)ms);
    }
    EXPECT_EQ(temp, 11);
    EXPECT_FALSE(frame(10200));
}

TEST_F(Beats, BackwardSeekRegistersNothingUntilTheNextExpectedBeat)
{
    for (int ms = 0; ms <= 3000; ms += 16)
        frame(ms);
    ASSERT_EQ(temp, 4);   // beats 0..3; beat 4 is at 3.789 s
    float last = trig[0];
    for (int ms = 1000; ms < 3788; ms += 16)
        ASSERT_FALSE(frame(ms)) << ms;
    EXPECT_EQ(trig[0], last);
    EXPECT_TRUE(frame(3789));
    EXPECT_EQ(temp, 5);
}

TEST_F(Beats, TheCounterStopsAtTheEndOfTheTable)
{
    temp = 1023;
    EXPECT_TRUE(frame(2000000));
    EXPECT_EQ(temp, 1024);
    EXPECT_FALSE(frame(2000016));   // no read past the table
    EXPECT_EQ(temp, 1024);
}

TEST(RandomTable, ComponentsLieOnTheGridFromMinus10To9_8)
{
    genrandtab();
    std::vector<VECTOR3> first(vRand, vRand + 2000);
    bool spread[100] = {};
    for (const VECTOR3& v : vRand) {
        for (float c : {v.x, v.y, v.z}) {
            ASSERT_GE(c, -10.0f);
            ASSERT_LE(c, 9.8f);
            float step = (c + 10) * 5;
            ASSERT_NEAR(step, std::round(step), 1e-3) << c;
            spread[(int)std::lround(step)] = true;
        }
    }
    for (int i = 0; i < 100; i++)
        EXPECT_TRUE(spread[i]) << "value " << (i / 5.0 - 10) << " never drawn";
    // A second start-up continues the sequence.
    genrandtab();
    EXPECT_NE(std::memcmp(vRand, first.data(), sizeof vRand), 0);
}

}  // namespace
