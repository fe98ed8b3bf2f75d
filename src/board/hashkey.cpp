#include "board/hashkey.h"

#include "board/castling.h"
#include "board/position.h"

namespace {

// Number of a coloured piece code (type, + 8 when white) on an absolute square.
uint64_t pieceNumber(int code, int absSquare) {
    int kind = 2 * ((code & 7) - 1) + (code >> 3);
    return Random64[64 * kind + absSquare];
}

// Castling numbers for a castling byte seen from `colour`'s side (bit 0 long, bit 1 short,
// bits 4 and 5 the same for the other side).
uint64_t castlingNumbers(int castling, int colour) {
    // Index of the Random64 entry for own short, own long, other short, other long.
    int ownShort = colour == WHITE ? 0 : 2, otherShort = 2 - ownShort;
    uint64_t key = 0;
    if (castling & 0x02) key ^= Random64[CASTLE_KEY + ownShort];
    if (castling & 0x01) key ^= Random64[CASTLE_KEY + ownShort + 1];
    if (castling & 0x20) key ^= Random64[CASTLE_KEY + otherShort];
    if (castling & 0x10) key ^= Random64[CASTLE_KEY + otherShort + 1];
    return key;
}

// The squares beside `square` on its rank.
TBB besideSquares(int square) { return ((squareBit(square) << 1) & ~FILE_A) | ((squareBit(square) >> 1) & ~FILE_H); }

// A double-stepped pawn counts in the key only when a pawn of the side to move stands beside it.
bool epNumberIn(const Position& p) {
    int f = p.epFile;
    if (f == NO_EP_FILE) return false;
    return (besideSquares(32 + f) & p.own & p.pawns()) != 0;
}

}  // namespace

bool epNumberInKey() { return epNumberIn(currentPosition()); }

uint64_t rightsAndPassingKey(Move m) {
    const Position& p = currentPosition();
    const int type = moveType(m), from = moveFrom(m), to = moveTo(m);
    uint64_t key = 0;
    int kept = Castling.rightsKept[from] & Castling.rightsKept[to];
    if ((type & 7) == KING) kept &= ~(0x01 | 0x02);
    if (const int lost = p.castling & ~kept; lost != 0) key ^= castlingNumbers(lost, static_cast<int>(p.colour));
    if (epNumberIn(p)) key ^= Random64[EP_KEY + p.epFile];
    // Seen from the mover's side: the opponent's pawns beside the double-stepped one.
    if (type == MT_PAWN && to - from == 16 && (besideSquares(to) & p.pawns() & p.opponent()))
        key ^= Random64[EP_KEY + (to & 7)];
    return key;
}

uint64_t computeHashKey() {
    const Position& p = currentPosition();
    int mirror = p.colour == WHITE ? 0 : 56;
    TBB white = p.colour == WHITE ? p.own : p.opponent();
    uint64_t key = 0;
    for (TBB pieces = p.occupied(); pieces;) {
        int s = popLowest(pieces);
        int code = p.pieceType(s) + ((white >> s) & 1 ? 8 : 0);
        key ^= pieceNumber(code, s ^ mirror);
    }
    key ^= castlingNumbers(p.castling, static_cast<int>(p.colour));
    if (epNumberIn(p)) key ^= Random64[EP_KEY + p.epFile];
    if (p.colour == WHITE) key ^= Random64[SIDE_KEY];
    return key;
}

uint64_t computePawnKey() {
    const Position& p = currentPosition();
    int ownOffset = p.colour == WHITE ? 64 : 0, otherOffset = 64 - ownOffset;
    uint64_t key = 0;
    TBB pawns = p.pawns();
    for (TBB b = pawns & p.own; b;) key ^= Random64[popLowest(b) + ownOffset];
    for (TBB b = pawns & ~p.own; b;) key ^= Random64[popLowest(b) + otherOffset];
    return key;
}

void setPawnKeys() {
    Position& p = currentPosition();
    const uint64_t view = computePawnKey();
    flipPosition(p);
    const uint64_t flipped = computePawnKey();
    flipPosition(p);
    p.pawnKeys[0] = static_cast<uint32_t>(view);
    p.pawnKeys[1] = static_cast<uint32_t>(flipped);
    p.pawnKeysKnown = 1;
}

uint64_t approximateKeyAfter(Move m) {
    const Position& p = currentPosition();
    const int mirror = p.colour == WHITE ? 0 : 56;
    const int colourBonus = p.colour == WHITE ? 8 : 0;
    const int from = moveFrom(m), to = moveTo(m), promotion = movePromotion(m);
    uint64_t key = p.key ^ Random64[SIDE_KEY];
    // A stored move from a colliding key need not fit the board: nothing to fetch then.
    if (from > 63 || to > 63 || promotion > QUEEN || !(p.own >> from & 1)) return key;
    const int mover = p.pieceType(from) + colourBonus;
    key ^= pieceNumber(mover, from ^ mirror);
    key ^= pieceNumber(promotion != 0 ? promotion + colourBonus : mover, to ^ mirror);
    if (p.occupied() >> to & 1) key ^= pieceNumber(p.pieceType(to) + 8 - colourBonus, to ^ mirror);
    return key;
}

void toggleSideKey() { currentPosition().key ^= Random64[SIDE_KEY]; }

void updateHashKey(Move move, int moverCode, int capturedCode, int promotionCode, int oldCastling, int oldEpFile,
                   int enPassant) {
    Position& p = currentPosition();
    const Position& before = *(threadStack->current - 1);
    int moverColour = 1 - static_cast<int>(p.colour);
    int mirror = moverColour == WHITE ? 0 : 56;
    int from = moveFrom(move) ^ mirror, to = moveTo(move) ^ mirror;
    int type = moveType(move);
    uint64_t key = p.key;

    if (type == MT_CASTLE_KINGSIDE || type == MT_CASTLE_QUEENSIDE) {
        // The move word need not name the king's destination (in Chess960 it names the rook).
        const CastlingSide& side = castlingSide(moverColour, type == MT_CASTLE_KINGSIDE);
        const int rookCode = ROOK + (moverColour == WHITE ? 8 : 0);
        key ^= pieceNumber(moverCode, side.king ^ mirror) ^ pieceNumber(moverCode, side.kingTo ^ mirror) ^
               pieceNumber(rookCode, side.rook ^ mirror) ^ pieceNumber(rookCode, side.rookTo ^ mirror);
    } else {
        key ^= pieceNumber(moverCode, from) ^ pieceNumber(moverCode, to);
    }
    if (capturedCode) key ^= pieceNumber(capturedCode, to);
    if (enPassant) {
        int victim = (moveTo(move) - 8) ^ mirror;
        key ^= pieceNumber(PAWN + (moverColour == WHITE ? 0 : 8), victim);
    }
    if (promotionCode) key ^= pieceNumber(moverCode, to) ^ pieceNumber(promotionCode, to);

    // The new record's castling byte is seen from the opponent's side: rotate it back.
    int newCastling = ((p.castling << 4) | (p.castling >> 4)) & 0xFF;
    if (newCastling != oldCastling) key ^= castlingNumbers(oldCastling ^ newCastling, moverColour);

    if (oldEpFile != NO_EP_FILE && epNumberIn(before)) key ^= Random64[EP_KEY + oldEpFile];
    if (epNumberIn(p)) key ^= Random64[EP_KEY + p.epFile];
    p.key = key ^ Random64[SIDE_KEY];
}
