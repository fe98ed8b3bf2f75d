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
// The castling numbers of rights `lost` (bits as in Position::castling) for the side `colour`.
uint64_t castlingRightsKey(int lost, int colour);
// The en-passant number the current position's key holds, or 0.
uint64_t passingKey();
// The exact key after a move of a generated list (one that fits the board), castling aside,
// cheaper than approximateKeyAfter for the common moves: the mover's kind comes from the move
// type. Inline: it runs for every generated move.
inline uint64_t keyAfterGenerated(Move m) {
    const int type = moveType(m);
    // Castling, promotions and en passant: the general form.
    if (type > MT_KING_CAPTURE) return approximateKeyAfter(m);
    const Position& p = currentPosition();
    const int white = p.colour == WHITE ? 1 : 0;
    const int mirror = white ? 0 : 56;
    const int from = moveFrom(m), to = moveTo(m);
    const uint64_t* mover = Random64 + 64 * (2 * ((type & 7) - 1) + white);
    uint64_t key = p.key ^ Random64[SIDE_KEY] ^ mover[from ^ mirror] ^ mover[to ^ mirror];
    if (type > MT_KING) key ^= Random64[64 * (2 * (p.pieceType(to) - 1) + 1 - white) + (to ^ mirror)];
    if (p.castling != 0) {
        const int kept = Castling.rightsKept[from] & Castling.rightsKept[to] & ((type & 7) == KING ? ~3 : ~0);
        if (const int lost = p.castling & ~kept; lost != 0) key ^= castlingRightsKey(lost, static_cast<int>(p.colour));
    }
    if (p.epFile != NO_EP_FILE) key ^= passingKey();
    // A double step beside an enemy pawn lets the opponent take en passant.
    if (type == MT_PAWN && to - from == 16) {
        const TBB beside = ((squareBit(to) << 1) & ~FILE_A) | ((squareBit(to) >> 1) & ~FILE_H);
        if (beside & p.pawns() & ~p.own) key ^= Random64[EP_KEY + (to & 7)];
    }
    return key;
}
// Incremental key update made by makeMove on the new (already flipped) record.
void updateHashKey(Move move, int moverCode, int capturedCode, int promotionCode, int oldCastling, int oldEpFile,
                   int enPassant);
// True when the current position's side to move can take en passant on the recorded file,
// i.e. when the key holds the en-passant number.
bool epNumberInKey();
