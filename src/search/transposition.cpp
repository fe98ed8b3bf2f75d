#include "search/transposition.h"

#include <cstdio>
#include <cstring>

#include "board/hashkey.h"
#include "board/position.h"
#include "platform/fastremainder.h"
#include "platform/memory.h"
#include "shell/notice.h"

namespace {

TTEntry* table = nullptr;
uint64_t tableEntries = 0;
size_t tableBytes = 0;
// Stamp of the running search. Fresh pages are zero, so stamp 0 entries are the empty ones
// until the first clear; from then on only entries carrying the current stamp exist.
uint32_t currentStamp = 0;
// key % tableEntries without a division.
FastRemainder slotIndex;

void releaseTable() {
    releasePages(table, tableBytes);
    table = nullptr;
    tableEntries = 0;
    tableBytes = 0;
}

TTEntry& slotOf(uint64_t key) { return table[slotIndex.of(key)]; }

bool hasMinorOrRook(const Position& p) { return (p.knights() | p.bishops() | p.rooks()) != 0; }

}  // namespace

void allocateHash(int32_t entries, int32_t megabytes) {
    releaseTable();
    currentStamp = 0;
    if (entries > 0) {
        size_t bytes = static_cast<size_t>(entries) * sizeof(TTEntry);
        void* memory = allocateZeroedPages(bytes);
        if (memory != nullptr) {
            table = static_cast<TTEntry*>(memory);
            tableEntries = static_cast<uint64_t>(entries);
            slotIndex = FastRemainder(static_cast<uint32_t>(entries));
            tableBytes = bytes;
        }
    }
    if (table == nullptr) {
        printNotice("Hash Table Memory Allocation Failed!\n");
        return;
    }
    printNotice("Allocated %i MB for the Hash Table\n", megabytes);
}

void clearHash() {
    if (table == nullptr) return;
    ++currentStamp;
    // After 2^32 clears old stamps would come back to life: empty the table for real.
    if (currentStamp == 0) std::memset(static_cast<void*>(table), 0, tableBytes);
}

void prefetchHash(uint64_t key) {
    if (table == nullptr) return;
    // An entry may straddle two cache lines: fetch both.
    const char* slot = reinterpret_cast<const char*>(&slotOf(key));
    prefetchLine(slot);
    prefetchLine(slot + sizeof(TTEntry) - 1);
}

void prefetchChildren(const CaptureList& list) {
    for (uint32_t i = 0; i < list.count; ++i) prefetchHash(approximateKeyAfter(list.entries[i].move));
}

void prefetchChildren(const QuietList& list) {
    for (uint32_t i = 0; i < list.count; ++i) prefetchHash(approximateKeyAfter(list.moves[i]));
}

int64_t hashTableEntries() { return static_cast<int64_t>(tableEntries); }

int probeHash(TTEntry* entry, int iteration, int depth, int alpha, int beta) {
    const uint64_t key = currentPosition().key;
    if (table == nullptr) {
        *entry = TTEntry{};
        return key == 0 ? HASH_NO_ANSWER : HASH_MISS;
    }
    const TTEntry& slot = slotOf(key);
    if (slot.stamp == currentStamp)
        *entry = slot;
    else
        *entry = TTEntry{};
    if (entry->key != key) return HASH_MISS;
    if (entry->iteration < iteration || entry->depth < depth) return HASH_NO_ANSWER;
    switch (entry->bound) {
    case BOUND_EXACT: return entry->score;
    case BOUND_LOWER:
        if (entry->score >= beta) return beta;
        [[fallthrough]];
    case BOUND_UPPER: return entry->score <= alpha ? alpha : HASH_NO_ANSWER;
    default: return HASH_NO_ANSWER;
    }
}

void storeHash(int iteration, int depth, int score, int bound, Move move) {
    if (table == nullptr) return;
    const Position& p = currentPosition();
    TTEntry& slot = slotOf(p.key);
    if (slot.stamp == currentStamp && hasMinorOrRook(p) && (slot.iteration > iteration || slot.depth > depth)) return;
    slot.key = p.key;
    slot.depth = static_cast<uint8_t>(depth);
    slot.iteration = static_cast<uint8_t>(iteration);
    slot.bound = static_cast<uint8_t>(bound);
    slot.spare = 0;
    slot.score = score;
    slot.move = move;
    slot.stamp = currentStamp;
}
