#include "board/movegen.h"

#include "board/attacks.h"
#include "board/bitboard.h"
#include "board/castling.h"
#include "board/makemove.h"
#include "board/position.h"

namespace {

inline void addCapture(CaptureList* list, Move m, int score) { list->entries[list->count++] = {m, score}; }
inline void addQuiet(QuietList* list, Move m) { list->moves[list->count++] = m; }

// Most valuable victim first, least valuable attacker first among equal victims.
inline int captureScore(int victim, int attacker) { return 16 * victim + (6 - attacker); }

void addPromotions(CaptureList* list, int type, int from, int to) {
    addCapture(list, makeMoveWord(type, from, to, QUEEN), 85);
    addCapture(list, makeMoveWord(type, from, to, ROOK), -1);
    addCapture(list, makeMoveWord(type, from, to, BISHOP), -2);
    addCapture(list, makeMoveWord(type, from, to, KNIGHT), -3);
}

void addPieceCaptures(CaptureList* list, const Position& p, int type, int from, TBB targets) {
    while (targets) {
        int to = popLowest(targets);
        addCapture(list, makeMoveWord(type, from, to), captureScore(p.pieceType(to), type - 8));
    }
}

void addQuiets(QuietList* list, int type, int from, TBB targets) {
    while (targets) addQuiet(list, makeMoveWord(type, from, popLowest(targets)));
}

// Whether an opponent man attacks a square of the king's castling path.
bool pathAttacked(const Position& p, const CastlingSide& path) {
    TBB other = p.opponent();
    if (other & p.knights() & path.knightSquares) return true;
    if (other & p.pawns() & path.pawnSquares) return true;
    if (other & p.kings() & path.kingSquares) return true;
    TBB occ = p.occupied();
    TBB attacked = 0;
    for (TBB b = other & p.rooksOrQueens(); b;) attacked |= rookAttacks(popLowest(b), occ);
    for (TBB b = other & p.bishopsOrQueens(); b;) attacked |= bishopAttacks(popLowest(b), occ);
    return (attacked & path.mustBeSafe) != 0;
}

}  // namespace

bool castlingAllowed(bool kingside) {
    const Position& p = currentPosition();
    if (!(p.castling & (kingside ? 0x02 : 0x01))) return false;
    const CastlingSide& path = castlingSide(static_cast<int>(p.colour), kingside);
    if (p.occupied() & path.mustBeEmpty) return false;
    return !pathAttacked(p, path);
}

void generateCaptures(CaptureList* list) {
    const Position& p = currentPosition();
    const TBB occ = p.occupied(), other = p.opponent(), empty = ~occ;
    const TBB pawns = p.own & p.pawns();
    list->count = 0;

    if (p.epFile != NO_EP_FILE) {
        int target = 40 + p.epFile;
        for (TBB b = pawns & 0x000000FF00000000ULL; b;) {
            int from = popLowest(b);
            if (PawnAttacks[from] & squareBit(target)) addCapture(list, makeMoveWord(MT_EN_PASSANT, from, target), 21);
        }
    }
    const TBB promoting = pawns & RANK_7;
    for (TBB b = promoting; b;) {
        int from = popLowest(b);
        for (TBB t = PawnAttacks[from] & other; t;) addPromotions(list, MT_PROMOTION_CAPTURE, from, popLowest(t));
    }
    for (TBB b = promoting; b;) {
        int from = popLowest(b);
        if (PawnPushes[from] & empty) addPromotions(list, MT_PROMOTION, from, from + 8);
    }
    for (TBB b = pawns & ~RANK_7; b;) {
        int from = popLowest(b);
        addPieceCaptures(list, p, MT_PAWN_CAPTURE, from, PawnAttacks[from] & other);
    }
    for (TBB b = p.own & p.knights(); b;) {
        int from = popLowest(b);
        addPieceCaptures(list, p, MT_KNIGHT_CAPTURE, from, KnightAttacks[from] & other);
    }
    for (TBB b = p.own & p.bishops(); b;) {
        int from = popLowest(b);
        addPieceCaptures(list, p, MT_BISHOP_CAPTURE, from, bishopAttacks(from, occ) & other);
    }
    for (TBB b = p.own & p.rooks(); b;) {
        int from = popLowest(b);
        addPieceCaptures(list, p, MT_ROOK_CAPTURE, from, rookAttacks(from, occ) & other);
    }
    for (TBB b = p.own & p.queens(); b;) {
        int from = popLowest(b);
        addPieceCaptures(list, p, MT_QUEEN_CAPTURE, from, queenAttacks(from, occ) & other);
    }
    for (TBB b = p.own & p.kings(); b;) {
        int from = popLowest(b);
        addPieceCaptures(list, p, MT_KING_CAPTURE, from, KingAttacks[from] & other);
    }
}

void generateQuiets(QuietList* list) {
    const Position& p = currentPosition();
    const TBB occ = p.occupied(), empty = ~occ;
    list->count = 0;

    if (p.castling & 0x03) {
        if (castlingAllowed(false)) addQuiet(list, castlingSide(static_cast<int>(p.colour), false).move);
        if (castlingAllowed(true)) addQuiet(list, castlingSide(static_cast<int>(p.colour), true).move);
    }
    for (TBB b = p.own & p.kings(); b;) {
        int from = popLowest(b);
        addQuiets(list, MT_KING, from, KingAttacks[from] & empty);
    }
    for (TBB b = p.own & p.queens(); b;) {
        int from = popLowest(b);
        addQuiets(list, MT_QUEEN, from, queenAttacks(from, occ) & empty);
    }
    for (TBB b = p.own & p.rooks(); b;) {
        int from = popLowest(b);
        addQuiets(list, MT_ROOK, from, rookAttacks(from, occ) & empty);
    }
    for (TBB b = p.own & p.bishops(); b;) {
        int from = popLowest(b);
        addQuiets(list, MT_BISHOP, from, bishopAttacks(from, occ) & empty);
    }
    for (TBB b = p.own & p.knights(); b;) {
        int from = popLowest(b);
        addQuiets(list, MT_KNIGHT, from, KnightAttacks[from] & empty);
    }
    for (TBB b = p.own & p.pawns(); b;) {
        int from = popLowest(b);
        TBB single = PawnPushes[from] & empty & 0x00FFFFFFFFFFFF00ULL;
        if (!single) continue;
        addQuiet(list, makeMoveWord(MT_PAWN, from, from + 8));
        if (PawnDoublePushes[from] & empty & RANK_4) addQuiet(list, makeMoveWord(MT_PAWN, from, from + 16));
    }
}

ScoredMove pickBestCaptureEntry(CaptureList* list) {
    uint32_t best = 0;
    for (uint32_t i = 1; i < list->count; ++i)
        if (list->entries[i].score > list->entries[best].score) best = i;
    ScoredMove picked = list->entries[best];
    list->entries[best] = list->entries[list->count - 1];
    return picked;
}

Move pickBestCapture(CaptureList* list) { return pickBestCaptureEntry(list).move; }

TBB inCheck() {
    const Position& p = currentPosition();
    const TBB occ = p.occupied(), other = p.opponent();
    const int k = lowestSquare(p.kings() & p.own);
    const TBB kingBit = squareBit(k);
    TBB attackers = (bishopAttacks(k, occ) & p.bishopsOrQueens()) | (rookAttacks(k, occ) & p.rooksOrQueens()) |
                    ((northEast(kingBit) | northWest(kingBit)) & p.pawns()) | (KnightAttacks[k] & p.knights()) |
                    (KingAttacks[k] & p.kings());
    return attackers & other;
}

TBB opponentInCheck() {
    const Position& p = currentPosition();
    const TBB occ = p.occupied();
    const int k = lowestSquare(p.kings() & p.opponent());
    const TBB kingBit = squareBit(k);
    TBB attackers = (bishopAttacks(k, occ) & p.bishopsOrQueens()) | (rookAttacks(k, occ) & p.rooksOrQueens()) |
                    ((southEast(kingBit) | southWest(kingBit)) & p.pawns()) | (KnightAttacks[k] & p.knights()) |
                    (KingAttacks[k] & p.kings());
    return attackers & p.own;
}

TBB exposingSquares(bool checked) {
    if (checked) return ~TBB{0};
    const Position& p = currentPosition();
    const TBB other = p.opponent();
    const int k = lowestSquare(p.kings() & p.own);
    const TBB occ = p.occupied();
    const TBB diagonals = bishopAttacks(k, 0), lines = rookAttacks(k, 0);
    const TBB seenDiagonally = bishopAttacks(k, occ), seenStraight = rookAttacks(k, occ);
    // Between the king and a slider on its line, a lone piece is seen from both ends.
    TBB exposing = 0;
    for (TBB b = other & p.bishopsOrQueens() & diagonals; b;) {
        const int s = popLowest(b);
        exposing |= bishopAttacks(s, 0) & diagonals & bishopAttacks(s, occ) & seenDiagonally;
    }
    for (TBB b = other & p.rooksOrQueens() & lines; b;) {
        const int s = popLowest(b);
        exposing |= rookAttacks(s, 0) & lines & rookAttacks(s, occ) & seenStraight;
    }
    return exposing & p.own;
}

Move firstLegalMove() {
    CaptureList captures;
    generateCaptures(&captures);
    QuietList quiets;
    generateQuiets(&quiets);
    for (uint32_t i = 0; i < captures.count + quiets.count; ++i) {
        Move m = i < captures.count ? captures.entries[i].move : quiets.moves[i - captures.count];
        makeMoveLight(m);
        bool legal = opponentInCheck() == 0;
        takeBack();
        if (legal) return m;
    }
    return 0;
}
