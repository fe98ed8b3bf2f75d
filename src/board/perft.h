#pragma once
#include <cstdint>
#include <cstdio>

uint64_t perft(int depth);
uint64_t perftLogged(int depth);
// Depth-0 wrappers: 1 for depth 0, the count otherwise.
uint64_t perftFromDepth(int depth);
uint64_t perftLoggedFromDepth(int depth);

// The stream perftLogged writes to (the console opens "log_movegen.txt").
extern FILE* moveGenLog;

// The six benchmark positions, their counts and the nodes per second.
void runBenchmark();
// Logged perft of one position into moveGenLog; ends the program.
[[noreturn]] void runLoggedBenchmark();

void dumpPawnAttacks();
void dumpPawnPushes();
