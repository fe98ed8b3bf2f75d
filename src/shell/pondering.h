#pragma once
#include "platform/relaxed.h"

// How the last ponder or analysis phase ended, as the polling thread saw it.
enum PhaseEnd : int {
    PHASE_RUNNING = 0,
    PHASE_PENDING = 1,     // a line waits in the pending-command buffer
    PHASE_PONDER_HIT = 2,  // the ponder search went on as the search for the engine's move
    PHASE_STOPPED = 3,     // exit or easy: the search was stopped, nothing pending
};
extern Relaxed<int> phaseEnd;

// Thread bodies: the search on the current position, and the input reader of the phase.
void ponderThread();
void analyzeThread();
void poll_exit2(char* pendingBuffer);

// Run one phase: the search thread and the polling thread, waited for before returning.
// A thread that cannot be created ends the program with status 1.
void runPondering(char* pendingBuffer);
void runAnalysis(char* pendingBuffer);
