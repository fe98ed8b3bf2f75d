#include "eval/pawnhash.h"

#include <cstdio>

#include "board/hashkey.h"
#include "platform/fastremainder.h"
#include "platform/memory.h"
#include "output/notice.h"
#include "state/enginestate.h"

namespace {

PawnTable enginePawnTable;

// The pawn key alone cannot tell which side is at the bottom: a board and its top-to-bottom
// mirror with the colours kept have equal keys, once with white and once with black at the
// bottom, although the entries describe different sides. The side-to-move number tells them apart.
uint64_t slotKey(uint64_t pawnKey, int colour) { return colour == WHITE ? pawnKey : pawnKey ^ Random64[780]; }

int64_t widenKey(uint64_t key) { return static_cast<int32_t>(static_cast<uint32_t>(key)); }

PawnHashEntry& slotOf(const PawnTable& table, int64_t widened) {
    return table.entries[table.slotIndex.of(static_cast<uint64_t>(widened))];
}

}  // namespace

thread_local constinit PawnTable* threadPawnTable = &enginePawnTable;

bool allocatePawnTable(PawnTable& table, int64_t entries) {
    releasePages(table.entries, table.count * sizeof(PawnHashEntry));
    table = PawnTable{};
    if (entries <= 0) return true;
    // Fresh zero pages, resident only once touched, and large pages where the system has them.
    table.entries =
        static_cast<PawnHashEntry*>(allocateZeroedPages(static_cast<size_t>(entries) * sizeof(PawnHashEntry)));
    if (table.entries == nullptr) return false;
    table.count = static_cast<uint64_t>(entries);
    table.slotIndex = FastRemainder(static_cast<uint32_t>(entries));
    return true;
}

void allocatePawnHash() {
    if (!allocatePawnTable(enginePawnTable, gs_info.pawnHashEntries)) {
        printNotice("Pawn Hash Table Memory Allocation Failed!\n");
        return;
    }
    printNotice("Allocated %i MB for the Pawn Hash Table\n", static_cast<int>(gs_info.pawnHashSize));
}

bool pawnHashPresent() { return threadPawnTable->count != 0; }

uint64_t pawnKeyOf(const Position& p) {
    // White pawns always take the white-pawn numbers (64..127), black pawns the black ones (0..63).
    const int ownBase = p.colour == WHITE ? 64 : 0;
    const int enemyBase = 64 - ownBase;
    uint64_t key = 0;
    TBB own = p.pawns() & p.own;
    TBB enemy = p.pawns() & ~p.own;
    while (own) key ^= Random64[popLowest(own) + ownBase];
    while (enemy) key ^= Random64[popLowest(enemy) + enemyBase];
    return key;
}

void prefetchPawnHash(const Position& p) {
    const PawnTable& table = *threadPawnTable;
    if (table.count == 0 || !p.pawnKeysKnown) return;
    const int colour = static_cast<int>(p.colour);
    prefetchLine(&slotOf(table, widenKey(slotKey(p.pawnKeys[0], colour))));
    prefetchLine(&slotOf(table, widenKey(slotKey(p.pawnKeys[1], 1 - colour))));
}

namespace {

// The two slots of the position after m, when m changes the pawns (pawn keys from the mover's
// view and the flipped one, as makeMove updates them). A move changes them exactly when it
// starts from or lands on a pawn's square: pawn moves, promotions, en passant and captures of pawns.
[[gnu::always_inline]] inline void prefetchPawnSlotsAfter(const PawnTable& table, const Position& p, TBB pawns,
                                                          Move m) {
    const int from = moveFrom(m), to = moveTo(m);
    if ((((pawns >> from) | (pawns >> to)) & 1) == 0) return;
    const int ownBase = p.colour == WHITE ? 64 : 0;
    uint32_t view = p.pawnKeys[0], flipped = p.pawnKeys[1];
    const auto toggle = [&](int base, int s) {
        view ^= static_cast<uint32_t>(Random64[base + s]);
        flipped ^= static_cast<uint32_t>(Random64[base + (s ^ 56)]);
    };
    if ((pawns >> from) & 1) {
        toggle(ownBase, from);
        if (movePromotion(m) == 0) toggle(ownBase, to);
    }
    if ((pawns >> to) & 1) toggle(64 - ownBase, to);
    if (moveType(m) == MT_EN_PASSANT) toggle(64 - ownBase, to - 8);
    const int colour = static_cast<int>(p.colour);
    prefetchLine(&slotOf(table, widenKey(slotKey(flipped, 1 - colour))));
    prefetchLine(&slotOf(table, widenKey(slotKey(view, colour))));
}

}  // namespace

void prefetchChildrenPawnSlots(const CaptureList& list) {
    const PawnTable& table = *threadPawnTable;
    const Position& p = currentPosition();
    if (table.count == 0 || !p.pawnKeysKnown) return;
    const TBB pawns = p.pawns();
    for (uint32_t i = 0; i < list.count; ++i) prefetchPawnSlotsAfter(table, p, pawns, list.entries[i].move);
}

void prefetchChildrenPawnSlots(const QuietList& list) {
    const PawnTable& table = *threadPawnTable;
    const Position& p = currentPosition();
    if (table.count == 0 || !p.pawnKeysKnown) return;
    const TBB pawns = p.pawns();
    for (uint32_t i = 0; i < list.count; ++i) prefetchPawnSlotsAfter(table, p, pawns, list.moves[i]);
}

int probePawnHashKey(uint64_t pawnKey, int colour, PawnHashEntry* entry) {
    const PawnTable& table = *threadPawnTable;
    if (table.count == 0) return PAWN_HASH_MISS;
    const int64_t widened = widenKey(slotKey(pawnKey, colour));
    *entry = slotOf(table, widened);
    return entry->key == static_cast<int32_t>(widened) ? entry->score : PAWN_HASH_MISS;
}

void storePawnHashKey(uint64_t pawnKey, int colour, int score, uint64_t passers, int count) {
    const PawnTable& table = *threadPawnTable;
    if (table.count == 0) return;
    const int64_t widened = widenKey(slotKey(pawnKey, colour));
    // Pawn scores stay far inside 16 bits, even on a made-up board full of pawns, and a count
    // is at most 64.
    slotOf(table, widened) =
        PawnHashEntry{static_cast<int32_t>(widened), static_cast<int16_t>(score), static_cast<uint8_t>(count), 0, passers};
}

int probePawnHash(PawnHashEntry* entry) {
    return probePawnHashKey(computePawnKey(), static_cast<int>(currentPosition().colour), entry);
}

void storePawnHash(int score, uint64_t passers, int count) {
    storePawnHashKey(computePawnKey(), static_cast<int>(currentPosition().colour), score, passers, count);
}
