#pragma once
// Small Polyglot books written by the tests, and what a book answers.
#include <cstdint>
#include <string>
#include <vector>

#include "book/book.h"
#include "support/test_support.h"

namespace booktest {

// Packs a move the way the book stores it, from coordinate text such as "e7e8" and a promotion code.
inline uint16_t packMove(const char* text, int promotion = 0) {
    int from = (text[0] - 'a') + 8 * (text[1] - '1');
    int to = (text[2] - 'a') + 8 * (text[3] - '1');
    return static_cast<uint16_t>(promotion << 12 | from << 6 | to);
}

inline void appendBigEndian(std::string& bytes, uint64_t value, int count) {
    for (int i = count - 1; i >= 0; --i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

inline std::string encode(const std::vector<BookEntry>& entries) {
    std::string bytes;
    for (const BookEntry& e : entries) {
        appendBigEndian(bytes, e.key, 8);
        appendBigEndian(bytes, e.move, 2);
        appendBigEndian(bytes, e.weight, 2);
        appendBigEndian(bytes, e.learn, 4);
    }
    return bytes;
}

// What the book lists for the current position.
inline std::string listing(const std::string& book) {
    return stdoutOf([&] { listBookMoves(book.c_str()); });
}

// The move the book chooses for the current position, "" when none.
inline std::string choice(const std::string& book) {
    char text[6] = "";
    int result = -1;
    stdoutOf([&] { result = chooseBookMove(book.c_str(), text); });
    return result == 0 ? text : "";
}

}  // namespace booktest
