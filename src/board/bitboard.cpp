#include "board/bitboard.h"

void printByteBits(unsigned char byte) {
    for (int bit = 7; bit >= 0; --bit) std::putchar((byte >> bit) & 1 ? '1' : '0');
}

void printIndexedByte(int index, unsigned char byte) {
    std::printf("LAB[%2i] = ", index);
    printByteBits(byte);
    std::putchar('\n');
}

void printByteMap(const unsigned char map[64]) {
    std::putchar('\n');
    for (int i = 0; i < 64; ++i) printIndexedByte(i, map[i]);
}
