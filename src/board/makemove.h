#pragma once
#include "board/types.h"

// Full make-move: pushes a record, keeps score and key up to date. Counts a node.
void makeMove(Move m);
// The same board edits without maintaining score and key (perft, probing, exchange tests).
void makeMoveLight(Move m);
// Pops the current record.
void takeBack();
// The search's null move: passes the turn. Taken back with takeBack().
void makeNullMove();
