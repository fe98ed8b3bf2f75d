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

// An entry as the table holds it: 128 bits in two words, so that four entries share a cache line
// and none straddles two. From bit 0: the move (21 bits), the score (18, two's complement), the
// bound (2), the iteration (8), the depth (8), the stamp (16), a spare bit and the key's top 54
// bits. The key's low 10 bits need not be kept: two keys that agree above them differ by less
// than 1024, so they cannot share a slot of a table of 1024 entries or more (the slot is the key
// modulo the number of entries), and the top bits tell the slot's keys apart exactly as the
// whole key would.
//
// Every search thread reads and writes the slots with no lock, one word at a time, so a reader
// can see words of two different writes. The high word is stored XOR a mixture of the low one:
// a low word from another write then garbles the key, and a torn entry reads as another
// position's (the move of an entry is tried only after makeStoredMove has checked it anyway).
struct TTSlot {
    std::atomic<uint64_t> low;
    std::atomic<uint64_t> high;  // the record's high word ^ mix(low)
};
static_assert(sizeof(TTSlot) == 16, "four slots to a cache line");

using Record = unsigned __int128;
struct Field {
    int shift, bits;
};
constexpr Field MOVE_FIELD{0, 21}, SCORE_FIELD{21, 18}, BOUND_FIELD{39, 2}, ITERATION_FIELD{41, 8},
    DEPTH_FIELD{49, 8}, STAMP_FIELD{57, 16}, KEY_FIELD{74, 54};
constexpr int KEY_DROPPED_BITS = 64 - KEY_FIELD.bits;
constexpr uint32_t MIN_ENTRIES = 1u << KEY_DROPPED_BITS;
constexpr uint32_t STAMP_MASK = (1u << STAMP_FIELD.bits) - 1;
static_assert(KEY_FIELD.shift + KEY_FIELD.bits == 128, "the key fills the top of the record");
// Scores reach FULL_WINDOW, and mate scores a few plies beyond it after shiftMateScores.
static_assert(FULL_WINDOW + 1000 < 1 << (SCORE_FIELD.bits - 1), "every score fits its field");

constexpr uint64_t fieldOf(Record r, Field f) {
    return static_cast<uint64_t>(r >> f.shift) & ((uint64_t{1} << f.bits) - 1);
}
constexpr Record recordField(uint64_t value, Field f) {
    return static_cast<Record>(value & ((uint64_t{1} << f.bits) - 1)) << f.shift;
}

// A move word's four fields (type, from, to, promotion) in 6, 6, 6 and 3 bits.
constexpr uint64_t packMove(Move m) {
    return (m & 0x3F) | (m >> 2 & 0xFC0) | (m >> 4 & 0x3F000) | (m >> 6 & 0x1C0000);
}
constexpr Move unpackMove(uint64_t p) {
    return static_cast<Move>((p & 0x3F) | (p & 0xFC0) << 2 | (p & 0x3F000) << 4 | (p & 0x1C0000) << 6);
}
static_assert(unpackMove(packMove(0x05393F29)) == 0x05393F29 && unpackMove(packMove(CASTLE_QUEENSIDE_MOVE)) ==
                                                                        CASTLE_QUEENSIDE_MOVE,
              "a move survives packing");

// Spreads every bit of the low word over the high bits, where the key sits (see TTSlot).
constexpr uint64_t mix(uint64_t low) { return low * 0x9E3779B97F4A7C15ull; }

Record encode(uint64_t key, const TTEntry& entry) {
    return recordField(packMove(entry.move), MOVE_FIELD) |
           recordField(static_cast<uint64_t>(static_cast<int64_t>(entry.score)), SCORE_FIELD) |
           recordField(entry.bound, BOUND_FIELD) | recordField(entry.iteration, ITERATION_FIELD) |
           recordField(entry.depth, DEPTH_FIELD) | recordField(entry.stamp, STAMP_FIELD) |
           recordField(key >> KEY_DROPPED_BITS, KEY_FIELD);
}

// The entry a record holds; its key has the kept bits only (zero below them).
TTEntry decode(Record r) {
    TTEntry entry;
    entry.key = fieldOf(r, KEY_FIELD) << KEY_DROPPED_BITS;
    entry.depth = static_cast<uint8_t>(fieldOf(r, DEPTH_FIELD));
    entry.iteration = static_cast<uint8_t>(fieldOf(r, ITERATION_FIELD));
    entry.bound = static_cast<uint8_t>(fieldOf(r, BOUND_FIELD));
    entry.spare = 0;
    // Sign-extend the score from its field.
    constexpr int unused = 64 - SCORE_FIELD.bits;
    entry.score = static_cast<int32_t>(static_cast<int64_t>(fieldOf(r, SCORE_FIELD) << unused) >> unused);
    entry.move = unpackMove(fieldOf(r, MOVE_FIELD));
    entry.stamp = static_cast<uint32_t>(fieldOf(r, STAMP_FIELD));
    return entry;
}

Record readSlot(const TTSlot& slot) {
    const uint64_t low = slot.low.load(std::memory_order_relaxed);
    const uint64_t high = slot.high.load(std::memory_order_relaxed) ^ mix(low);
    return static_cast<Record>(high) << 64 | low;
}

// Writes the low word, then the high word that checks it (see TTSlot).
void writeSlot(TTSlot& slot, Record r) {
    const auto low = static_cast<uint64_t>(r);
    slot.low.store(low, std::memory_order_relaxed);
    slot.high.store(static_cast<uint64_t>(r >> 64) ^ mix(low), std::memory_order_relaxed);
}

uint32_t stampOf(Record r) { return static_cast<uint32_t>(fieldOf(r, STAMP_FIELD)); }
bool sameKey(Record r, uint64_t key) { return fieldOf(r, KEY_FIELD) == key >> KEY_DROPPED_BITS; }

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
        // The slots keep too few key bits for a smaller table (see TTSlot).
        if (static_cast<uint32_t>(entries) < MIN_ENTRIES) entries = static_cast<int32_t>(MIN_ENTRIES);
        size_t bytes = static_cast<size_t>(entries) * sizeof(TTSlot);
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
    currentStamp = (currentStamp + 1) & STAMP_MASK;
    // Once the stamps wrap round old entries would come back to life: empty the table for real.
    if (currentStamp == 0) {
        std::memset(static_cast<void*>(table), 0, tableBytes);
        currentStamp = 1;
    }
}

void shiftMateScores(int plies) {
    if (table == nullptr || plies == 0) return;
    for (uint64_t i = 0; i < tableEntries; ++i) {
        TTSlot& slot = table[i];
        const Record record = readSlot(slot);
        if (stampOf(record) != currentStamp) continue;
        TTEntry entry = decode(record);
        if (entry.score <= MATE_THRESHOLD && entry.score >= -MATE_THRESHOLD) continue;
        // A mate nearer than the new root can reach belongs to a position before it: dropped.
        const int shifted = entry.score > 0 ? entry.score + plies : entry.score - plies;
        const bool reachable = shifted <= MATE_SCORE && shifted >= -MATE_SCORE;
        entry.score = shifted;
        if (!reachable) entry.stamp = (currentStamp - 1) & STAMP_MASK;
        writeSlot(slot, encode(entry.key, entry));
    }
}

void prefetchHash(uint64_t key) {
    if (table != nullptr) prefetchLine(&slotOf(key));
}

void prefetchChildren(const CaptureList& list) {
    for (uint32_t i = 0; i < list.count; ++i) prefetchHash(keyAfterGenerated(list.entries[i].move));
}

void prefetchChildren(const QuietList& list) {
    for (uint32_t i = 0; i < list.count; ++i) prefetchHash(keyAfterGenerated(list.moves[i]));
}

int64_t hashTableEntries() { return static_cast<int64_t>(tableEntries); }

int hashFullPermille() {
    constexpr uint64_t SAMPLE = 1000;
    if (table == nullptr) return 0;
    const uint64_t n = tableEntries < SAMPLE ? tableEntries : SAMPLE;
    uint64_t used = 0;
    for (uint64_t i = 0; i < n; ++i) used += stampOf(readSlot(table[i])) == currentStamp ? 1 : 0;
    return static_cast<int>(used * 1000 / n);
}

int probeHash(TTEntry* entry, int iteration, int depth, int alpha, int beta) {
    const uint64_t key = currentPosition().key;
    if (table == nullptr) {
        *entry = TTEntry{};
        return key == 0 ? HASH_NO_ANSWER : HASH_MISS;
    }
    const Record record = readSlot(slotOf(key));
    if (stampOf(record) != currentStamp) {
        *entry = TTEntry{};
        return key == 0 ? HASH_NO_ANSWER : HASH_MISS;
    }
    *entry = decode(record);
    if (!sameKey(record, key)) return HASH_MISS;
    entry->key = key;
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
    const Record record = readSlot(slotOf(key));
    return stampOf(record) == currentStamp && sameKey(record, key) ? decode(record).move : 0;
}

void storeHash(int iteration, int depth, int score, int bound, Move move) {
    if (table == nullptr) return;
    const Position& p = currentPosition();
    TTSlot& slot = slotOf(p.key);
    const Record old = readSlot(slot);
    if (stampOf(old) == currentStamp && hasMinorOrRook(p) &&
        (static_cast<int>(fieldOf(old, ITERATION_FIELD)) > iteration || static_cast<int>(fieldOf(old, DEPTH_FIELD)) > depth))
        return;
    TTEntry entry;
    entry.depth = static_cast<uint8_t>(depth);
    entry.iteration = static_cast<uint8_t>(iteration);
    entry.bound = static_cast<uint8_t>(bound);
    entry.spare = 0;
    entry.score = score;
    entry.move = move;
    entry.stamp = currentStamp;
    writeSlot(slot, encode(p.key, entry));
}
