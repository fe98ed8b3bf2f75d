#pragma once
// How helpers spread over the depths: a helper skips a depth that half the threads already
// search, so that with two threads the helper works one iteration ahead of the main search and
// leaves it deeper entries in the table, and with more the threads split between two depths.

// At the start of a parallel search of `threads` threads, the main one included.
void startDepthSharing(int threads);
// The depth a helper searches next, from `depth` on (past maxDepth when none is left).
int nextHelperDepth(int depth, int maxDepth);
// A helper starts or ends an iteration of this depth.
void enterDepth(int depth);
void leaveDepth(int depth);
