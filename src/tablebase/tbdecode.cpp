#include "tablebase/tbdecode.h"

namespace {

constexpr int LEAF = 0xFFF;
constexpr int MAX_SYMBOLS = 4095;
// Code lengths above 32 would overrun the 64-bit code buffer's refill scheme.
constexpr int MAX_CODE_LENGTH = 32;

int leftChild(const uint8_t* p) { return ((p[1] & 0x0F) << 8) | p[0]; }
int rightChild(const uint8_t* p) { return (p[2] << 4) | (p[1] >> 4); }

enum Visit : uint8_t { UNSEEN, ON_PATH, DONE };

// Number of values symbol s expands to, minus one. False on a damaged tree: a child outside the
// symbol table, a cycle, or an expansion longer than a symbol length can hold.
bool computeLength(const PairsTable& d, int s, Visit* state, int depth) {
    if (state[s] == DONE) return true;
    if (state[s] == ON_PATH || depth > MAX_SYMBOLS) return false;
    state[s] = ON_PATH;
    const uint8_t* p = d.symbolPatterns + 3 * s;
    int right = rightChild(p);
    int length = 0;
    if (right != LEAF) {
        int left = leftChild(p);
        if (left >= d.symbolCount || right >= d.symbolCount) return false;
        if (!computeLength(d, left, state, depth + 1) || !computeLength(d, right, state, depth + 1)) return false;
        length = d.symbolLength[left] + d.symbolLength[right] + 1;
        if (length > 255) return false;
    }
    d.symbolLength[s] = static_cast<uint8_t>(length);
    state[s] = DONE;
    return true;
}

// Reads the block's bits big-endian, 32 at a time. Bytes past the end of the file read as
// zero, so a damaged stream cannot make the decoder leave the mapping.
struct BitReader {
    const uint8_t* ptr;
    int64_t avail;
    uint32_t next32() {
        uint32_t v = 0;
        if (avail >= 4) {
            v = static_cast<uint32_t>(ptr[0]) << 24 | static_cast<uint32_t>(ptr[1]) << 16 |
                static_cast<uint32_t>(ptr[2]) << 8 | ptr[3];
            ptr += 4;
            avail -= 4;
            return v;
        }
        for (int i = 0; i < 4; ++i) v = v << 8 | (i < avail ? ptr[i] : 0);
        avail = 0;
        return v;
    }
};

}  // namespace

std::unique_ptr<PairsTable> setupPairs(const uint8_t* header, const uint8_t* fileEnd, uint64_t tableSize,
                                       PairsSizes* sizes, const uint8_t** next, uint8_t* flags, TableKind kind) {
    *sizes = PairsSizes{};
    if (fileEnd - header < 2) return nullptr;
    *flags = header[0];
    auto d = std::make_unique<PairsTable>();
    d->fileEnd = fileEnd;
    if (header[0] & 0x80) {
        d->constant = true;
        d->minLength = kind == TableKind::Wdl ? header[1] : 0;
        *next = header + 2;
        return d;
    }
    if (fileEnd - header < 12) return nullptr;
    d->blockSizeBits = header[1];
    d->indexBits = header[2];
    int extraBlocks = header[3];
    d->realBlocks = readLe32(header + 4);
    d->maxLength = header[8];
    d->minLength = header[9];
    if (d->blockSizeBits > 30 || d->indexBits < 1 || d->indexBits > 40 || d->minLength < 1 ||
        d->maxLength > MAX_CODE_LENGTH || d->minLength > d->maxLength)
        return nullptr;
    int lengths = d->maxLength - d->minLength + 1;
    d->offsets = header + 10;
    if (fileEnd - d->offsets < 2 * lengths + 2) return nullptr;
    d->symbolCount = readLe16(d->offsets + 2 * lengths);
    d->symbolPatterns = d->offsets + 2 * lengths + 2;
    if (d->symbolCount < 1 || d->symbolCount > MAX_SYMBOLS) return nullptr;
    int patternBytes = 3 * d->symbolCount + (d->symbolCount & 1);
    if (fileEnd - d->symbolPatterns < patternBytes) return nullptr;
    *next = d->symbolPatterns + patternBytes;

    d->indexEntries = (tableSize + (uint64_t{1} << d->indexBits) - 1) >> d->indexBits;
    d->sizeEntries = d->realBlocks + static_cast<uint32_t>(extraBlocks);
    if (d->sizeEntries < d->realBlocks) return nullptr;
    sizes->indexTable = 6 * d->indexEntries;
    sizes->sizeTable = 2 * static_cast<uint64_t>(d->sizeEntries);
    sizes->data = static_cast<uint64_t>(d->realBlocks) << d->blockSizeBits;

    d->symbolLength = std::make_unique<uint8_t[]>(d->symbolCount);
    auto state = std::make_unique<Visit[]>(d->symbolCount);
    for (int s = 0; s < d->symbolCount; ++s) state[s] = UNSEEN;
    for (int s = 0; s < d->symbolCount; ++s) {
        if (!computeLength(*d, s, state.get(), 0)) return nullptr;
    }

    // Left-aligned first code of each length: a code's length is found by comparison alone.
    d->base = std::make_unique<uint64_t[]>(lengths);
    d->base[lengths - 1] = 0;
    for (int i = lengths - 2; i >= 0; --i) {
        d->base[i] = (d->base[i + 1] + readLe16(d->offsets + 2 * i) - readLe16(d->offsets + 2 * (i + 1))) / 2;
    }
    for (int i = 0; i < lengths; ++i) d->base[i] <<= 64 - (d->minLength + i);
    return d;
}

int decodeValue(const PairsTable* d, uint64_t idx) {
    if (d->constant) return d->minLength;

    uint64_t main = idx >> d->indexBits;
    if (main >= d->indexEntries) return -1;
    int64_t lit = static_cast<int64_t>(idx & ((uint64_t{1} << d->indexBits) - 1)) - (int64_t{1} << (d->indexBits - 1));
    const uint8_t* entry = d->indexTable + 6 * main;
    uint32_t block = readLe32(entry);
    lit += readLe16(entry + 4);

    while (lit < 0) {
        if (block == 0 || block > d->sizeEntries) return -1;
        --block;
        lit += readLe16(d->sizeTable + 2 * static_cast<uint64_t>(block)) + 1;
    }
    for (;;) {
        if (block >= d->sizeEntries) return -1;
        int blockValues = readLe16(d->sizeTable + 2 * static_cast<uint64_t>(block));
        if (lit <= blockValues) break;
        lit -= blockValues + 1;
        ++block;
    }
    if (block >= d->realBlocks) return -1;

    const uint8_t* start = d->data + (static_cast<uint64_t>(block) << d->blockSizeBits);
    BitReader reader{start, d->fileEnd - start};
    uint64_t code = static_cast<uint64_t>(reader.next32()) << 32;
    code |= reader.next32();
    int bitCount = 0;
    int sym;
    const uint64_t* base = d->base.get();
    for (;;) {
        int i = 0;  // code length minus the minimum
        while (code < base[i]) ++i;
        int l = d->minLength + i;
        uint64_t symbol = readLe16(d->offsets + 2 * i) + ((code - base[i]) >> (64 - l));
        if (symbol >= static_cast<uint64_t>(d->symbolCount)) return -1;
        sym = static_cast<int>(symbol);
        if (lit <= d->symbolLength[sym]) break;
        lit -= d->symbolLength[sym] + 1;
        code <<= l;
        bitCount += l;
        if (bitCount >= 32) {
            bitCount -= 32;
            code |= static_cast<uint64_t>(reader.next32()) << bitCount;
        }
    }
    for (;;) {
        const uint8_t* p = d->symbolPatterns + 3 * sym;
        if (rightChild(p) == LEAF) return p[0];
        int left = leftChild(p);
        if (lit <= d->symbolLength[left]) {
            sym = left;
        } else {
            lit -= d->symbolLength[left] + 1;
            sym = rightChild(p);
        }
    }
}
