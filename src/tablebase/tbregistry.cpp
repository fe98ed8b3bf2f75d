#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "output/notice.h"
#include "tablebase/tablebase.h"
#include "tablebase/tbdtzcache.h"
#include "tablebase/tbfiles.h"
#include "tablebase/tbregistry.h"

namespace {

constexpr const char* PIECE_LETTERS = "KQRBNP";

// Fixed random numbers for material keys: R[code][k] stands for the k-th man with that code.
// The seed is chosen so that the keys of all 510 tables of up to six men leave at most four in
// any hash bucket: a full six-man set registers without reaching HSHMAX.
struct KeyTable {
    uint64_t v[16][64];
};
constexpr KeyTable makeKeyTable() {
    KeyTable t{};
    uint64_t x = 0x7175696E74617266ULL;
    for (auto& row : t.v) {
        for (auto& r : row) {
            x += 0x9E3779B97F4A7C15ULL;  // splitmix64
            uint64_t z = x;
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
            r = z ^ (z >> 31);
        }
    }
    return t;
}
constexpr KeyTable MaterialRandom = makeKeyTable();

TbWdlEntry pieceEntries[TBMAX_PIECE];
TbWdlEntry pawnEntries[TBMAX_PAWN];
int pieceEntryCount = 0;
int pawnEntryCount = 0;
TbHashSlot keyHash[TB_HASH_BUCKETS][HSHMAX];

std::mutex tbMutex;

[[noreturn]] void fatal(const char* message) {
    std::printf("%s\n", message);
    std::fflush(stdout);
    std::exit(1);
}

int bucketOf(uint64_t key) { return static_cast<int>(key >> 54); }

void fillShape(TableShape& shape, const uint8_t counts[16]) {
    shape = TableShape{};
    int unique = 0;
    for (int c = 0; c < 16; ++c) {
        shape.counts[c] = counts[c];
        shape.pieceCount += counts[c];
        unique += counts[c] == 1;
    }
    shape.hasPawns = counts[1] + counts[9] > 0;
    if (shape.hasPawns) {
        shape.leadCount = counts[1];
        shape.otherCount = counts[9];
        if (counts[9] > 0 && (counts[1] == 0 || counts[9] < counts[1])) {
            shape.leadCount = counts[9];
            shape.otherCount = counts[1];
        }
    } else {
        shape.encodingType = unique >= 3 ? 0 : 2;
    }
}

void clearRegistry() {
    for (int i = 0; i < pieceEntryCount; ++i) tbReleaseWdl(pieceEntries[i]);
    for (int i = 0; i < pawnEntryCount; ++i) tbReleaseWdl(pawnEntries[i]);
    pieceEntryCount = pawnEntryCount = 0;
    std::memset(keyHash, 0, sizeof keyHash);
    tbClearDtzCache();
}

void addToHash(uint64_t key, TbWdlEntry* entry) {
    for (TbHashSlot& slot : keyHash[bucketOf(key)]) {
        if (slot.key == 0) {
            slot = TbHashSlot{key, entry};
            return;
        }
    }
    fatal("HSHMAX too low!");
}

void tbRegisterTable(const char* name) {
    if (!tbWdlFileExists(name)) return;

    uint8_t counts[16] = {};
    uint8_t swapped[16] = {};
    int side = 0;
    for (const char* s = name; *s != '\0'; ++s) {
        if (*s == 'v') {
            side = 8;
            continue;
        }
        const char* letter = std::strchr(PIECE_LETTERS, *s);
        ++counts[6 - (letter - PIECE_LETTERS) + side];
    }
    for (int c = 0; c < 16; ++c) swapped[c ^ 8] = counts[c];
    uint64_t key = tbMaterialKeyOfCounts(counts);
    uint64_t key2 = tbMaterialKeyOfCounts(swapped);

    TbWdlEntry* e;
    if (counts[1] + counts[9] == 0) {
        if (pieceEntryCount >= TBMAX_PIECE) fatal("TBMAX_PIECE limit too low!");
        e = &pieceEntries[pieceEntryCount++];
    } else {
        if (pawnEntryCount >= TBMAX_PAWN) fatal("TBMAX_PAWN limit too low!");
        e = &pawnEntries[pawnEntryCount++];
    }
    e->key = key;
    e->state.store(TB_UNLOADED, std::memory_order_relaxed);
    e->symmetric = key == key2;
    fillShape(e->shape, counts);
    addToHash(key, e);
    if (key2 != key) addToHash(key2, e);
}

void registerAll() {
    static const char* const Letters = " QRBNP";  // 1..5 = Q, R, B, N, P
    char name[TB_NAME_LENGTH];
    auto reg = [&](const char* pattern, int a, int b = 0, int c = 0, int d = 0) {
        std::snprintf(name, sizeof name, pattern, Letters[a], Letters[b], Letters[c], Letters[d]);
        tbRegisterTable(name);
    };
    for (int i = 1; i <= 5; ++i) reg("K%cvK", i);
    for (int i = 1; i <= 5; ++i)
        for (int j = i; j <= 5; ++j) reg("K%cvK%c", i, j);
    for (int i = 1; i <= 5; ++i)
        for (int j = i; j <= 5; ++j) reg("K%c%cvK", i, j);
    for (int i = 1; i <= 5; ++i)
        for (int j = i; j <= 5; ++j)
            for (int k = 1; k <= 5; ++k) reg("K%c%cvK%c", i, j, k);
    for (int i = 1; i <= 5; ++i)
        for (int j = i; j <= 5; ++j)
            for (int k = j; k <= 5; ++k) reg("K%c%c%cvK", i, j, k);
    for (int i = 1; i <= 5; ++i)
        for (int j = i; j <= 5; ++j)
            for (int k = i; k <= 5; ++k)
                for (int l = (i == k) ? j : k; l <= 5; ++l) reg("K%c%cvK%c%c", i, j, k, l);
    for (int i = 1; i <= 5; ++i)
        for (int j = i; j <= 5; ++j)
            for (int k = j; k <= 5; ++k)
                for (int l = 1; l <= 5; ++l) reg("K%c%c%cvK%c", i, j, k, l);
    for (int i = 1; i <= 5; ++i)
        for (int j = i; j <= 5; ++j)
            for (int k = j; k <= 5; ++k)
                for (int l = k; l <= 5; ++l) reg("K%c%c%c%cvK", i, j, k, l);
}

}  // namespace

uint64_t tbMaterialKeyOfCounts(const uint8_t counts[16]) {
    uint64_t key = 0;
    for (int code = 0; code < 16; ++code) {
        for (int k = 0; k < counts[code] && k < 64; ++k) key ^= MaterialRandom.v[code][k];
    }
    return key;
}

uint64_t tbKingsOnlyKey() { return MaterialRandom.v[6][0] ^ MaterialRandom.v[14][0]; }

TBB tbPieceSquares(const Position& pos, int colour, int type) {
    TBB planes = ((type & 1) ? pos.P1 : ~pos.P1) & ((type & 2) ? pos.P2 : ~pos.P2) & ((type & 4) ? pos.P3 : ~pos.P3);
    TBB side = static_cast<uint32_t>(colour) == pos.colour ? pos.own : pos.opponent();
    TBB b = planes & side;
    return pos.colour == BLACK ? byteSwap(b) : b;
}

uint64_t tbMaterialKey(const Position& pos, bool mirror) {
    uint8_t counts[16] = {};
    for (int colour = WHITE; colour <= BLACK; ++colour) {
        int offset = (colour == WHITE) != mirror ? 0 : 8;
        for (int type = PAWN; type <= KING; ++type)
            counts[type + offset] = static_cast<uint8_t>(popCount(tbPieceSquares(pos, colour, type)));
    }
    return tbMaterialKeyOfCounts(counts);
}

void tbTableName(const Position& pos, bool mirror, char* name) {
    int n = 0;
    for (int i = 0; i < 2; ++i) {
        int colour = (i == 0) != mirror ? WHITE : BLACK;
        if (i == 1) name[n++] = 'v';
        name[n++] = 'K';
        for (int type = QUEEN; type >= PAWN; --type) {
            int men = popCount(tbPieceSquares(pos, colour, type));
            for (int k = 0; k < men && n < TB_NAME_LENGTH - 2; ++k) name[n++] = PIECE_LETTERS[6 - type];
        }
    }
    name[n] = '\0';
}

TbHashSlot* tbFindSlot(uint64_t key) {
    for (TbHashSlot& slot : keyHash[bucketOf(key)]) {
        if (slot.key == key) return &slot;
    }
    return nullptr;
}

bool tbEnsureWdlLoaded(TbWdlEntry* e, const Position& pos, uint64_t key) {
    uint8_t state = e->state.load(std::memory_order_acquire);
    if (state != TB_UNLOADED) return state == TB_READY;
    std::lock_guard<std::mutex> lock(tbMutex);
    state = e->state.load(std::memory_order_relaxed);
    if (state != TB_UNLOADED) return state == TB_READY;
    char name[TB_NAME_LENGTH];
    tbTableName(pos, key != e->key, name);
    const bool loaded = tbLoadWdlFile(*e, name);
    e->state.store(loaded ? TB_READY : TB_FAILED, std::memory_order_release);
    return loaded;
}

void tbInit(const char* path) {
    std::lock_guard<std::mutex> lock(tbMutex);
    clearRegistry();
    tbSetDirectories(path);
    registerAll();
    printNotice("Found %d tablebases.\n", pieceEntryCount + pawnEntryCount);
}

int tbLargest() {
    int largest = 0;
    for (int i = 0; i < pieceEntryCount; ++i) largest = std::max(largest, pieceEntries[i].shape.pieceCount);
    for (int i = 0; i < pawnEntryCount; ++i) largest = std::max(largest, pawnEntries[i].shape.pieceCount);
    return largest;
}

int tbRegisteredCount() { return pieceEntryCount + pawnEntryCount; }

int tbHashSlotsUsed() {
    int used = 0;
    for (auto& bucket : keyHash)
        for (TbHashSlot& slot : bucket) used += slot.key != 0;
    return used;
}
