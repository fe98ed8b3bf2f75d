#include "search/transposition.h"

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "board/hashkey.h"
#include "board/position.h"
#include "platform/fastremainder.h"
#include "platform/memory.h"
#include "output/notice.h"
#include "search/scores.h"

namespace {

// An entry as the table holds it. Every search thread reads and writes the slots with no lock,
// one word at a time, so a reader can see words of two different writes. The first word is the
// key XOR the other two: a mixture then decodes to another key and reads as another position's
// entry, and a torn entry can neither cut the search off nor hand it a move for this position
// (the move of an entry is tried only after makeStoredMove has checked it anyway).
struct TTSlot {
    std::atomic<uint64_t> check;      // key ^ data ^ moveStamp
    std::atomic<uint64_t> data;       // depth, iteration, bound, spare, score
    std::atomic<uint64_t> moveStamp;  // move, stamp
};
static_assert(sizeof(TTSlot) == sizeof(TTEntry), "the slot holds one entry");
constexpr size_t DATA_OFFSET = offsetof(TTEntry, depth);
constexpr size_t MOVE_OFFSET = offsetof(TTEntry, move);
static_assert(MOVE_OFFSET == DATA_OFFSET + 8 && sizeof(TTEntry) == MOVE_OFFSET + 8, "two data words after the key");
static_assert(offsetof(TTEntry, stamp) == MOVE_OFFSET + 4, "the stamp is the high half of the last word");

struct SlotWords {
    uint64_t data, moveStamp;
};

TTEntry decode(uint64_t check, SlotWords words) {
    TTEntry entry;
    std::memcpy(reinterpret_cast<char*>(&entry) + DATA_OFFSET, &words.data, 8);
    std::memcpy(reinterpret_cast<char*>(&entry) + MOVE_OFFSET, &words.moveStamp, 8);
    entry.key = check ^ words.data ^ words.moveStamp;
    return entry;
}

SlotWords dataOf(const TTSlot& slot) {
    return {slot.data.load(std::memory_order_relaxed), slot.moveStamp.load(std::memory_order_relaxed)};
}

// Writes an entry's data words, then the key word that checks them (see TTSlot).
void writeSlot(TTSlot& slot, uint64_t key, const TTEntry& entry) {
    SlotWords words;
    std::memcpy(&words.data, reinterpret_cast<const char*>(&entry) + DATA_OFFSET, 8);
    std::memcpy(&words.moveStamp, reinterpret_cast<const char*>(&entry) + MOVE_OFFSET, 8);
    slot.data.store(words.data, std::memory_order_relaxed);
    slot.moveStamp.store(words.moveStamp, std::memory_order_relaxed);
    slot.check.store(key ^ words.data ^ words.moveStamp, std::memory_order_relaxed);
}

TTSlot* table = nullptr;
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

TTSlot& slotOf(uint64_t key) { return table[slotIndex.of(key)]; }

bool hasMinorOrRook(const Position& p) { return (p.knights() | p.bishops() | p.rooks()) != 0; }

}  // namespace

void allocateHash(int32_t entries, int32_t megabytes) {
    releaseTable();
    currentStamp = 0;
    if (entries > 0) {
        size_t bytes = static_cast<size_t>(entries) * sizeof(TTEntry);
        void* memory = allocateZeroedPages(bytes);
        if (memory != nullptr) {
            table = static_cast<TTSlot*>(memory);
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

void shiftMateScores(int plies) {
    if (table == nullptr || plies == 0) return;
    for (uint64_t i = 0; i < tableEntries; ++i) {
        TTSlot& slot = table[i];
        const uint64_t check = slot.check.load(std::memory_order_relaxed);
        const SlotWords words = dataOf(slot);
        if (static_cast<uint32_t>(words.moveStamp >> 32) != currentStamp) continue;
        TTEntry entry = decode(check, words);
        if (entry.score <= MATE_THRESHOLD && entry.score >= -MATE_THRESHOLD) continue;
        // A mate nearer than the new root can reach belongs to a position before it: dropped.
        const int shifted = entry.score > 0 ? entry.score + plies : entry.score - plies;
        const bool reachable = shifted <= MATE_SCORE && shifted >= -MATE_SCORE;
        entry.score = shifted;
        if (!reachable) entry.stamp = currentStamp - 1;
        writeSlot(slot, entry.key, entry);
    }
}

void prefetchHash(uint64_t key) {
    if (table == nullptr) return;
    // An entry may straddle two cache lines: fetch both.
    const char* slot = reinterpret_cast<const char*>(&slotOf(key));
    prefetchLine(slot);
    prefetchLine(slot + sizeof(TTSlot) - 1);
}

void prefetchChildren(const CaptureList& list) {
    for (uint32_t i = 0; i < list.count; ++i) prefetchHash(approximateKeyAfterGenerated(list.entries[i].move));
}

void prefetchChildren(const QuietList& list) {
    for (uint32_t i = 0; i < list.count; ++i) prefetchHash(approximateKeyAfterGenerated(list.moves[i]));
}

int64_t hashTableEntries() { return static_cast<int64_t>(tableEntries); }

int hashFullPermille() {
    constexpr uint64_t SAMPLE = 1000;
    if (table == nullptr) return 0;
    const uint64_t n = tableEntries < SAMPLE ? tableEntries : SAMPLE;
    uint64_t used = 0;
    for (uint64_t i = 0; i < n; ++i) used += dataOf(table[i]).moveStamp >> 32 == currentStamp ? 1 : 0;
    return static_cast<int>(used * 1000 / n);
}

int probeHash(TTEntry* entry, int iteration, int depth, int alpha, int beta) {
    const uint64_t key = currentPosition().key;
    if (table == nullptr) {
        *entry = TTEntry{};
        return key == 0 ? HASH_NO_ANSWER : HASH_MISS;
    }
    const TTSlot& slot = slotOf(key);
    const SlotWords words = dataOf(slot);
    const uint64_t check = slot.check.load(std::memory_order_relaxed);
    if (static_cast<uint32_t>(words.moveStamp >> 32) != currentStamp) {
        *entry = TTEntry{};
        return key == 0 ? HASH_NO_ANSWER : HASH_MISS;
    }
    *entry = decode(check, words);
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

Move storedMove() {
    const uint64_t key = currentPosition().key;
    if (table == nullptr) return 0;
    const TTSlot& slot = slotOf(key);
    const SlotWords words = dataOf(slot);
    const TTEntry entry = decode(slot.check.load(std::memory_order_relaxed), words);
    return entry.stamp == currentStamp && entry.key == key ? entry.move : 0;
}

void storeHash(int iteration, int depth, int score, int bound, Move move) {
    if (table == nullptr) return;
    const Position& p = currentPosition();
    TTSlot& slot = slotOf(p.key);
    const TTEntry old = decode(0, dataOf(slot));
    if (old.stamp == currentStamp && hasMinorOrRook(p) && (old.iteration > iteration || old.depth > depth)) return;
    TTEntry entry;
    entry.depth = static_cast<uint8_t>(depth);
    entry.iteration = static_cast<uint8_t>(iteration);
    entry.bound = static_cast<uint8_t>(bound);
    entry.spare = 0;
    entry.score = score;
    entry.move = move;
    entry.stamp = currentStamp;
    writeSlot(slot, p.key, entry);
}
