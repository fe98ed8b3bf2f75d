#pragma once
// Playing below full strength, for human opponents. A level on the scale the engine is
// calibrated on (scripts/calibrate-strength.py) becomes a node budget per move and a choice among
// the best few root moves, each searched with its own line: a worse move is the less likely the
// more it gives away, and none beyond a margin that widens as the level falls. So a low level
// plays like a weaker player, shallow and loose, rather than a strong one who blunders at random.
#include <cstdint>

constexpr int MIN_ELO = 1350;
constexpr int MAX_ELO = 1750;
constexpr int DEFAULT_ELO = 1500;

struct StrengthPlan {
    int64_t nodes;   // moves the search may make
    int candidates;  // root moves searched with their own lines
    int marginCp;    // how far below the best a candidate's score may be and still be chosen
};
StrengthPlan strengthPlan(int elo);

// Which of `count` candidates (scores best first) to play: the first, or another within the
// margin with a weight that halves every sixth of it. `random` is uniform in [0, 1).
int chooseCandidate(const int* scores, int count, int marginCp, double random);

// Whether the search starting now plays below full strength: a level is set (the protocols set
// none for an analysis) and the opponent has more than a lone king (a won ending is always
// played out to the mate).
bool strengthLimited(int level);

// Uniform in [0, 1), from a generator seeded once per process.
double strengthRandom();
