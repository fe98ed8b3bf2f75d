#pragma once
#include <cstdint>

// Announces a finished game (result line on standard output and in the game log, then the log
// is closed) and returns 1; returns 0 while the game goes on. Leaves the position as it was.
int32_t checkGameEnd();

// True when the side to move has a legal move in the current position.
bool hasLegalMove();
// True when checkGameEnd would find the game over; prints nothing.
bool gameIsOver();
