#include "eval/evaluate.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "board/attacks.h"
#include "board/position.h"
#include "eval/attackmap.h"
#include "eval/bareking.h"
#include "eval/evalmasks.h"
#include "eval/kingsafety.h"
#include "eval/material.h"
#include "eval/pawnstructure.h"

namespace {

constexpr int32_t PawnEndingBonus[9] = {0, 0, 100, 200, 300, 400, 500, 600, 700};
// Knights gain with many pawns on the board, rooks with few.
constexpr int32_t KnightPawnAdjust[9] = {-20, -16, -12, -8, -4, 0, 4, 8, 12};
constexpr int32_t RookPawnAdjust[9] = {15, 12, 9, 6, 3, 0, -3, -6, -9};
// How much a passer gains per square of distance from the enemy king, by its rank.
constexpr int32_t PasserDistanceWeight[8] = {0, 2, 3, 5, 10, 15, 20, 0};

// Enemy pawn squares that shut a knight or bishop in on the corner square it stands on.
constexpr std::array<TBB, 64> TrappedKnightPawns = [] {
    std::array<TBB, 64> t{};
    t[56] = squareBit(48) | squareBit(50);  // a8: a7, c7
    t[48] = squareBit(40) | squareBit(49);  // a7: a6, b7
    t[63] = squareBit(53) | squareBit(55);  // h8: f7, h7
    t[55] = squareBit(47) | squareBit(54);  // h7: h6, g7
    return t;
}();
constexpr std::array<TBB, 64> TrappedBishopPawns = [] {
    std::array<TBB, 64> t{};
    t[48] = squareBit(41);  // a7: b6
    t[55] = squareBit(46);  // h7: g6
    return t;
}();

// Positional weights, in centipawns.
constexpr int KING_BY_PASSER = 15;   // the king stands next to one of its passed pawns
constexpr int KNIGHT_TRAPPED = 20;   // a knight shut in on a corner square by enemy pawns
constexpr int BISHOP_TRAPPED = 100;  // a bishop shut in on a7/h7 by an enemy pawn
constexpr int PIECE_IMMOBILE = 5;    // a knight with 3 moves or fewer, a bishop with 5 or fewer
constexpr int KNIGHT_MOBILITY_FLOOR = 3;
constexpr int BISHOP_MOBILITY_FLOOR = 5;
constexpr int BISHOP_PAIR = 30;
constexpr int ROOK_OPEN_FILE = 10;      // no pawn on the rook's file
constexpr int ROOK_HALF_OPEN_FILE = 5;  // only enemy pawns on it
constexpr int ROOK_ON_SEVENTH = 20;     // with the enemy king on the last rank
constexpr int ROOK_SHUT_IN = 30;        // on h1 behind its own king on f1 or g1
constexpr int ROOK_BEHIND_PASSER = 15;  // per own passed pawn ahead of the rook on its file
// Material without pawns above this always allows a mate (a rook, or two minor pieces).
constexpr int MATING_MATERIAL = 399;

constexpr int H1 = 7;
constexpr TBB F1_G1 = squareBit(5) | squareBit(6);

// What is true of the whole board, the same for both passes.
struct BoardFacts {
    int men;
    bool anyPawn;
    bool anyQueen;
    bool kingsAndPawnsOnly;
};

int nonPawnMaterial(const Position& p, TBB side) {
    return MaterialValue[KNIGHT] * popCount(p.knights() & side) + MaterialValue[BISHOP] * popCount(p.bishops() & side) +
           MaterialValue[ROOK] * popCount(p.rooks() & side) + MaterialValue[QUEEN] * popCount(p.queens() & side);
}

// The positional terms of the side at the bottom of `p`, whose pawn terms are `pawns`; fills the
// map or sets `out` with its attacks when it is given. Only the squares around the two kings are
// ever read from them, so only those are recorded.
template <typename Map>
int scoreSide(const Position& p, const BoardFacts& facts, const PawnStructure& pawns, Map* out) {
    // The attacks gather in a local record, which can stay in registers: stores through `out` might
    // alias the position as far as the compiler knows, and would force it to read the board again.
    Map local{};
    const TBB own = p.own;
    const TBB enemy = p.opponent();
    const TBB occupied = p.occupied();
    const TBB ownPawns = p.pawns() & own;
    const TBB enemyPawns = p.pawns() & enemy;
    // A hand-made setup may hold more than eight pawns; the pawn-count tables stop at eight.
    const int ownPawnCount = std::min(popCount(ownPawns), 8);
    const int ownKing = lowestSquare(p.kings() & own);
    const int enemyKing = lowestSquare(p.kings() & enemy);
    const int colour = static_cast<int>(p.colour);
    const TBB zones = KingZone[ownKing] | byteSwap(KingZone[enemyKing ^ 56]);

    int t = pawns.score;

    if (facts.kingsAndPawnsOnly) t += PawnEndingBonus[std::min(pawns.count, 8)];

    if (facts.men <= 16 && pawns.passers) {
        if (KingAttacks[ownKing] & pawns.passers) t += KING_BY_PASSER;
        if (!facts.anyQueen) {
            for (TBB b = pawns.passers; b;) {
                const int s = popLowest(b);
                t += distance(s, enemyKing) * PasserDistanceWeight[rankOf(s)];
            }
        }
    }

    if (out) {
        // No two pawns attack a square from the same side: one set per side adds the same counts
        // as one set per pawn. Pawns on the first rank (only in a made-up board) attack nothing.
        const TBB attackers = ownPawns & ~RANK_1;
        local.recordAll(northEast(attackers) & zones, colour, ATTACK_PAWN);
        local.recordAll(northWest(attackers) & zones, colour, ATTACK_PAWN);
    }

    for (TBB b = p.knights() & own; b;) {
        const int s = popLowest(b);
        if (TrappedKnightPawns[s] & enemyPawns) t -= KNIGHT_TRAPPED;
        if (popCount(KnightAttacks[s] & ~own) <= KNIGHT_MOBILITY_FLOOR) t -= PIECE_IMMOBILE;
        t += KnightPawnAdjust[ownPawnCount];
        if (out) local.recordAll(KnightAttacks[s] & zones, colour, ATTACK_MINOR);
    }

    const TBB bishops = p.bishops() & own;
    for (TBB b = bishops; b;) {
        const int s = popLowest(b);
        const TBB attacks = bishopAttacks(s, occupied);
        if (TrappedBishopPawns[s] & enemyPawns) t -= BISHOP_TRAPPED;
        if (popCount(attacks) <= BISHOP_MOBILITY_FLOOR) t -= PIECE_IMMOBILE;
        if (out) local.recordAll(attacks & zones, colour, ATTACK_MINOR);
    }
    if (popCount(bishops) == 2) t += BISHOP_PAIR;

    for (TBB b = p.rooks() & own; b;) {
        const int s = popLowest(b);
        t += RookPawnAdjust[ownPawnCount];
        if (facts.anyPawn) {
            const TBB file = fileMask(fileOf(s));
            if ((file & p.pawns()) == 0)
                t += ROOK_OPEN_FILE;
            else if ((file & ownPawns) == 0)
                t += ROOK_HALF_OPEN_FILE;
            if (rankOf(s) == 6 && rankOf(enemyKing) == 7) t += ROOK_ON_SEVENTH;
            if (s == H1 && (squareBit(ownKing) & F1_G1)) t -= ROOK_SHUT_IN;
            if (out) local.recordAll(rookAttacks(s, occupied) & zones, colour, ATTACK_ROOK);
        }
        t += ROOK_BEHIND_PASSER * popCount(pawns.passers & frontSpanNorth(squareBit(s)));
    }

    if (out) {
        for (TBB b = p.queens() & own; b;) {
            local.recordAll(queenAttacks(popLowest(b), occupied) & zones, colour, ATTACK_QUEEN);
        }
        local.recordAll(KingAttacks[ownKing] & zones, colour, ATTACK_KING);
        *out = local;
    }
    return t;
}

}  // namespace

int sufficientMaterial() {
    const Position& p = currentPosition();
    if (p.pawns()) return 1;
    const int ownMaterial = nonPawnMaterial(p, p.own);
    const int enemyMaterial = nonPawnMaterial(p, p.opponent());
    if (ownMaterial > MATING_MATERIAL || enemyMaterial > MATING_MATERIAL) return 1;
    // With a lone minor piece mate is only possible against a king on the edge.
    if ((p.kings() & p.own & EDGE_SQUARES) && enemyMaterial != 0) return 1;
    if ((p.kings() & p.opponent() & EDGE_SQUARES) && ownMaterial != 0) return 1;
    return 0;
}

namespace {

int evaluateMaterialAndPosition() {
    // Both passes work on copies, so the position stack is never touched.
    const Position us = currentPosition();
    // A record without exactly one king per side (a hand-made setup) gets no positional terms:
    // every king-related term needs a king square.
    if (popCount(us.kings() & us.own) != 1 || popCount(us.kings() & us.opponent()) != 1) return us.score;
    Position them = us;
    flipPosition(them);

    const TBB minorsAndRooks = us.knights() | us.bishops() | us.rooks();
    BoardFacts facts;
    facts.men = popCount(us.occupied());
    facts.anyPawn = us.pawns() != 0;
    facts.anyQueen = us.queens() != 0;
    facts.kingsAndPawnsOnly = (us.occupied() & ~(us.pawns() | us.kings())) == 0;
    // King safety needs a queen and a knight, bishop or rook on the board, and counts only while
    // the side to move has its queen; otherwise the maps are not needed at all.
    const bool kingSafety = (us.queens() & us.own) && minorsAndRooks != 0;

    const PawnStructure usPawns = pawnStructure(us);
    const PawnStructure themPawns = pawnStructure(them);
    if (!kingSafety) {
        const int t = scoreSide<ZoneAttacks>(us, facts, usPawns, nullptr) -
                      scoreSide<ZoneAttacks>(them, facts, themPawns, nullptr);
        return us.score + t;
    }
    // Indexed by colour: the sets and maps hold absolute squares.
    ZoneAttacks sets[2];
    int t = scoreSide(us, facts, usPawns, &sets[us.colour]) - scoreSide(them, facts, themPawns, &sets[them.colour]);
    if (!sets[0].overflow && !sets[1].overflow) {
        t -= kingDanger(us, sets[us.colour], sets[them.colour]);
        t += kingDanger(them, sets[them.colour], sets[us.colour]);
        return us.score + t;
    }
    // Eight attacks of one side on a square: the byte maps, whose counts then carry into their kind bits.
    AttackMap maps[2];
    scoreSide(us, facts, usPawns, &maps[us.colour]);
    scoreSide(them, facts, themPawns, &maps[them.colour]);
    t -= kingDanger(us, maps[us.colour], maps[them.colour]);
    t += kingDanger(them, maps[them.colour], maps[us.colour]);
    return us.score + t;
}

}  // namespace

int evaluate() {
    if (!sufficientMaterial()) return 0;
    const int score = evaluateMaterialAndPosition();
    const Position& p = currentPosition();
    return someKingBare(p) ? score + bareKingScore(p) : score;
}
