#pragma once
#include <cstdint>

#include "board/types.h"
#include "platform/relaxed.h"

// Where the kings and castling rooks of the current game start, and what castling needs. One
// record for the process, like the position stack: written when a position is set up (never during
// a search), read by generation, make-move, keys and move text. Standard chess is the same code
// with the standard squares, so it pays no test of the variant anywhere on the move path.

// One way of castling for one colour, in that colour's view (its first rank is squares 0..7).
struct alignas(64) CastlingSide {
    TBB mustBeEmpty;    // between king and destination and between rook and destination, both men aside
    TBB mustBeSafe;     // the king's squares from its start to its destination, tested before the move
    TBB knightSquares;  // where an opponent knight, pawn or king would attack a square of mustBeSafe
    TBB pawnSquares;
    TBB kingSquares;
    TBB menChange;   // XOR onto `own` and P3 (king and rook both have the P3 bit)
    TBB kingChange;  // XOR onto P2 (only the king has it)
    Move move;       // the move word: king to destination in the standard geometry, else king to its rook
    uint8_t king, rook, kingTo, rookTo;
};
static_assert(sizeof(CastlingSide) == 64, "one castling side is one cache line");

struct CastlingRules {
    CastlingSide sides[2][2];  // [colour][0 queenside, 1 kingside]
    // By side-relative square: the castling bits a move from or onto it keeps (the mover's
    // castling rooks on 0..7, the opponent's on 56..63). One table serves both colours, which
    // keeps the colour out of make-move: where both hold a right on one side, their rooks stand
    // on one file (as in every game from a start position; the FEN reader refuses other setups).
    uint8_t rightsKept[64];
};
extern CastlingRules Castling;

// Files of each colour's king and castling rooks ([colour][0 queenside, 1 kingside]), -1 for a
// right not held (its side then takes the standard squares, which no move consults).
struct CastlingFiles {
    int king[2];
    int rook[2][2];
};
constexpr CastlingFiles STANDARD_CASTLING_FILES{{4, 4}, {{0, 7}, {0, 7}}};
constexpr CastlingFiles NO_CASTLING_FILES{{4, 4}, {{-1, -1}, {-1, -1}}};

void setCastlingRules(const CastlingFiles& files);
inline void setStandardCastling() { setCastlingRules(STANDARD_CASTLING_FILES); }
inline const CastlingSide& castlingSide(int colour, bool kingside) { return Castling.sides[colour][kingside]; }

// The game is Chess960: FEN castling fields are read as X-FEN (KQkq the outermost rook, a file
// letter where another rook stands further out; Shredder-FEN letters too), and castling is written
// as the king taking its own rook. Off, only the standard squares can castle and castling is
// written e1g1. Set it before setting up the game's position.
void setChess960(bool on);
bool chess960();
// Every castling of the game has the standard squares (as in the standard start, one of the 960).
bool standardCastlingSquares();
