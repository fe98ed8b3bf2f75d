#pragma once
#include "board/position.h"
#include "eval/attackmap.h"

// Shelter and attack penalty (a positive number to subtract) for the king of the side at the bottom
// of `p`, from both sides' attack maps of the current evaluation.
int kingDanger(const Position& p, const AttackMap& ownMap, const AttackMap& enemyMap);
// The same from the attack sets, when neither side has eight attacks on one square.
int kingDanger(const Position& p, const ZoneAttacks& own, const ZoneAttacks& enemy);
