#include "board/castling.h"

#include "board/bitboard.h"

namespace {

constexpr uint8_t QUEENSIDE_RIGHT = 0x01, KINGSIDE_RIGHT = 0x02;

// The squares from a to b on the first rank, both included.
constexpr TBB rankSpan(int a, int b) {
    const int low = a < b ? a : b, high = a < b ? b : a;
    TBB span = 0;
    for (int s = low; s <= high; ++s) span |= squareBit(s);
    return span;
}

// Attack sets by shifts: the rules are built before the attack tables may exist (static start-up).
constexpr TBB knightTargets(TBB b) {
    constexpr TBB notA = ~FILE_A, notAB = ~(FILE_A | (FILE_A << 1)), notH = ~FILE_H, notGH = ~(FILE_H | (FILE_H >> 1));
    return ((b << 17) & notA) | ((b << 15) & notH) | ((b << 10) & notAB) | ((b << 6) & notGH) | ((b >> 15) & notA) |
           ((b >> 17) & notH) | ((b >> 6) & notAB) | ((b >> 10) & notGH);
}
constexpr TBB kingTargets(TBB b) {
    const TBB row = b | east(b) | west(b);
    return (row | north(row) | south(row)) & ~b;
}
constexpr TBB eachSquare(TBB squares, TBB (*targets)(TBB)) {
    TBB all = 0;
    for (int s = 0; s < 64; ++s)
        if (squares >> s & 1) all |= targets(squareBit(s));
    return all;
}

constexpr CastlingSide makeSide(int king, int rook, bool kingside) {
    CastlingSide side{};
    const int kingTo = kingside ? 6 : 2, rookTo = kingside ? 5 : 3;
    const TBB men = squareBit(king) | squareBit(rook);
    side.mustBeEmpty = (rankSpan(king, kingTo) | rankSpan(rook, rookTo)) & ~men;
    // The destination too: whatever attacks it before the move still does after it, or already
    // gives check (a ray along the rank that the arriving rook would block runs on to the king).
    side.mustBeSafe = rankSpan(king, kingTo);
    side.knightSquares = eachSquare(side.mustBeSafe, knightTargets);
    side.pawnSquares = northEast(side.mustBeSafe) | northWest(side.mustBeSafe);
    side.kingSquares = eachSquare(side.mustBeSafe, kingTargets);
    side.menChange = men ^ (squareBit(kingTo) | squareBit(rookTo));
    side.kingChange = squareBit(king) ^ squareBit(kingTo);
    const int type = kingside ? MT_CASTLE_KINGSIDE : MT_CASTLE_QUEENSIDE;
    const bool standard = king == 4 && rook == (kingside ? 7 : 0);
    side.move = makeMoveWord(type, king, standard ? kingTo : rook);
    side.king = static_cast<uint8_t>(king);
    side.rook = static_cast<uint8_t>(rook);
    side.kingTo = static_cast<uint8_t>(kingTo);
    side.rookTo = static_cast<uint8_t>(rookTo);
    return side;
}

constexpr CastlingRules makeRules(const CastlingFiles& files) {
    CastlingRules rules{};
    for (int s = 0; s < 64; ++s) rules.rightsKept[s] = 0xFF;
    for (int colour = 0; colour < 2; ++colour) {
        for (int kingside = 0; kingside < 2; ++kingside) {
            const int rook = files.rook[colour][kingside];
            const int standardRook = kingside ? 7 : 0;
            rules.sides[colour][kingside] =
                rook < 0 ? makeSide(4, standardRook, kingside != 0) : makeSide(files.king[colour], rook, kingside != 0);
            if (rook < 0) continue;
            const uint8_t right = kingside ? KINGSIDE_RIGHT : QUEENSIDE_RIGHT;
            rules.rightsKept[rook] &= static_cast<uint8_t>(~right);              // the mover's own rook
            rules.rightsKept[56 + rook] &= static_cast<uint8_t>(~(right << 4));  // the opponent's
        }
    }
    return rules;
}

constinit Relaxed<bool> chess960Game{false};

}  // namespace

constinit CastlingRules Castling = makeRules(STANDARD_CASTLING_FILES);

static_assert(makeSide(4, 7, true).move == CASTLE_KINGSIDE_MOVE && makeSide(4, 0, false).move == CASTLE_QUEENSIDE_MOVE);
static_assert(makeSide(4, 7, true).mustBeEmpty == 0x60 && makeSide(4, 0, false).mustBeEmpty == 0x0E);
static_assert(makeSide(4, 7, true).mustBeSafe == 0x70 && makeSide(4, 0, false).mustBeSafe == 0x1C);

void setCastlingRules(const CastlingFiles& files) { Castling = makeRules(files); }

void setChess960(bool on) { chess960Game = on; }

bool chess960() { return chess960Game; }

bool standardCastlingSquares() {
    for (int colour = 0; colour < 2; ++colour)
        for (int kingside = 0; kingside < 2; ++kingside) {
            const CastlingSide& side = castlingSide(colour, kingside != 0);
            if (side.king != 4 || side.rook != (kingside != 0 ? 7 : 0)) return false;
        }
    return true;
}
