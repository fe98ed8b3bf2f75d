#include "search/strength.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>

#include "board/bitboard.h"
#include "board/position.h"
#include "shell/state.h"

namespace {

// Measured against Stockfish's limited levels at 5 s + 0.05 s (scripts/calibrate-strength.py):
// the lowest level searches BASE_NODES, the highest TOP_NODES (about what full strength searches a
// move at that clock), and the budget grows geometrically in between.
constexpr double BASE_NODES = 2000;
constexpr double TOP_NODES = 250000;
constexpr int CANDIDATES = 4;
// Level points per centipawn of margin: the margin shrinks to nothing at the top level.
constexpr int ELO_PER_MARGIN_CP = 4;

}  // namespace

StrengthPlan strengthPlan(int elo) {
    elo = std::clamp(elo, MIN_ELO, MAX_ELO);
    const double share = static_cast<double>(elo - MIN_ELO) / (MAX_ELO - MIN_ELO);
    const double nodes = BASE_NODES * std::pow(TOP_NODES / BASE_NODES, share);
    return StrengthPlan{static_cast<int64_t>(nodes), CANDIDATES, (MAX_ELO - elo) / ELO_PER_MARGIN_CP};
}

int chooseCandidate(const int* scores, int count, int marginCp, double random) {
    if (count <= 1 || marginCp <= 0) return 0;
    double weights[256];
    double total = 0;
    count = std::min(count, 256);
    for (int i = 0; i < count; ++i) {
        const int loss = scores[0] - scores[i];
        weights[i] = loss <= marginCp ? std::exp2(-6.0 * loss / marginCp) : 0.0;
        total += weights[i];
    }
    double point = random * total;
    for (int i = 0; i < count; ++i) {
        if (point < weights[i]) return i;
        point -= weights[i];
    }
    return 0;
}

bool strengthLimited() {
    if (gs_info.limitStrength == 0 || gs_info.analyzeMode != 0 || gs_info.infiniteSearch != 0) return false;
    return popCount(currentPosition().opponent()) > 1;
}

double strengthRandom() {
    static std::mt19937_64 generator(
        static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^ std::random_device{}());
    return std::uniform_real_distribution<double>(0.0, 1.0)(generator);
}
