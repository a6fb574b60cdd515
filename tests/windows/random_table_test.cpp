// The C64 scene's sphere cloud (25 s to 37 s) is placed by the random table
// genrandtab() fills from the C runtime's rand(). The show never seeds it, so
// the cloud is whatever the runtime's generator gives from its start: on
// Windows msvcrt's (41, 18467, 6334, ...), on Linux glibc's (1804289383, ...).
// The two builds draw different clouds there and agree everywhere else; this
// pins the Windows one, as the frames test cannot compare that act with Linux.
#include <gtest/gtest.h>

#include <cstdlib>

#include "demo/demo.h"

TEST(RandomTable, IsMsvcrtsSequenceFromItsStart)
{
    std::srand(1);   // rand() before any srand() runs as after srand(1)
    genrandtab();
    // msvcrt's generator, written out: a 32-bit linear congruence whose bits
    // 16..30 are the value.
    unsigned state = 1;
    auto next = [&state] {
        state = state * 214013u + 2531011u;
        return (int)((state >> 16) & 0x7fff);
    };
    EXPECT_EQ(next(), 41);
    state = 1;
    for (int i = 0; i < 2000; i++) {
        float x = (float)(next() % 100 - 50) / 5;
        float y = (float)(next() % 100 - 50) / 5;
        float z = (float)(next() % 100 - 50) / 5;
        ASSERT_EQ(vRand[i].x, x) << i;
        ASSERT_EQ(vRand[i].y, y) << i;
        ASSERT_EQ(vRand[i].z, z) << i;
    }
}
