#include "board/makemove.h"

#include "board/castling.h"
#include "board/hashkey.h"
#include "board/position.h"
#include "eval/material.h"
#include "state/searchinfo.h"

namespace {

constexpr uint8_t OWN_LONG = 0x01, OWN_SHORT = 0x02;

// Planes that carry a bit of each piece type's code.
constexpr TBB planeMask(int type, int plane) { return (type >> plane) & 1 ? ~TBB{0} : 0; }

[[gnu::always_inline]] inline void togglePiece(Position& p, int type, TBB squares) {
    p.P1 ^= squares & planeMask(type, 0);
    p.P2 ^= squares & planeMask(type, 1);
    p.P3 ^= squares & planeMask(type, 2);
}

[[gnu::always_inline]] inline void clearSquare(Position& p, TBB square) {
    p.P1 &= ~square;
    p.P2 &= ~square;
    p.P3 &= ~square;
}

void incrementFifty(Position& p) {
    if (p.fifty < 255) ++p.fifty;
}

// Score change of both kings when a capture takes the men count from n to n - 1.
int retaperKings(const Position& before, int n, bool ownKingMoves) {
    int delta = 0;
    if (!ownKingMoves) {
        int own = lowestSquare(before.kings() & before.own);
        delta += taperedKing(own, n - 1) - taperedKing(own, n);
    }
    int other = lowestSquare(before.kings() & before.opponent()) ^ 56;
    delta -= taperedKing(other, n - 1) - taperedKing(other, n);
    return delta;
}

// Pawns of one colour that appeared or vanished (squares from the mover's view) change the pawn
// key of both views: the mover's, and the flipped one where each square is mirrored.
void togglePawnKeys(Position& p, TBB changed, int base) {
    while (changed) {
        const int s = popLowest(changed);
        p.pawnKeys[0] ^= static_cast<uint32_t>(Random64[base + s]);
        p.pawnKeys[1] ^= static_cast<uint32_t>(Random64[base + (s ^ 56)]);
    }
}

template <bool Full>
void doMove(Move m) {
    const Position& before = currentPosition();
    const int type = moveType(m), from = moveFrom(m), to = moveTo(m), promotion = movePromotion(m);
    const TBB F = squareBit(from), T = squareBit(to), FT = F | T;
    const int colourBonus = before.colour == WHITE ? 8 : 0;
    const int n = popCount(before.occupied());
    const auto& pst = PieceSquareTable;

    // The child's key, read off the record before the move for the plain moves; castling,
    // promotions and en passant take the general update after it.
    const bool plainMove = type <= MT_KING_CAPTURE;
    uint64_t key = 0;
    if constexpr (Full) {
        if (plainMove) key = keyAfterGenerated(m);
    }

    ++*nodeCounter;
    Position& p = *++threadStack->current;
    p = before;
    p.epFile = NO_EP_FILE;
    int score = 0;
    bool reversible = false;

    switch (type) {
    case MT_PAWN:
        p.own ^= FT;
        p.P1 ^= FT;
        if (to >= 24 && to < 32 && from >= 8 && from < 16) p.epFile = static_cast<uint8_t>(to & 7);
        p.fifty = 0;
        p.repetitions = 0;
        if constexpr (Full) score = pst[PAWN][to] - pst[PAWN][from];
        break;
    case MT_ROOK:  // a castling rook leaving its square loses its right
        p.castling &= Castling.rightsKept[from];
        [[fallthrough]];
    case MT_KNIGHT:
    case MT_BISHOP:
    case MT_QUEEN:
        p.own ^= FT;
        togglePiece(p, type, FT);
        incrementFifty(p);
        if constexpr (Full) score = pst[type][to] - pst[type][from];
        reversible = true;
        break;
    case MT_KING:
        p.own ^= FT;
        p.P2 ^= FT;
        p.P3 ^= FT;
        p.castling &= ~(OWN_LONG | OWN_SHORT);
        incrementFifty(p);
        if constexpr (Full) score = taperedKing(to, n) - taperedKing(from, n);
        reversible = true;
        break;
    case MT_PAWN_CAPTURE:
    case MT_KNIGHT_CAPTURE:
    case MT_BISHOP_CAPTURE:
    case MT_ROOK_CAPTURE:
    case MT_QUEEN_CAPTURE:
    case MT_KING_CAPTURE: {
        const int mover = type - 8;
        const int victim = before.pieceType(to);
        clearSquare(p, T);
        p.own ^= FT;
        togglePiece(p, mover, FT);
        // A castling rook that captures, or is captured, loses its right.
        p.castling &= Castling.rightsKept[from] & Castling.rightsKept[to];
        if (type == MT_KING_CAPTURE) p.castling &= ~(OWN_LONG | OWN_SHORT);
        p.fifty = 0;
        p.repetitions = 0;
        if constexpr (Full) {
            score = MaterialValue[victim] + pst[victim][to ^ 56];
            if (type == MT_KING_CAPTURE)
                score += taperedKing(to, n - 1) - taperedKing(from, n) + retaperKings(before, n, true);
            else
                score += pst[mover][to] - pst[mover][from] + retaperKings(before, n, false);
        }
        break;
    }
    case MT_PROMOTION:
        p.own ^= FT;
        p.P1 ^= F;
        togglePiece(p, promotion, T);
        p.fifty = 0;
        p.repetitions = 0;
        if constexpr (Full) score = MaterialValue[promotion] + pst[promotion][to] - pst[PAWN][from] - 100;
        break;
    case MT_PROMOTION_CAPTURE: {
        const int victim = before.pieceType(to);
        clearSquare(p, T);
        p.P1 ^= F;
        togglePiece(p, promotion, T);
        p.own ^= FT;
        p.castling &= Castling.rightsKept[to];
        p.fifty = 0;
        p.repetitions = 0;
        if constexpr (Full)
            score = MaterialValue[promotion] + pst[promotion][to] + MaterialValue[victim] + pst[victim][to ^ 56] -
                    pst[PAWN][from] - 100 + retaperKings(before, n, false);
        break;
    }
    case MT_CASTLE_KINGSIDE:
    case MT_CASTLE_QUEENSIDE: {
        // King and rook go to g1 and f1 or c1 and d1 from wherever they start, even when one of
        // them stays where it is or they swap squares: the changes are laid down per game.
        const CastlingSide& side = castlingSide(static_cast<int>(before.colour), type == MT_CASTLE_KINGSIDE);
        p.own ^= side.menChange;
        p.P2 ^= side.kingChange;
        p.P3 ^= side.menChange;
        p.castling &= ~(OWN_LONG | OWN_SHORT);
        incrementFifty(p);
        if constexpr (Full)
            score = taperedKing(side.kingTo, n) - taperedKing(side.king, n) + pst[ROOK][side.rookTo] -
                    pst[ROOK][side.rook];
        reversible = true;
        break;
    }
    case MT_EN_PASSANT:
        p.own ^= FT;
        p.P1 ^= FT ^ (T >> 8);
        p.fifty = 0;
        p.repetitions = 0;
        if constexpr (Full)
            score = 100 + pst[PAWN][(to - 8) ^ 56] + pst[PAWN][to] - pst[PAWN][from] + retaperKings(before, n, false);
        break;
    default:  // not a move: the generators and the move parser never produce one
        break;
    }

    if constexpr (Full) {
        p.score += score;
        // White pawns take the numbers from 64 on, black ones those from 0.
        const int ownBase = before.colour == WHITE ? 64 : 0;
        const TBB pawnsBefore = before.pawns(), pawnsAfter = p.pawns();
        togglePawnKeys(p, (pawnsBefore & before.own) ^ (pawnsAfter & p.own), ownBase);
        togglePawnKeys(p, (pawnsBefore & ~before.own) ^ (pawnsAfter & ~p.own), 64 - ownBase);
        flipPosition(p);
    } else {
        p.pawnKeysKnown = 0;
        flipBoardAndScore(p);
    }
    if (reversible) repetitionCount();
    if constexpr (Full) {
        if (plainMove) {
            p.key = key;
        } else {
            const int moverCode = before.pieceType(from) + colourBonus;
            const int capturedCode = before.opponent() & T ? before.pieceType(to) + (8 - colourBonus) : 0;
            const int promotionCode = promotion ? promotion + colourBonus : 0;
            updateHashKey(m, moverCode, capturedCode, promotionCode, before.castling, before.epFile,
                          type == MT_EN_PASSANT);
        }
    }
}

}  // namespace

void makeMove(Move m) { doMove<true>(m); }

void makeMoveLight(Move m) { doMove<false>(m); }

void takeBack() { --threadStack->current; }

void makeNullMove() {
    const Position& before = currentPosition();
    bool epInKey = epNumberInKey();
    int oldEpFile = before.epFile;
    Position& p = *++threadStack->current;
    p = before;
    p.epFile = NO_EP_FILE;
    p.fifty = 0;
    p.repetitions = 0;
    flipPosition(p);
    toggleSideKey();
    if (epInKey) p.key ^= Random64[EP_KEY + oldEpFile];
}
