#include "search/strength.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iterator>
#include <random>

#include "board/bitboard.h"
#include "board/position.h"

namespace {

constexpr int CANDIDATES = 4;

struct LevelAnchor {
    int elo;
    double nodes;
    int marginCp;
};
// Levels measured against Stockfish's limited levels at 5 s + 0.05 s (scripts/calibrate-strength.py);
// the levels between two of them take a budget geometrically and a margin linearly in between.
// The top one searches about what full strength searches a move at that clock.
constexpr LevelAnchor ANCHORS[] = {
    {MIN_ELO, 16000, 50},
    {1480, 25000, 42},
    {1620, 102317, 16},
    {MAX_ELO, 250000, 0},
};
static_assert(ANCHORS[0].elo == MIN_ELO && ANCHORS[std::size(ANCHORS) - 1].elo == MAX_ELO,
              "the anchors span the whole range");

}  // namespace

StrengthPlan strengthPlan(int elo) {
    elo = std::clamp(elo, MIN_ELO, MAX_ELO);
    int k = 0;
    while (ANCHORS[k + 1].elo < elo) ++k;
    const LevelAnchor& low = ANCHORS[k];
    const LevelAnchor& high = ANCHORS[k + 1];
    const double share = static_cast<double>(elo - low.elo) / (high.elo - low.elo);
    const double nodes = low.nodes * std::pow(high.nodes / low.nodes, share);
    const int margin = low.marginCp + static_cast<int>(std::lround((high.marginCp - low.marginCp) * share));
    return StrengthPlan{std::llround(nodes), CANDIDATES, margin};
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

bool strengthLimited(int level) {
    if (level == 0) return false;
    return popCount(currentPosition().opponent()) > 1;
}

double strengthRandom() {
    static std::mt19937_64 generator(
        static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^ std::random_device{}());
    return std::uniform_real_distribution<double>(0.0, 1.0)(generator);
}
