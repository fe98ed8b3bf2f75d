#include "eval/bareking.h"

#include <algorithm>
#include <cstdlib>

#include "board/bitboard.h"

namespace {

constexpr int EDGE_WEIGHT = 20;      // per step of the bare king away from the centre
constexpr int CORNER_WEIGHT = 25;    // per step nearer the bishop's corner (bishop and knight)
constexpr int APPROACH_WEIGHT = 10;  // per step the strong king comes nearer
constexpr TBB DARK_SQUARES = 0xAA55AA55AA55AA55ULL;

constexpr int fileOf(int s) { return s & 7; }
constexpr int rankOf(int s) { return s >> 3; }

// 0 on the four centre squares, 6 in a corner.
constexpr int centreDistance(int s) {
    return std::max(3 - fileOf(s), fileOf(s) - 4) + std::max(3 - rankOf(s), rankOf(s) - 4);
}

int kingDistance(int a, int b) {
    return std::max(std::abs(fileOf(a) - fileOf(b)), std::abs(rankOf(a) - rankOf(b)));
}

int manhattan(int a, int b) { return std::abs(fileOf(a) - fileOf(b)) + std::abs(rankOf(a) - rankOf(b)); }

// Whether these men can force a mate on a bare king: a queen, a rook, bishops of both colours,
// or bishop and knight. Pawns are left to promote.
bool canMate(const Position& p, TBB men) {
    if (men & (p.queens() | p.rooks())) return true;
    const TBB bishops = men & p.bishops();
    const bool bothColours = (bishops & DARK_SQUARES) && (bishops & ~DARK_SQUARES);
    return bothColours || (bishops && (men & p.knights()));
}

int driveScore(const Position& p, TBB strong, TBB bare) {
    const int strongKing = lowestSquare(p.kings() & strong);
    const int bareKing = lowestSquare(p.kings() & bare);
    int score = APPROACH_WEIGHT * (7 - kingDistance(strongKing, bareKing));
    const TBB bishops = strong & p.bishops();
    if (bishops && (strong & p.knights()) && !(strong & (p.queens() | p.rooks()))) {
        // Only a corner of the bishop's colour holds a mate: a1 and h8 are dark, a8 and h1 light.
        const bool dark = (bishops & DARK_SQUARES) != 0;
        const int near = dark ? std::min(manhattan(bareKing, 0), manhattan(bareKing, 63))
                              : std::min(manhattan(bareKing, 7), manhattan(bareKing, 56));
        score += CORNER_WEIGHT * (14 - near) + centreDistance(bareKing);
    } else {
        score += EDGE_WEIGHT * centreDistance(bareKing);
    }
    return score;
}

}  // namespace

bool bareKingEnding(const Position& p) {
    const TBB own = p.own, other = p.opponent();
    const bool ownBare = (own & ~p.kings()) == 0, otherBare = (other & ~p.kings()) == 0;
    if (ownBare == otherBare) return false;
    return canMate(p, otherBare ? own : other);
}

int bareKingScore(const Position& p) {
    if (!bareKingEnding(p)) return 0;
    const TBB own = p.own, other = p.opponent();
    return (other & ~p.kings()) == 0 ? driveScore(p, own, other) : -driveScore(p, other, own);
}
