#pragma once
#include <cstdint>

// Most men in a table, kings included.
constexpr int TB_PIECES = 6;

// What the material of a table fixes about its index space.
struct TableShape {
    int pieceCount = 0;
    bool hasPawns = false;
    int encodingType = 0;  // pawnless: 0 (three unique leading pieces) or 2 (the two kings lead)
    int leadCount = 0;     // with pawns: the leading pawn group and the other side's pawns
    int otherCount = 0;
    uint8_t counts[16] = {};  // men per piece code (first side 1..6, second side 9..14)
};

// The index space of one stored side to move (of one file, for tables with pawns).
struct TbSideIndex {
    uint8_t pieces[TB_PIECES] = {};  // piece codes in index order
    uint8_t norm[TB_PIECES] = {};    // size of the group starting at each place, 0 inside a group
    uint64_t factor[TB_PIECES] = {};
    uint64_t tableSize = 0;
};

// Fills norms, factors and the index-space size from a piece list read from a file. False when
// the list does not describe the table's material or the orders are impossible.
bool setupSideIndex(TbSideIndex& ix, const TableShape& shape, const uint8_t* pieces, int order, int order2, int file);

// Returned by the encoders for a placement the table cannot hold (a pawn on the first rank).
constexpr uint64_t BAD_INDEX = ~uint64_t{0};

// Index of a placement; p holds the squares in the order of ix.pieces and is changed in place.
uint64_t encodePieces(const TbSideIndex& ix, const TableShape& shape, int* p);
uint64_t encodePawns(const TbSideIndex& ix, const TableShape& shape, int* p);
// File (0..3) of the leading pawn group; moves the pawn that decides it to p[0].
int pawnFile(const TableShape& shape, int* p);
