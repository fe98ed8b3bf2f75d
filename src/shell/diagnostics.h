#pragma once

// The console's test commands: fixed positions and checks that exercise one part of the engine.

// Sets the game to the position of a FEN text (an EPD with four fields gets " 0 1"), on a fresh
// stack. On rejection prints an error and leaves the game as it was. True when set.
bool setUpPosition(const char* fen);

// Loads the fixed test position the line names and runs its check. False when the line names none.
bool runFixedPosition(const char* line);

// "hello": two threads, the second stopping the first. Leaves gs_info.stop at 1.
void threadTest();
// Lines beginning with 'w': the root tablebase filter on the current position. True when the
// probe succeeded (the engine's turn then follows).
bool tablebaseProbeTest();
// "catt": captures of a fixed position with their ordering values, before and after sorting.
void captureOrderTest();
// "hash": the stored key against the key computed from scratch.
void hashKeyTest();
// "test_log": the logged perft into "log_movegen.txt"; ends the program.
[[noreturn]] void loggedPerftTest();
