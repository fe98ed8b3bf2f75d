// The opening book: picking and listing the moves a Polyglot book holds for the current position.
// Nothing is cached: each call opens the file, looks the position up and closes it again.
#include "book/book.h"

#include <cstdlib>
#include <cstring>
#include <ctime>

#include "board/castling.h"
#include "board/hashkey.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/movetext.h"
#include "board/position.h"
#include "output/gamelog.h"
#include "state/enginestate.h"

namespace {

constexpr char PromotionLetters[] = " nbrq";

// The book writes castling as the king moving onto its own rook.
struct CastlingName {
    const char* book;
    const char* engine;
};
constexpr CastlingName CastlingNames[] = {{"e1h1", "e1g1"}, {"e1a1", "e1c1"}, {"e8h8", "e8g8"}, {"e8a8", "e8c8"}};

int origin(uint16_t move) { return (move >> 6) & 63; }

// Writes the move as stored, without renaming castling.
int rawBookMoveText(char* text, uint16_t move) {
    int to = move & 63;
    int from = origin(move);
    int promotion = (move >> 12) & 7;
    text[0] = static_cast<char>('a' + (from & 7));
    text[1] = static_cast<char>('1' + (from >> 3));
    text[2] = static_cast<char>('a' + (to & 7));
    text[3] = static_cast<char>('1' + (to >> 3));
    text[4] = '\0';
    text[5] = '\0';
    if (promotion == 0) return 0;
    // Codes 5..7 do not occur in sound books: mark the move unusable rather than read past the letters.
    text[4] = promotion < 5 ? PromotionLetters[promotion] : '?';
    return promotion < 5 ? 0 : 1;
}

bool renameCastling(char* text) {
    // Chess960 writes castling as the book does.
    if (chess960()) return false;
    for (const CastlingName& c : CastlingNames) {
        if (std::strcmp(text, c.book) == 0) {
            std::memcpy(text, c.engine, 5);
            return true;
        }
    }
    return false;
}

bool kingOnAbsoluteSquare(int square) {
    const Position& p = currentPosition();
    int relative = p.colour ? square ^ 56 : square;
    return ((p.own & p.kings()) >> relative) & 1;
}

// Opens the book and gathers the current position's run; reports an unopenable file.
BookLookup lookUpCurrentPosition(const char* bookFile, BookEntry* entries, int* count, uint64_t* key) {
    *count = 0;
    *key = computeHashKey();
    FILE* file = std::fopen(bookFile, "rb");
    if (file == nullptr) {
        std::perror(bookFile);
        return BOOK_UNREADABLE;
    }
    BookLookup result = gatherBookMoves(file, *key, entries, count);
    std::fclose(file);
    return result;
}

bool textMatchesMove(const char* text, Move m) {
    char moveText[8];
    moveToText(moveText, m, &currentPosition());
    if (moveText[4] == ' ') moveText[4] = '\0';
    return std::strcmp(text, moveText) == 0;
}

bool legalOnBoard(Move m) {
    makeMoveLight(m);
    bool legal = opponentInCheck() == 0;
    takeBack();
    return legal;
}

void announceBookMove(const char* text) {
    if (gs_info.postThinking != 1 || gs_info.xboardMode != 1) return;
    std::printf("0 0 0 0 %s (move from book)\n", text);
    logText("0 0 0 0 (move from book)\n");
}

}  // namespace

int bookMoveToText(char* text, uint16_t move) {
    int result = rawBookMoveText(text, move);
    renameCastling(text);
    return result;
}

int bookMoveToTextInPosition(char* text, uint16_t move) {
    int result = rawBookMoveText(text, move);
    if (kingOnAbsoluteSquare(origin(move))) renameCastling(text);
    return result;
}

bool isLegalMoveText(const char* text) {
    if (stackNearlyFull()) return false;
    CaptureList captures;
    generateCaptures(&captures);
    for (uint32_t i = 0; i < captures.count; ++i) {
        if (textMatchesMove(text, captures.entries[i].move)) return legalOnBoard(captures.entries[i].move);
    }
    QuietList quiets;
    generateQuiets(&quiets);
    for (uint32_t i = 0; i < quiets.count; ++i) {
        if (textMatchesMove(text, quiets.moves[i])) return legalOnBoard(quiets.moves[i]);
    }
    return false;
}

int chooseBookMove(const char* bookFile, char* text) {
    // A Chess960 game has no book but from the standard start.
    if (chess960() && !standardCastlingSquares()) return 1;
    BookEntry entries[BOOK_MAX_MOVES];
    int count;
    uint64_t key;
    BookLookup found = lookUpCurrentPosition(bookFile, entries, &count, &key);
    if (found == BOOK_TOO_MANY && gs_info.uciMode == 0)
        std::printf("#DEBUG: Too many moves in this position (max=%d)\n", BOOK_MAX_MOVES);
    if (found != BOOK_FOUND) return 1;

    int chosen = 0;
    if (gs_info.randBook != 0) {
        // Uniform over the entries: the weights play no part in the choice.
        std::srand(static_cast<unsigned>(std::time(nullptr)));
        chosen = std::rand() % count;
    }
    char candidate[6];
    bookMoveToTextInPosition(candidate, entries[chosen].move);
    // A colliding key or a damaged book can hold moves this position does not allow; the caller
    // would play whatever its parser accepts, so only a legal move leaves the book.
    if (!isLegalMoveText(candidate)) return 1;
    std::memcpy(text, candidate, sizeof candidate);
    announceBookMove(text);
    return 0;
}

int listBookMoves(const char* bookFile) {
    // A Chess960 game has no book but from the standard start.
    if (chess960() && !standardCastlingSquares()) return 1;
    BookEntry entries[BOOK_MAX_MOVES];
    int count;
    uint64_t key;
    BookLookup found = lookUpCurrentPosition(bookFile, entries, &count, &key);
    if (found == BOOK_TOO_MANY) {
        std::printf("Too many moves in this position (max=%d)\n", BOOK_MAX_MOVES);
        return 1;
    }
    if (found == BOOK_UNREADABLE) return 1;
    if (found != BOOK_FOUND) {
        std::printf("%016llx: No such key\n", static_cast<unsigned long long>(key));
        return 1;
    }
    uint32_t total = 0;
    for (int i = 0; i < count; ++i) total += entries[i].weight;
    for (int i = 0; i < count; ++i) {
        char text[6];
        bookMoveToTextInPosition(text, entries[i].move);
        // All weights 0: every share is shown as 0 rather than 0/0.
        double share = total == 0 ? 0.0 : entries[i].weight / static_cast<double>(total) * 100.0;
        std::printf("move=%s weight=%5.2f%%\n", text, share);
    }
    return 0;
}
