#pragma once
#include <cstdint>

#include "board/movegen.h"
#include "board/position.h"
#include "platform/fastremainder.h"

// What the pawn hash keeps for the side at the bottom of the board, in 16 bytes: four entries
// share a cache line.
struct PawnHashEntry {
    int32_t key;       // slot key (pawn key, told apart by the side at the bottom), low 32 bits
    int16_t score;     // pawn-structure score
    uint8_t count;     // pawns, less those both doubled and isolated
    uint8_t spare;
    uint64_t passers;  // passed pawns, side-relative
};
static_assert(sizeof(PawnHashEntry) == 16, "pawn hash entries are 16 bytes");

// Entries in a pawn hash table of `megabytes`: one per 32 bytes, as when entries took 32 bytes,
// so that a size keeps its number of slots (and the table takes half of it).
constexpr int64_t PAWN_HASH_BYTES_PER_ENTRY = 32;
constexpr int64_t pawnHashEntriesFor(int64_t megabytes) { return megabytes * 1048576 / PAWN_HASH_BYTES_PER_ENTRY; }

// Returned by a probe that finds another structure in the slot.
constexpr int PAWN_HASH_MISS = 99999;

// One pawn hash table. The count is kept here rather than read from gs_info so that a settings
// change between allocations can never index past the table.
struct PawnTable {
    PawnHashEntry* entries = nullptr;
    uint64_t count = 0;
    FastRemainder slotIndex;  // widened key % count without a division
};
// The table this thread's evaluation uses: the engine's own, except in a helper search thread,
// which has a smaller one of its own (the entries are not atomic, and a private table keeps
// the threads off each other's cache lines).
extern thread_local constinit PawnTable* threadPawnTable;

// Frees any previous pawn hash table and allocates gs_info.pawnHashEntries entries; reports the outcome.
void allocatePawnHash();
// Frees `table` and gives it `entries` zeroed entries (none when 0); false if the memory is refused.
bool allocatePawnTable(PawnTable& table, int64_t entries);
// Copies the slot of the current position's pawn key into `entry`; returns the stored score on a hit,
// PAWN_HASH_MISS otherwise (also when there is no table).
int probePawnHash(PawnHashEntry* entry);
// Overwrites the slot of the current position's pawn key; does nothing without a table.
void storePawnHash(int score, uint64_t passers, int count);

// The same with the pawn key the caller already has and the colour of the side at the bottom.
bool pawnHashPresent();
int probePawnHashKey(uint64_t pawnKey, int colour, PawnHashEntry* entry);
void storePawnHashKey(uint64_t pawnKey, int colour, int score, uint64_t passers, int count);
// Starts loading the slots the evaluation of `p` reads, one per side (when its pawn keys are known).
void prefetchPawnHash(const Position& p);
// The same for the current position's children that move, take or promote a pawn: the others
// read the current position's slots.
void prefetchChildrenPawnSlots(const CaptureList& list);
void prefetchChildrenPawnSlots(const QuietList& list);
// The pawn key of any record, equal to computePawnKey() when the record is the current one.
uint64_t pawnKeyOf(const Position& p);
