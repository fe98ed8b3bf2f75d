#pragma once
#include "board/position.h"

// A side left with its king alone: the other side, when it has the men to mate, gains for driving
// that king to the edge (to the corner its bishop can reach, with bishop and knight) and for
// bringing its own king near. Without it a won ending gives the search nothing to follow until a
// mate lies within its horizon, and at short times it wanders until the position repeats.
// Answers the term for the side to move; 0 unless exactly one side has a bare king.
int bareKingScore(const Position& p);
// Whether a side has nothing but its king: the cheap test before bareKingScore.
inline bool someKingBare(const Position& p) {
    const TBB men = p.occupied() & ~p.kings();
    return (men & p.own) == 0 || (men & p.opponent()) == 0;
}
// Whether exactly one side has nothing but its king and the other has the men to mate it: the
// positions bareKingScore scores.
bool bareKingEnding(const Position& p);
