#include "board/fen.h"

#include <cstring>
#include <string_view>

#include "board/hashkey.h"
#include "board/movegen.h"
#include "board/position.h"
#include "eval/material.h"

namespace {

constexpr int MAX_FIELDS = 6;

int splitFields(std::string_view text, std::string_view (&fields)[MAX_FIELDS]) {
    int count = 0;
    size_t i = 0;
    while (count < MAX_FIELDS) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r')) ++i;
        if (i >= text.size()) break;
        size_t start = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\n' && text[i] != '\r') ++i;
        fields[count++] = text.substr(start, i - start);
    }
    return count;
}

int pieceTypeOfLetter(char c) {
    switch (c | 0x20) {
    case 'p': return PAWN;
    case 'n': return KNIGHT;
    case 'b': return BISHOP;
    case 'r': return ROOK;
    case 'q': return QUEEN;
    case 'k': return KING;
    default: return EMPTY;
    }
}

void putPiece(Position& p, int type, int s, bool white) {
    TBB b = squareBit(s);
    if (type & 1) p.P1 |= b;
    if (type & 2) p.P2 |= b;
    if (type & 4) p.P3 |= b;
    if (white) p.own |= b;
}

// Placement in absolute orientation, white's pieces in `own`.
bool parsePlacement(std::string_view placement, Position& p) {
    int rank = 7, file = 0;
    for (char c : placement) {
        if (c == '/') {
            if (file < 8 || rank == 0) return false;
            --rank;
            file = 0;
        } else if (file >= 8) {
            return false;  // a rank of more than eight files
        } else if (c >= '1' && c <= '8') {
            file += c - '0';
            if (file > 8) return false;
        } else if (int type = pieceTypeOfLetter(c); type != EMPTY) {
            putPiece(p, type, 8 * rank + file, c >= 'A' && c <= 'Z');
            ++file;
        } else {
            return false;
        }
    }
    return rank == 0 && file == 8;
}

// Castling rights in white's view: bit 1 K, bit 0 Q, bit 5 k, bit 4 q.
bool parseCastling(std::string_view field, uint8_t& castling) {
    castling = 0;
    if (field == "-") return true;
    for (char c : field) {
        switch (c) {
        case 'K': castling |= 0x02; break;
        case 'Q': castling |= 0x01; break;
        case 'k': castling |= 0x20; break;
        case 'q': castling |= 0x10; break;
        default: return false;
        }
    }
    return true;
}

// A right is kept only while its king and rook stand on their home squares.
uint8_t castlingOnBoard(const Position& p, uint8_t castling) {
    TBB white = p.own, black = p.opponent();
    TBB whiteRooks = white & p.rooks(), blackRooks = black & p.rooks();
    bool whiteKingHome = (white & p.kings()) & squareBit(4);
    bool blackKingHome = (black & p.kings()) & squareBit(60);
    if (!whiteKingHome || !(whiteRooks & squareBit(7))) castling &= ~0x02;
    if (!whiteKingHome || !(whiteRooks & squareBit(0))) castling &= ~0x01;
    if (!blackKingHome || !(blackRooks & squareBit(63))) castling &= ~0x20;
    if (!blackKingHome || !(blackRooks & squareBit(56))) castling &= ~0x10;
    return castling;
}

bool parseHalfMoveClock(std::string_view field, uint8_t& fifty) {
    int value = 0;
    size_t i = 0;
    bool negative = !field.empty() && field[0] == '-';
    if (negative || (!field.empty() && field[0] == '+')) ++i;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
        value = value * 10 + (field[i] - '0');
        if (value > 100) return false;
    }
    if (negative && value > 0) return false;
    fifty = static_cast<uint8_t>(value);
    return true;
}

// One king a side, no pawn on a back rank, and no more men than a game can have: this also
// bounds the move lists.
bool legalMaterial(const Position& p) {
    for (TBB side : {p.own, p.opponent()}) {
        if (popCount(p.kings() & side) != 1) return false;
        if (popCount(side) > 16 || popCount(p.pawns() & side) > 8) return false;
    }
    return (p.pawns() & (RANK_1 | RANK_8)) == 0;
}

// The file of a pawn of the side not to move that could just have made a double step
// (seen from the side to move, after the flip), or 8.
uint8_t plausibleEpFile(const Position& p, int file) {
    TBB pawnSquare = squareBit(32 + file);
    TBB passedSquares = squareBit(40 + file) | squareBit(48 + file);
    if (!(p.opponent() & p.pawns() & pawnSquare)) return 8;
    if (p.occupied() & passedSquares) return 8;
    return static_cast<uint8_t>(file);
}

}  // namespace

int setupFromFen(const char* text) {
    if (!text) return 0;
    std::string_view fields[MAX_FIELDS];
    int count = splitFields(std::string_view(text, strnlen(text, 4096)), fields);
    if (count < 4) return 0;
    if (fields[1] != "w" && fields[1] != "b") return 0;
    bool blackToMove = fields[1] == "b";

    Position p{};
    uint8_t castling = 0, fifty = 0;
    if (!parsePlacement(fields[0], p) || !parseCastling(fields[2], castling)) return 0;
    if (count >= 5 && !parseHalfMoveClock(fields[4], fifty)) return 0;
    if (!legalMaterial(p)) return 0;

    std::string_view ep = fields[3];
    int epFile = NO_EP_FILE;
    if (ep != "-") {
        if (ep.size() < 2 || ep[0] < 'a' || ep[0] > 'h') return 0;
        if (ep[1] != (blackToMove ? '3' : '6')) return 0;
        epFile = ep[0] - 'a';
    }

    p.castling = castlingOnBoard(p, castling);
    p.epFile = NO_EP_FILE;
    p.fifty = fifty;
    p.repetitions = 0;
    p.colour = WHITE;
    if (blackToMove) flipPosition(p);
    if (epFile != NO_EP_FILE) p.epFile = plausibleEpFile(p, epFile);

    Position saved = currentPosition();
    currentPosition() = p;
    if (opponentInCheck()) {  // the side not to move cannot be in check
        currentPosition() = saved;
        return 0;
    }
    currentPosition().key = computeHashKey();
    currentPosition().score = computeMaterialScore();
    setPawnKeys();
    return 1;
}
