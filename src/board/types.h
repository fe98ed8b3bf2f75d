#pragma once
#include <cstdint>

// A set of squares: bit s stands for square s = 8 * rank + file (a1 = 0, h1 = 7, h8 = 63).
using TBB = uint64_t;

// A packed move: type in bits 0..7, from in 8..15, to in 16..23, promotion type in 24..31.
// Squares are side-relative (the mover's first rank is 0..7). 0 means no move.
using Move = uint32_t;

enum PieceType : int { EMPTY = 0, PAWN = 1, KNIGHT = 2, BISHOP = 3, ROOK = 4, QUEEN = 5, KING = 6 };
enum Colour : int { WHITE = 0, BLACK = 1 };

// Move types: piece type + 8 for a capture + 16 for a promotion or kingside castling
// + 32 for en passant or queenside castling.
enum MoveType : int {
    MT_PAWN = 1,
    MT_KNIGHT = 2,
    MT_BISHOP = 3,
    MT_ROOK = 4,
    MT_QUEEN = 5,
    MT_KING = 6,
    MT_PAWN_CAPTURE = 9,
    MT_KNIGHT_CAPTURE = 10,
    MT_BISHOP_CAPTURE = 11,
    MT_ROOK_CAPTURE = 12,
    MT_QUEEN_CAPTURE = 13,
    MT_KING_CAPTURE = 14,
    MT_PROMOTION = 17,
    MT_CASTLE_KINGSIDE = 22,
    MT_PROMOTION_CAPTURE = 25,
    MT_CASTLE_QUEENSIDE = 38,
    MT_EN_PASSANT = 41,
};

// Castling in the standard geometry. Elsewhere the word names the king's square and its rook's
// (see board/castling.h): the king and rook squares come from the game's castling rules.
constexpr Move CASTLE_KINGSIDE_MOVE = 0x00060416;
constexpr Move CASTLE_QUEENSIDE_MOVE = 0x00020426;

constexpr Move makeMoveWord(int type, int from, int to, int promotion = 0) {
    return static_cast<Move>(promotion) << 24 | static_cast<Move>(to) << 16 | static_cast<Move>(from) << 8 |
           static_cast<Move>(type);
}
constexpr int moveType(Move m) { return static_cast<int>(m & 0xFF); }
constexpr int moveFrom(Move m) { return static_cast<int>((m >> 8) & 0xFF); }
constexpr int moveTo(Move m) { return static_cast<int>((m >> 16) & 0xFF); }
constexpr int movePromotion(Move m) { return static_cast<int>(m >> 24); }
constexpr bool isCastling(Move m) { return moveType(m) == MT_CASTLE_KINGSIDE || moveType(m) == MT_CASTLE_QUEENSIDE; }

// One move at the root: its tablebase rank and its latest search score.
struct RootMove {
    Move move;
    int32_t score;
    int32_t searchScore;
};
// Legal positions have up to 218 moves.
constexpr int MAX_ROOT_MOVES = 256;
