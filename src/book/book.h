#pragma once
#include <cstdint>
#include <cstdio>

// Writes a book move for the current position as coordinate text into `text` (at least 6 bytes).
// 0 when a move was written; 1 when the book gives none.
int chooseBookMove(const char* bookFile, char* text);
// Lists the book moves of the current position. 0 when found and listed; 1 otherwise.
int listBookMoves(const char* bookFile);

// One 16-byte entry of a Polyglot book (stored big-endian, sorted by key).
struct BookEntry {
    uint64_t key;
    uint16_t move;
    uint16_t weight;
    uint32_t learn;
};

constexpr long BOOK_ENTRY_SIZE = 16;
// Most moves gathered for one position; a position with more gets no book move.
constexpr int BOOK_MAX_MOVES = 100;

// Reads the next entry of the open file. 0 when a whole entry was read; 1 at the end of the
// file (the entry is then left as it was).
int readBookEntry(FILE* file, BookEntry* entry);
// Lower-bound search: the index of the first entry whose key is not below `key` (the last entry
// when every key is below it), that entry in `entry`. The caller compares entry->key with `key`.
// In a file without a whole entry, or when a read fails, entry->key is set to key + 1 so that
// it cannot match, and the result is -1.
long findBookKey(FILE* file, uint64_t key, BookEntry* entry);

enum BookLookup : int { BOOK_FOUND = 0, BOOK_NOT_FOUND = 1, BOOK_TOO_MANY = 2, BOOK_UNREADABLE = 3 };
// Gathers the run of entries with `key` in file order into `entries` (room for BOOK_MAX_MOVES).
BookLookup gatherBookMoves(FILE* file, uint64_t key, BookEntry* entries, int* count);

// Coordinate text of a 16-bit book move into `text` (6 bytes), castling written as the king's
// two-square step (e1h1 -> e1g1) whatever stands on the board. 0 on success; 1 when the
// promotion code is not one of 0..4 (the text then ends in '?', which no move parser accepts).
int bookMoveToText(char* text, uint16_t move);
// The same for the current position: a king-takes-own-rook move is renamed only when the side
// to move has its king on the origin square, so a rook standing on e1 keeps its corner move.
int bookMoveToTextInPosition(char* text, uint16_t move);
// True when `text` is exactly the text of a legal move of the current position.
bool isLegalMoveText(const char* text);
