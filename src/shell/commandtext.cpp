#include "shell/commandtext.h"

#include <cstdio>
#include <cstring>

#include "board/position.h"
#include "search/searchlimits.h"
#include "state/enginestate.h"

bool isLine(const char* line, const char* command) { return std::strcmp(line, command) == 0; }

bool startsWith(const char* line, const char* word) { return std::strncmp(line, word, std::strlen(word)) == 0; }

const char* textFrom(const char* line, size_t index) {
    size_t length = std::strlen(line);
    return line + (index < length ? index : length);
}

namespace {
bool isFile(char c) { return c >= 'a' && c <= 'h'; }
bool isRank(char c) { return c >= '1' && c <= '8'; }
}  // namespace

bool startsWithSquares(const char* text) {
    return isFile(text[0]) && isRank(text[1]) && isFile(text[2]) && isRank(text[3]);
}

bool isCoordinateMove(const char* line) {
    size_t length = std::strlen(line);
    if ((length != 4 && length != 5) || !startsWithSquares(line)) return false;
    return length == 4 || std::strchr("qrbn", line[4]) != nullptr;
}

void spellAsUserMove(char* line, size_t size) {
    if (!isCoordinateMove(line)) return;
    char move[8];
    std::memcpy(move, line, std::strlen(line) + 1);
    std::snprintf(line, size, "usermove %s", move);
}

void readClock(const char* line, Relaxed<int32_t>& clock, const char* label) {
    int value = 0;
    if (std::sscanf(textFrom(line, 5), "%d", &value) == 1) clock = value;
    std::printf("#DEBUG %s:%d\n", label, clock.load());
}

bool readMoveTime(const char* line, int* seconds) {
    int n = 0;
    if (std::sscanf(line, "st %d", &n) != 1 || n <= 0) return false;
    TimeControl.moveTime = n > INT32_MAX / 100 ? INT32_MAX : n * 100;
    *seconds = n;
    return true;
}

bool readNumber(const char* line, const char* word, int low, int high, int* n) {
    size_t length = std::strlen(word);
    if (std::strncmp(line, word, length) != 0) return false;
    int value = 0;
    if (std::sscanf(line + length, " %d", &value) != 1 || value < low || value > high) return false;
    *n = value;
    return true;
}

void readCores(const char* line, int* threads) {
    int n = 0;
    if (!readNumber(line, "cores", 1, INT32_MAX, &n)) {
        std::printf("Error (bad number of cores): %s\n", line);
        return;
    }
    *threads = n < MAX_THREADS ? n : MAX_THREADS;
    std::printf("#DEBUG cores:%d\n", *threads);
}

bool wellFormedMove(const char* text) {
    if (std::strlen(text) < 4 || !startsWithSquares(text)) return false;
    char letter = text[4];
    bool hasLetter = letter != '\0' && letter != ' ';
    if (hasLetter && std::strchr("qrbn", letter) == nullptr) return false;
    const Position& p = currentPosition();
    int from = (text[0] - 'a') + 8 * (text[1] - '1');
    int toRank = text[3] - '1';
    if (p.colour == BLACK) {
        from ^= 56;
        toRank = 7 - toRank;
    }
    bool pawn = ((p.own >> from) & 1) != 0 && p.pieceType(from) == PAWN;
    return hasLetter == (pawn && toRank == 7);
}
