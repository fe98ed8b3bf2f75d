#include "board/movetext.h"

#include <cstdio>

#include "board/attacks.h"
#include "board/castling.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "state/enginestate.h"

namespace {

bool isFile(char c) { return c >= 'a' && c <= 'h'; }
bool isRank(char c) { return c >= '1' && c <= '8'; }

// Promotion type of the fifth character: 0 for none, -1 when it is not a promotion letter.
int promotionFromLetter(char c) {
    switch (c) {
    case 'q': return QUEEN;
    case 'r': return ROOK;
    case 'b': return BISHOP;
    case 'n': return KNIGHT;
    case '\0':
    case ' ':
    case '\n':
    case '\r': return 0;
    default: return -1;
    }
}

constexpr char PromotionLetters[6] = {' ', ' ', 'n', 'b', 'r', 'q'};

// The type of a move of the piece on `from` to `to`, or 0 when the piece cannot go there.
int moveTypeFor(const Position& p, int from, int to, bool promotionGiven) {
    const TBB occ = p.occupied(), empty = ~occ, other = p.opponent(), T = squareBit(to);
    switch (p.pieceType(from)) {
    case KING:
        if (KingAttacks[from] & empty & T) return MT_KING;
        if (KingAttacks[from] & other & T) return MT_KING_CAPTURE;
        return 0;  // castling is looked for apart: its word need not hold these squares
    case QUEEN:
        if (queenAttacks(from, occ) & T & ~p.own) return (T & empty) ? MT_QUEEN : MT_QUEEN_CAPTURE;
        return 0;
    case ROOK:
        if (rookAttacks(from, occ) & T & ~p.own) return (T & empty) ? MT_ROOK : MT_ROOK_CAPTURE;
        return 0;
    case BISHOP:
        if (bishopAttacks(from, occ) & T & ~p.own) return (T & empty) ? MT_BISHOP : MT_BISHOP_CAPTURE;
        return 0;
    case KNIGHT:
        if (KnightAttacks[from] & T & ~p.own) return (T & empty) ? MT_KNIGHT : MT_KNIGHT_CAPTURE;
        return 0;
    case PAWN: {
        TBB single = PawnPushes[from] & empty;
        TBB pushes = single | ((single && from >= 8 && from < 16) ? (PawnDoublePushes[from] & empty) : 0);
        if (pushes & T) return promotionGiven ? MT_PROMOTION : MT_PAWN;
        if (PawnAttacks[from] & other & T) return promotionGiven ? MT_PROMOTION_CAPTURE : MT_PAWN_CAPTURE;
        if (p.epFile != NO_EP_FILE && to == 40 + p.epFile && (PawnAttacks[from] & T)) return MT_EN_PASSANT;
        return 0;
    }
    default: return 0;
    }
}

// A promotion letter belongs exactly to pawn moves onto the last rank.
bool promotionConsistent(int type, int to, bool promotionGiven) {
    bool isPawnMove = type == MT_PAWN || type == MT_PAWN_CAPTURE || type == MT_PROMOTION ||
                      type == MT_PROMOTION_CAPTURE || type == MT_EN_PASSANT;
    bool lastRank = to >= 56;
    if (isPawnMove && lastRank) return promotionGiven;
    return !promotionGiven;
}

// The castling move a king's move from `from` to `to` stands for when castling that way is allowed,
// else 0. A stored word must be the castling word itself; typed text may also give the king
// taking its own rook (Chess960's form, taken first) or the king going to its destination (the
// standard form, where that is not an ordinary king move).
Move castlingFor(const Position& p, int from, int to, bool typed) {
    const int colour = static_cast<int>(p.colour);
    for (bool kingside : {false, true}) {
        const CastlingSide& side = castlingSide(colour, kingside);
        if (side.king == from && to == (typed ? side.rook : moveTo(side.move)) && castlingAllowed(kingside))
            return side.move;
    }
    if (!typed) return 0;
    for (bool kingside : {false, true}) {
        const CastlingSide& side = castlingSide(colour, kingside);
        if (side.king == from && to == side.kingTo && to != from && castlingAllowed(kingside)) return side.move;
    }
    return 0;
}

// The move of the side to move's piece on `from` to `to` (side-relative squares), checked as
// typed text is; 0 when there is no such piece, it cannot go there, or the promotion does not fit.
Move checkedMove(const Position& p, int from, int to, int promotion, bool typed) {
    if (!(p.own & squareBit(from))) return 0;
    const int type = moveTypeFor(p, from, to, promotion != 0);
    if (type == 0) return promotion == 0 && p.pieceType(from) == KING ? castlingFor(p, from, to, typed) : 0;
    if (!promotionConsistent(type, to, promotion != 0)) return 0;
    const int promotionType = (type == MT_PROMOTION || type == MT_PROMOTION_CAPTURE) ? promotion : 0;
    return makeMoveWord(type, from, to, promotionType);
}

// Makes m and keeps it when it leaves the mover's king safe.
bool makeIfLegal(Move m) {
    makeMove(m);
    if (opponentInCheck()) {
        takeBack();
        return false;
    }
    return true;
}

// "O-O" or "O-O-O" (also with zeros), ended by the end of the text, a blank or a check sign:
// 1 kingside, 0 queenside, -1 for anything else.
int castlingSideOfText(const char* text) {
    const char o = text[0];
    if ((o != 'O' && o != '0') || text[1] != '-' || text[2] != o) return -1;
    const bool queenside = text[3] == '-' && text[4] == o;
    const char end = text[queenside ? 5 : 3];
    if (end != '\0' && end != ' ' && end != '\n' && end != '\r' && end != '+' && end != '#') return -1;
    return queenside ? 0 : 1;
}

int makeCastlingFromText(const char* text) {
    const int kingside = castlingSideOfText(text);
    if (kingside < 0 || !castlingAllowed(kingside == 1)) return 0;
    const Move m = castlingSide(static_cast<int>(currentPosition().colour), kingside == 1).move;
    gs_info.lastMove = m;
    return makeIfLegal(m) ? 1 : 0;
}

}  // namespace

int makeMoveFromText(const char* text) {
    if (text && !stackNearlyFull() && (text[0] == 'O' || text[0] == '0')) return makeCastlingFromText(text);
    if (!text || !isFile(text[0]) || !isRank(text[1]) || !isFile(text[2]) || !isRank(text[3])) return 0;
    int promotion = promotionFromLetter(text[4]);
    if (promotion < 0) return 0;
    if (stackNearlyFull()) return 0;

    const Position& p = currentPosition();
    int from = (text[0] - 'a') + 8 * (text[1] - '1');
    int to = (text[2] - 'a') + 8 * (text[3] - '1');
    if (p.colour == BLACK) {
        from ^= 56;
        to ^= 56;
    }
    const Move m = checkedMove(p, from, to, promotion, true);
    if (m == 0) return 0;
    gs_info.lastMove = m;
    return makeIfLegal(m) ? 1 : 0;
}

int makeStoredMove(Move stored) {
    const int from = moveFrom(stored), to = moveTo(stored), promotion = movePromotion(stored);
    // What the move's text would hold: squares on the board, a promotion letter only for a piece type.
    if (from > 63 || to > 63 || stackNearlyFull()) return 0;
    const Move m =
        checkedMove(currentPosition(), from, to, promotion >= KNIGHT && promotion <= QUEEN ? promotion : 0, false);
    return m != 0 && makeIfLegal(m) ? 1 : 0;
}

void moveToTextForColour(char* buffer, Move m, int colour) {
    int from = moveFrom(m), to = moveTo(m);
    // Chess960 writes castling as the king taking its own rook, in the standard geometry too.
    if (isCastling(m) && chess960()) to = castlingSide(colour, moveType(m) == MT_CASTLE_KINGSIDE).rook;
    int mirror = colour ? 7 : 0;
    buffer[0] = static_cast<char>('a' + (from & 7));
    buffer[1] = static_cast<char>('1' + ((from >> 3) ^ mirror));
    buffer[2] = static_cast<char>('a' + (to & 7));
    buffer[3] = static_cast<char>('1' + ((to >> 3) ^ mirror));
    int promotion = movePromotion(m);
    buffer[4] = promotion >= 2 && promotion <= 5 ? PromotionLetters[promotion] : ' ';
    buffer[5] = '\0';
}

void moveToText(char* buffer, Move m, const Position* p) {
    moveToTextForColour(buffer, m, static_cast<int>(p->colour));
}

bool castlingToText(char* buffer, Move m) {
    if (!isCastling(m)) return false;
    std::snprintf(buffer, 6, "%s", moveType(m) == MT_CASTLE_KINGSIDE ? "O-O" : "O-O-O");
    return true;
}
