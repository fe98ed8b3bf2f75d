#pragma once
#include <cstdint>

#include "board/bitboard.h"
#include "board/types.h"

// epFile when no pawn has just double-stepped.
constexpr uint8_t NO_EP_FILE = 8;

// One position, always drawn from the side to move's point of view: when black is to move
// every bitboard is mirrored vertically (square s holds what absolute square s ^ 56 holds).
struct alignas(64) Position {  // one cache line: the copy in make-move touches one line
    TBB own;                   // squares of the side to move
    TBB P1;                    // bit 0 of the piece type on each occupied square
    TBB P2;                    // bit 1
    TBB P3;                    // bit 2
    uint8_t castling;          // bit 0/1: own queenside/kingside, bit 4/5: opponent's
    uint8_t epFile;            // file of a pawn that just double-stepped, or NO_EP_FILE
    uint8_t fifty;             // plies since the last capture, pawn move or null move
    uint8_t repetitions;       // how often this board stood before in the reversible stretch
    uint32_t colour;           // 0 white to move, 1 black to move (board mirrored)
    uint64_t key;              // Polyglot key
    int32_t score;             // material and piece-square score for the side to move
    // Low 32 bits of the pawn key (all the pawn hash uses) from this record's view and from the
    // flipped one's, kept up to date by makeMove; valid only while pawnKeysKnown is 1.
    uint32_t pawnKeys[2];
    uint8_t pawnKeysKnown;
    uint8_t unused[3];  // explicit, so that copies and comparisons cover every byte

    TBB occupied() const { return P1 | P2 | P3; }
    TBB opponent() const { return occupied() ^ own; }
    TBB empty() const { return ~occupied(); }
    TBB pawns() const { return P1 & ~P2 & ~P3; }
    TBB knights() const { return P2 & ~P1 & ~P3; }
    TBB bishops() const { return P1 & P2; }
    TBB rooks() const { return P3 & ~P1 & ~P2; }
    TBB queens() const { return P1 & P3; }
    TBB kings() const { return P2 & P3; }
    TBB bishopsOrQueens() const { return P1 & (P2 | P3); }
    TBB rooksOrQueens() const { return P3 & (~(P1 | P2) | P1); }
    int pieceType(int s) const {
        return static_cast<int>(((P1 >> s) & 1) | (((P2 >> s) & 1) << 1) | (((P3 >> s) & 1) << 2));
    }
};
static_assert(sizeof(Position) == 64, "the position record is 64 bytes");

// Room for a long game plus the deepest search line. When a game fills the game part,
// older history is folded away (see ensureGameRoom) rather than writing past the end.
constexpr int STACK_SIZE = 4096;
// Records kept free above the game for the search, quiescence and probing.
constexpr int SEARCH_HEADROOM = 1024;
// Records kept when old history is folded away: more than the longest reversible stretch
// the repetition test can look back over.
constexpr int HISTORY_KEPT = 300;

struct PositionStack {
    Position records[STACK_SIZE];
    Position* current;
};
// The game's stack: the protocol thread's between searches, the main search's during one.
extern PositionStack positionStack;
// The stack this thread's board functions work on: the game's, except in a helper search thread,
// which searches a copy of its own. Every thread starts out on the game's stack.
extern thread_local constinit PositionStack* threadStack;

inline Position& currentPosition() { return *threadStack->current; }
inline int stackIndex() { return static_cast<int>(threadStack->current - threadStack->records); }
// True when a search must not make another move from here.
inline bool stackNearlyFull() { return threadStack->current >= threadStack->records + (STACK_SIZE - 16); }

// Makes room for one more game move: when the game has used the game part of the stack,
// the most recent HISTORY_KEPT records are moved to the bottom. Returns how far they moved.
int ensureGameRoom();

// Swaps the point of view of the current position.
void flipBoard();
// Everything but the pawn keys: enough where pawnKeysKnown is 0 anyway (the light make-move).
inline void flipBoardAndScore(Position& p) {
    p.own = byteSwap(p.occupied() ^ p.own);
    p.P1 = byteSwap(p.P1);
    p.P2 = byteSwap(p.P2);
    p.P3 = byteSwap(p.P3);
    p.castling = static_cast<uint8_t>((p.castling << 4) | (p.castling >> 4));
    p.score = -p.score;
    p.colour = 1 - p.colour;
}
inline void flipPosition(Position& p) {
    flipBoardAndScore(p);
    const uint32_t view = p.pawnKeys[0];
    p.pawnKeys[0] = p.pawnKeys[1];
    p.pawnKeys[1] = view;
}

// Sets `repetitions` of the current record by looking back over the reversible stretch.
void repetitionCount();

constexpr TBB START_OWN = 0x000000000000FFFFULL;
constexpr TBB START_P1 = 0x2CFF00000000FF2CULL;
constexpr TBB START_P2 = 0x7600000000000076ULL;
constexpr TBB START_P3 = 0x9900000000000099ULL;
constexpr uint64_t START_KEY = 0x463B96181691FC9CULL;
