#pragma once
#include <cstdint>

#include "board/types.h"

struct ScoredMove {
    Move move;
    int32_t score;
};

// Room for any position the FEN setup accepts (at most 16 men and 8 pawns a side): a piece has
// at most 27 quiet moves, and at most 12 capture entries (a pawn's two capture-promotions and its
// push-promotion, four entries each).
constexpr int MAX_CAPTURES = 16 * 12;
constexpr int MAX_QUIETS = 16 * 27 + 2;

struct CaptureList {
    uint32_t count;
    ScoredMove entries[MAX_CAPTURES];
};

struct QuietList {
    uint32_t count;
    Move moves[MAX_QUIETS];
};

// Captures, promotions and en-passant captures of the side to move, with ordering scores.
void generateCaptures(CaptureList* list);
// Castling (queenside first), then every other non-capturing, non-promoting move.
void generateQuiets(QuietList* list);
// Returns the highest-scored move (first among equals) and moves the last entry into its slot;
// the caller lowers the count.
Move pickBestCapture(CaptureList* list);
ScoredMove pickBestCaptureEntry(CaptureList* list);
// Opponent pieces attacking the side to move's king.
TBB inCheck();
// Pieces of the side to move attacking the opponent's king (after a move: the mover left its king attacked).
TBB opponentInCheck();
// Squares from which a move of the side to move could leave its own king attacked: every square
// when it is in check, else its pieces that stand alone between its king and an enemy slider on
// the king's line (the pinned ones).
TBB exposingSquares(bool checked);
// Whether a made pseudo-legal move still needs the opponentInCheck test: king moves (castling too)
// and en passant always do, other moves only from an exposing square.
inline bool needsLegalityTest(Move m, TBB exposing) {
    const int type = moveType(m);
    return (type & 7) == MT_KING || type == MT_EN_PASSANT || (exposing >> moveFrom(m) & 1) != 0;
}
// The first legal move of the side to move (captures first), 0 when there is none.
Move firstLegalMove();
// Whether the side to move may castle now: right held, path empty, king not in check, and no
// square it passes or lands on attacked.
bool castlingAllowed(bool kingside);
