#include "board/san.h"

#include "board/makemove.h"
#include "board/movegen.h"
#include "board/position.h"

namespace {

constexpr char PieceLetters[] = " PNBRQK";

// Squares in moves are the mover's; text shows the board's.
int boardSquare(int square, int colour) { return colour == BLACK ? square ^ 56 : square; }

bool isCastling(Move m) { return moveType(m) == MT_CASTLE_KINGSIDE || moveType(m) == MT_CASTLE_QUEENSIDE; }
bool isCapture(Move m) { return (moveType(m) & 8) != 0; }
bool isPromotion(Move m) { return moveType(m) == MT_PROMOTION || moveType(m) == MT_PROMOTION_CAPTURE; }

int pieceOfLetter(char c) {
    switch (c) {
    case 'N': return KNIGHT;
    case 'B': return BISHOP;
    case 'R': return ROOK;
    case 'Q': return QUEEN;
    case 'K': return KING;
    default: return EMPTY;
    }
}

int promotionOfLetter(char c) {
    switch (c) {
    case 'N': case 'n': return KNIGHT;
    case 'B': case 'b': return BISHOP;
    case 'R': case 'r': return ROOK;
    case 'Q': case 'q': return QUEEN;
    default: return EMPTY;
    }
}

bool isFile(char c) { return c >= 'a' && c <= 'h'; }
bool isRank(char c) { return c >= '1' && c <= '8'; }

// The marks a file may leave after a move, taken off before it is read.
std::string_view withoutMarks(std::string_view text) {
    if (text.size() > 4 && text.substr(text.size() - 4) == "e.p.") text.remove_suffix(4);
    while (!text.empty()) {
        const char c = text.back();
        if (c != '+' && c != '#' && c != '!' && c != '?') break;
        text.remove_suffix(1);
    }
    return text;
}

// What a move text asks for; -1 in a field it leaves open.
struct SanPattern {
    int piece = PAWN;
    int fromFile = -1, fromRank = -1;
    int toSquare = -1;  // on the board
    int promotion = EMPTY;
    int castling = 0;  // MT_CASTLE_KINGSIDE or MT_CASTLE_QUEENSIDE
};

bool parsePattern(std::string_view text, SanPattern& pattern) {
    if (text == "O-O" || text == "0-0" || text == "o-o") {
        pattern.castling = MT_CASTLE_KINGSIDE;
        return true;
    }
    if (text == "O-O-O" || text == "0-0-0" || text == "o-o-o") {
        pattern.castling = MT_CASTLE_QUEENSIDE;
        return true;
    }
    // Piece letter, then squares and signs; capture signs and hyphens carry nothing we need.
    char rest[8];
    int n = 0;
    size_t i = 0;
    if (!text.empty() && pieceOfLetter(text[0]) != EMPTY) pattern.piece = pieceOfLetter(text[i++]);
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == 'x' || c == ':' || c == '-') continue;
        if (n == static_cast<int>(sizeof rest)) return false;
        rest[n++] = c;
    }
    if (pattern.piece == PAWN && n >= 3 && promotionOfLetter(rest[n - 1]) != EMPTY && isRank(rest[n - 2])) {
        pattern.promotion = promotionOfLetter(rest[--n]);
    } else if (pattern.piece == PAWN && n >= 4 && rest[n - 2] == '=' && promotionOfLetter(rest[n - 1]) != EMPTY) {
        pattern.promotion = promotionOfLetter(rest[n - 1]);
        n -= 2;
    }
    if (n >= 1 && rest[n - 1] == '=') return false;
    if (n < 2 || !isFile(rest[n - 2]) || !isRank(rest[n - 1])) return false;
    pattern.toSquare = (rest[n - 2] - 'a') + 8 * (rest[n - 1] - '1');
    n -= 2;
    int k = 0;
    if (k < n && isFile(rest[k])) pattern.fromFile = rest[k++] - 'a';
    if (k < n && isRank(rest[k])) pattern.fromRank = rest[k++] - '1';
    return k == n;
}

bool matches(const Position& p, Move m, const SanPattern& pattern) {
    if (pattern.castling != 0) return moveType(m) == pattern.castling;
    if (isCastling(m)) return false;
    const int from = boardSquare(moveFrom(m), static_cast<int>(p.colour));
    const int to = boardSquare(moveTo(m), static_cast<int>(p.colour));
    if (p.pieceType(moveFrom(m)) != pattern.piece || to != pattern.toSquare) return false;
    if (pattern.fromFile >= 0 && (from & 7) != pattern.fromFile) return false;
    if (pattern.fromRank >= 0 && (from >> 3) != pattern.fromRank) return false;
    return isPromotion(m) ? movePromotion(m) == pattern.promotion : pattern.promotion == EMPTY;
}

void appendSquare(char* buffer, int& n, int square) {
    buffer[n++] = static_cast<char>('a' + (square & 7));
    buffer[n++] = static_cast<char>('1' + (square >> 3));
}

// File, rank or both of the origin, as far as other moves of the same kind to the same square need.
void appendDisambiguation(char* buffer, int& n, Move m, const Move* moves, int count) {
    const Position& p = currentPosition();
    bool rival = false, sameFile = false, sameRank = false;
    for (int i = 0; i < count; ++i) {
        const Move other = moves[i];
        if (other == m || isCastling(other) || moveTo(other) != moveTo(m) || moveFrom(other) == moveFrom(m)) continue;
        if (p.pieceType(moveFrom(other)) != p.pieceType(moveFrom(m))) continue;
        rival = true;
        sameFile |= (moveFrom(other) & 7) == (moveFrom(m) & 7);
        sameRank |= (moveFrom(other) >> 3) == (moveFrom(m) >> 3);
    }
    if (!rival) return;
    const int from = boardSquare(moveFrom(m), static_cast<int>(p.colour));
    if (!sameFile) {
        buffer[n++] = static_cast<char>('a' + (from & 7));
    } else if (!sameRank) {
        buffer[n++] = static_cast<char>('1' + (from >> 3));
    } else {
        appendSquare(buffer, n, from);
    }
}

}  // namespace

int listLegalMoves(Move* moves) {
    CaptureList captures;
    QuietList quiets;
    generateCaptures(&captures);
    generateQuiets(&quiets);
    int n = 0;
    const auto keepIfLegal = [&](Move m) {
        makeMoveLight(m);
        if (!opponentInCheck()) moves[n++] = m;
        takeBack();
    };
    for (uint32_t i = 0; i < captures.count; ++i) keepIfLegal(captures.entries[i].move);
    for (uint32_t i = 0; i < quiets.count; ++i) keepIfLegal(quiets.moves[i]);
    return n;
}

void moveToSan(char* buffer, Move m) {
    const Position& p = currentPosition();
    int n = 0;
    if (moveType(m) == MT_CASTLE_KINGSIDE || moveType(m) == MT_CASTLE_QUEENSIDE) {
        for (const char c : std::string_view(moveType(m) == MT_CASTLE_KINGSIDE ? "O-O" : "O-O-O")) buffer[n++] = c;
    } else {
        const int piece = p.pieceType(moveFrom(m));
        const int from = boardSquare(moveFrom(m), static_cast<int>(p.colour));
        if (piece == PAWN) {
            if (isCapture(m)) buffer[n++] = static_cast<char>('a' + (from & 7));
        } else {
            buffer[n++] = PieceLetters[piece];
            Move moves[MAX_CAPTURES + MAX_QUIETS];
            appendDisambiguation(buffer, n, m, moves, listLegalMoves(moves));
        }
        if (isCapture(m)) buffer[n++] = 'x';
        appendSquare(buffer, n, boardSquare(moveTo(m), static_cast<int>(p.colour)));
        if (isPromotion(m)) {
            buffer[n++] = '=';
            buffer[n++] = PieceLetters[movePromotion(m)];
        }
    }
    makeMoveLight(m);
    if (inCheck()) {
        Move replies[MAX_CAPTURES + MAX_QUIETS];
        buffer[n++] = listLegalMoves(replies) == 0 ? '#' : '+';
    }
    takeBack();
    buffer[n] = '\0';
}

Move sanToMove(std::string_view text, SanResult* result) {
    SanPattern pattern;
    if (!parsePattern(withoutMarks(text), pattern)) {
        *result = SanResult::Malformed;
        return 0;
    }
    Move moves[MAX_CAPTURES + MAX_QUIETS];
    const int count = listLegalMoves(moves);
    Move found = 0;
    int matching = 0;
    for (int i = 0; i < count; ++i) {
        if (matches(currentPosition(), moves[i], pattern)) {
            found = moves[i];
            ++matching;
        }
    }
    *result = matching == 1 ? SanResult::Ok : matching == 0 ? SanResult::Illegal : SanResult::Ambiguous;
    return matching == 1 ? found : 0;
}

const char* sanResultText(SanResult result) {
    switch (result) {
    case SanResult::Ok: return "ok";
    case SanResult::Malformed: return "not a move";
    case SanResult::Illegal: return "illegal move";
    case SanResult::Ambiguous: return "ambiguous move";
    }
    return "";
}
