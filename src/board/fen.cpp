#include "board/fen.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "board/castling.h"
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

// Castling rights in white's view (bit 1 K, bit 0 Q, bit 5 k, bit 4 q) and the files they name.
// A right whose king and rook are not on the first rank is dropped, as a right whose men have moved.
struct CastlingReading {
    uint8_t rights = 0;
    CastlingFiles files = NO_CASTLING_FILES;
};

// The rook file the letter names for `colour`'s king on `kingFile`, with `rookFiles` (bit f: a rook
// of that colour on its first rank's file f), and on which side; -1 for none. K and Q name the
// outermost rook in Chess960 and the corner rook beside a king on e1 otherwise; a file letter
// (Shredder-FEN, and X-FEN where another rook stands further out) names its file.
int namedRookFile(char letter, int kingFile, unsigned rookFiles, bool chess960, bool& kingside) {
    int file = -1;
    if (letter == 'K' || letter == 'Q') {
        kingside = letter == 'K';
        for (int f = 0; f < 8; ++f) {
            const bool onSide = kingside ? f > kingFile : f < kingFile;
            if (onSide && (rookFiles >> f & 1) && (file < 0 || kingside)) file = f;  // queenside: the lowest
        }
        if (!chess960 && file != (kingside ? 7 : 0)) return -1;
    } else {
        file = letter - 'A';
        if (!(rookFiles >> file & 1) || file == kingFile) return -1;
        kingside = file > kingFile;
        if (!chess960 && file != (kingside ? 7 : 0)) return -1;
    }
    if (file < 0 || (!chess960 && kingFile != 4)) return -1;
    return file;
}

// p holds the placement in white's view.
bool parseCastling(std::string_view field, const Position& p, bool chess960, CastlingReading& reading) {
    if (field == "-") return true;
    for (char c : field) {
        const bool white = c >= 'A' && c <= 'Z';
        const char letter = white ? c : static_cast<char>(c - 'a' + 'A');
        if (letter != 'K' && letter != 'Q' && (letter < 'A' || letter > 'H')) return false;
        const int colour = white ? WHITE : BLACK;
        const TBB men = white ? p.own : p.opponent();
        const TBB firstRank = white ? RANK_1 : RANK_8;
        const TBB king = men & p.kings() & firstRank;
        if (!king) continue;
        const int kingFile = lowestSquare(king) & 7;
        const unsigned rookFiles = fileByte(men & p.rooks() & firstRank);
        bool kingside = false;
        const int file = namedRookFile(letter, kingFile, rookFiles, chess960, kingside);
        if (file < 0) continue;
        // Two different rooks for one side make no sense.
        const int named = reading.files.rook[colour][kingside];
        if (named >= 0 && named != file) return false;
        reading.files.king[colour] = kingFile;
        reading.files.rook[colour][kingside] = file;
        reading.rights |= static_cast<uint8_t>((kingside ? 0x02 : 0x01) << (white ? 0 : 4));
    }
    // No game reaches rights on one side held with rooks on two files (see CastlingRules).
    for (int kingside = 0; kingside < 2; ++kingside) {
        const int white = reading.files.rook[WHITE][kingside], black = reading.files.rook[BLACK][kingside];
        if (white >= 0 && black >= 0 && white != black) return false;
    }
    return true;
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

// A FEN text read into a record (complete but for the keys and score) and its castling files.
struct FenReading {
    Position position;
    CastlingFiles files;
};

bool readFen(const char* text, bool chess960, FenReading& reading) {
    if (!text) return false;
    std::string_view fields[MAX_FIELDS];
    int count = splitFields(std::string_view(text, strnlen(text, 4096)), fields);
    if (count < 4) return false;
    if (fields[1] != "w" && fields[1] != "b") return false;
    bool blackToMove = fields[1] == "b";

    Position p{};
    uint8_t fifty = 0;
    CastlingReading castling;
    if (!parsePlacement(fields[0], p) || !legalMaterial(p)) return false;
    if (!parseCastling(fields[2], p, chess960, castling)) return false;
    if (count >= 5 && !parseHalfMoveClock(fields[4], fifty)) return false;

    std::string_view ep = fields[3];
    int epFile = NO_EP_FILE;
    if (ep != "-") {
        if (ep.size() < 2 || ep[0] < 'a' || ep[0] > 'h') return false;
        if (ep[1] != (blackToMove ? '3' : '6')) return false;
        epFile = ep[0] - 'a';
    }

    p.castling = castling.rights;
    p.epFile = NO_EP_FILE;
    p.fifty = fifty;
    p.repetitions = 0;
    p.colour = WHITE;
    if (blackToMove) flipPosition(p);
    if (epFile != NO_EP_FILE) p.epFile = plausibleEpFile(p, epFile);
    reading.position = p;
    reading.files = castling.files;
    return true;
}

// One castling right in X-FEN: K or Q for the outermost rook on its side, else the rook's file.
char castlingLetter(int colour, bool kingside, TBB ownRooksOnFirstRank) {
    const int file = castlingSide(colour, kingside).rook;
    const unsigned outside = kingside ? 0xFFu << (file + 1) : (1u << file) - 1;
    const char letter = (fileByte(ownRooksOnFirstRank) & outside & 0xFF) ? static_cast<char>('A' + file)
                                                                         : (kingside ? 'K' : 'Q');
    return colour == WHITE ? letter : static_cast<char>(letter - 'A' + 'a');
}

}  // namespace

int setupFromFen(const char* text) {
    FenReading reading;
    if (!readFen(text, chess960(), reading)) return 0;
    Position saved = currentPosition();
    currentPosition() = reading.position;
    if (opponentInCheck()) {  // the side not to move cannot be in check
        currentPosition() = saved;
        return 0;
    }
    setCastlingRules(reading.files);
    currentPosition().key = computeHashKey();
    currentPosition().score = computeMaterialScore();
    setPawnKeys();
    return 1;
}

bool fenNeedsChess960(const char* text) {
    FenReading standard, chess960Reading;
    if (!readFen(text, true, chess960Reading)) return false;
    return !readFen(text, false, standard) || standard.position.castling != chess960Reading.position.castling;
}

void positionToFen(char* buffer, int moveNumber) {
    Position p = currentPosition();
    const bool blackToMove = p.colour == BLACK;
    if (blackToMove) flipPosition(p);  // white's view from here on
    static constexpr char Letters[] = " pnbrqk";
    int length = 0;
    for (int rank = 7; rank >= 0; --rank) {
        int gap = 0;
        for (int file = 0; file < 8; ++file) {
            const int s = 8 * rank + file;
            const int type = p.pieceType(s);
            if (type == EMPTY) {
                ++gap;
                continue;
            }
            if (gap) buffer[length++] = static_cast<char>('0' + gap);
            gap = 0;
            const char letter = Letters[type];
            buffer[length++] = (p.own >> s & 1) ? static_cast<char>(letter - 'a' + 'A') : letter;
        }
        if (gap) buffer[length++] = static_cast<char>('0' + gap);
        if (rank) buffer[length++] = '/';
    }
    buffer[length++] = ' ';
    buffer[length++] = blackToMove ? 'b' : 'w';
    buffer[length++] = ' ';
    const int start = length;
    const uint8_t rightBits[4] = {0x02, 0x01, 0x20, 0x10};  // K Q k q in white's view
    for (int i = 0; i < 4; ++i) {
        if (!(p.castling & rightBits[i])) continue;
        const int colour = i < 2 ? WHITE : BLACK;
        const TBB rooks = p.rooks() & (colour == WHITE ? p.own & RANK_1 : p.opponent() & RANK_8);
        buffer[length++] = castlingLetter(colour, i % 2 == 0, rooks);
    }
    if (length == start) buffer[length++] = '-';
    buffer[length++] = ' ';
    if (p.epFile != NO_EP_FILE) {
        buffer[length++] = static_cast<char>('a' + p.epFile);
        buffer[length++] = blackToMove ? '3' : '6';
    } else {
        buffer[length++] = '-';
    }
    std::snprintf(buffer + length, static_cast<size_t>(FEN_BUFFER_SIZE - length), " %d %d", p.fifty,
                  moveNumber < 1 ? 1 : moveNumber);
}
