#pragma once
#include <cstdint>

#include "board/movegen.h"
#include "board/types.h"

// Frees any previous table and allocates `entries` entries (at least 1024); reports the outcome.
void allocateHash(int32_t entries, int32_t megabytes);
// Empties the table (every entry then reads as never written).
void clearHash();
// The next search starts `plies` plies further down the game than the last: its mate scores,
// counted from the last root, are made to count from the new one, so that the table can be kept.
void shiftMateScores(int plies);

// One cached search result as a probe hands it out. A slot that was never written in the current
// search reads as all zero. The table itself keeps it packed in two words (see transposition.cpp).
struct TTEntry {
    uint64_t key;
    uint8_t depth;      // remaining depth of the storing search, 0 for quiescence
    uint8_t iteration;  // iterative-deepening depth in which it was stored
    uint8_t bound;      // BOUND_EXACT, BOUND_UPPER or BOUND_LOWER
    uint8_t spare;
    int32_t score;
    Move move;
    uint32_t stamp;  // search that wrote the slot; older stamps read as empty
};

// Entries in a table of `megabytes`: one per 24 bytes. The table keeps an entry in 16 bytes and
// so takes two thirds of them; counting entries as before keeps every search's tree.
constexpr int64_t HASH_BYTES_PER_ENTRY = 24;
constexpr int64_t hashEntriesFor(int64_t megabytes) { return megabytes * 1048576 / HASH_BYTES_PER_ENTRY; }

constexpr int BOUND_EXACT = 0;
constexpr int BOUND_UPPER = 1;  // the search failed low
constexpr int BOUND_LOWER = 2;  // the search failed high

// Probe answers that are not scores.
constexpr int HASH_MISS = 99999;       // another position (or nothing) in the slot
constexpr int HASH_NO_ANSWER = 99998;  // same position, too shallow or too old: only its move helps

// Copies the current position's slot into *entry and answers a score, HASH_NO_ANSWER or HASH_MISS.
int probeHash(TTEntry* entry, int iteration, int depth, int alpha, int beta);
// The move stored for the current position in the current search, 0 if none.
Move storedMove();
// Writes the current position's slot unless a deeper or later entry must be kept.
void storeHash(int iteration, int depth, int score, int bound, Move move);
// Starts loading the slot of `key`, to be probed shortly.
void prefetchHash(uint64_t key);
// Starts loading the slots of the positions after each move of a freshly generated list: a
// child probes its slot at once, too soon for a fetch issued after its move is made, and the
// fetches for all children overlap.
void prefetchChildren(const CaptureList& list);
void prefetchChildren(const QuietList& list);
// Number of usable entries (0 when no table is allocated).
int64_t hashTableEntries();
// Per mille of the first thousand slots that hold an entry of the running (or last) search.
int hashFullPermille();
