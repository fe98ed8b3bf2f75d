#pragma once
#include <cstdint>
#include <memory>

// Decoder of one compressed value stream of a table file. Every pointer points into the
// mapped file; only the base values and symbol lengths are owned by the decoder.
struct PairsTable {
    const uint8_t* indexTable = nullptr;  // 6-byte entries: 32-bit block, 16-bit offset
    const uint8_t* sizeTable = nullptr;   // 16-bit entries: values in the block minus one
    const uint8_t* data = nullptr;        // the blocks
    const uint8_t* offsets = nullptr;     // 16-bit first symbol per code length
    const uint8_t* symbolPatterns = nullptr;
    const uint8_t* fileEnd = nullptr;  // the bit reader never reads at or past this
    uint64_t indexEntries = 0;
    uint32_t realBlocks = 0;
    uint32_t sizeEntries = 0;
    int blockSizeBits = 0;
    int indexBits = 0;
    int minLength = 0;  // also the value of a constant table
    int maxLength = 0;
    int symbolCount = 0;
    bool constant = false;
    std::unique_ptr<uint64_t[]> base;         // per code length from minLength to maxLength
    std::unique_ptr<uint8_t[]> symbolLength;  // values a symbol expands to, minus one
};

enum class TableKind { Wdl, Dtz };

// What a pairs header asks for from the areas after the headers.
struct PairsSizes {
    uint64_t indexTable = 0;
    uint64_t sizeTable = 0;
    uint64_t data = 0;
};

// Builds a decoder from the pairs header at `header` for an index space of `tableSize` values.
// Returns null when the header is damaged or runs past `fileEnd`. On success *next points
// after the header and *flags holds its flags byte.
std::unique_ptr<PairsTable> setupPairs(const uint8_t* header, const uint8_t* fileEnd, uint64_t tableSize,
                                       PairsSizes* sizes, const uint8_t** next, uint8_t* flags, TableKind kind);

// Value stored at index idx, or -1 when the stream is damaged (never reads outside the file).
int decodeValue(const PairsTable* d, uint64_t idx);

inline uint32_t readLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
inline uint16_t readLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
