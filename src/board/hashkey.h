#pragma once
#include <cstdint>

#include "board/castling.h"
#include "board/position.h"
#include "board/types.h"

// The 781 numbers of the Polyglot book key: 64 * kind + square for pieces (kind: black pawn 0,
// white pawn 1, ... white king 11), 768..771 castling, 772..779 en-passant files, 780 white to move.
extern const uint64_t Random64[781];
constexpr int CASTLE_KEY = 768;
constexpr int EP_KEY = 772;
constexpr int SIDE_KEY = 780;

// Polyglot key of the current position, from scratch.
uint64_t computeHashKey();
// Pawn-hash key of the current position (side-relative squares; white pawns use white numbers).
uint64_t computePawnKey();
// Sets the current record's pawnKeys from scratch.
void setPawnKeys();
void toggleSideKey();
// The key the position after m will have, lost castling rights and en passant aside: close
// enough to fetch the child's table slot before the move is made. Safe for any move word.
uint64_t approximateKeyAfter(Move m);
// What a plain move (see keyAfterGenerated) changes in the key besides its men: castling rights
// it loses, the en-passant number it ends and the one a double step beside an enemy pawn starts.
uint64_t rightsAndPassingKey(Move m);
// The exact key after a move of a generated list (one that fits the board), castling,
// promotions and en passant aside (they take approximateKeyAfter), and cheaper than that for
// the common moves: the mover's kind comes from the move type. Inline: it runs for every
// generated move.
[[gnu::always_inline]] inline uint64_t keyAfterGenerated(Move m) {
    const int type = moveType(m);
    if (type > MT_KING_CAPTURE) return approximateKeyAfter(m);
    const Position& p = currentPosition();
    const int white = p.colour == WHITE ? 1 : 0;
    const int mirror = white ? 0 : 56;
    const int from = moveFrom(m), to = moveTo(m);
    const uint64_t* mover = Random64 + 64 * (2 * ((type & 7) - 1) + white);
    uint64_t key = p.key ^ Random64[SIDE_KEY] ^ mover[from ^ mirror] ^ mover[to ^ mirror];
    if (type > MT_KING) key ^= Random64[64 * (2 * (p.pieceType(to) - 1) + 1 - white) + (to ^ mirror)];
    const bool rightsMayGo =
        p.castling != 0 && ((type & 7) == KING || (Castling.rightsKept[from] & Castling.rightsKept[to]) != 0xFF);
    if (rightsMayGo || p.epFile != NO_EP_FILE || (type == MT_PAWN && to - from == 16)) key ^= rightsAndPassingKey(m);
    return key;
}
// Incremental key update made by makeMove on the new (already flipped) record.
void updateHashKey(Move move, int moverCode, int capturedCode, int promotionCode, int oldCastling, int oldEpFile,
                   int enPassant);
// True when the current position's side to move can take en passant on the recorded file,
// i.e. when the key holds the en-passant number.
bool epNumberInKey();
