#pragma once
#include <cstdint>

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
// The key the position after m will have, castling-right and en-passant changes aside: close
// enough to fetch the child's table slot before the move is made. Safe for any move word.
uint64_t approximateKeyAfter(Move m);
// The same for a move of a generated list (one that fits the board), cheaper for the common
// moves: the mover's kind comes from the move type. Inline: it runs for every generated move.
inline uint64_t approximateKeyAfterGenerated(Move m) {
    const int type = moveType(m);
    // Castling, promotions and en passant: the general form.
    if (type > MT_KING_CAPTURE) return approximateKeyAfter(m);
    const Position& p = currentPosition();
    const int white = p.colour == WHITE ? 1 : 0;
    const int mirror = white ? 0 : 56;
    const int to = moveTo(m);
    const uint64_t* mover = Random64 + 64 * (2 * ((type & 7) - 1) + white);
    uint64_t key = p.key ^ Random64[SIDE_KEY] ^ mover[moveFrom(m) ^ mirror] ^ mover[to ^ mirror];
    if (type > MT_KING) key ^= Random64[64 * (2 * (p.pieceType(to) - 1) + 1 - white) + (to ^ mirror)];
    return key;
}
// Incremental key update made by makeMove on the new (already flipped) record.
void updateHashKey(Move move, int moverCode, int capturedCode, int promotionCode, int oldCastling, int oldEpFile,
                   int enPassant);
// True when the current position's side to move can take en passant on the recorded file,
// i.e. when the key holds the en-passant number.
bool epNumberInKey();
