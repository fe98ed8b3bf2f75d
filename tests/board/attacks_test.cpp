#include <gtest/gtest.h>

#include "board/attacks.h"

namespace {

// Slow ray walk, to check every magic entry.
TBB slowAttacks(int s, TBB occ, bool rook) {
    const int dirs[2][4][2] = {{{1, 1}, {1, -1}, {-1, 1}, {-1, -1}}, {{1, 0}, {-1, 0}, {0, 1}, {0, -1}}};
    TBB a = 0;
    for (auto& d : dirs[rook]) {
        for (int r = s / 8 + d[0], f = s % 8 + d[1]; r >= 0 && r < 8 && f >= 0 && f < 8; r += d[0], f += d[1]) {
            a |= TBB{1} << (8 * r + f);
            if (occ >> (8 * r + f) & 1) break;
        }
    }
    return a;
}

TEST(Attacks, MagicsGiveRayAttacksForEveryOccupancy) {
    uint64_t seed = 12345;
    for (int s = 0; s < 64; ++s) {
        for (int i = 0; i < 2000; ++i) {
            seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
            TBB occ = seed & (seed >> 7) & (seed << 5);
            ASSERT_EQ(bishopAttacks(s, occ), slowAttacks(s, occ, false)) << s;
            ASSERT_EQ(rookAttacks(s, occ), slowAttacks(s, occ, true)) << s;
        }
    }
}

}  // namespace
