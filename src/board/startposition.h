#pragma once

// Points the stack at record 0 and writes the start position there (standard castling, its keys
// and score); resets the engine's move count.
void resetToStartPosition();
