#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "tablebase/tablebase.h"
#include "tablebase/tbregistry.h"

namespace {

constexpr uint32_t WDL_MAGIC = 0x5D23E871;
constexpr uint32_t DTZ_MAGIC = 0xA50C66D7;
constexpr int DIRS_LENGTH = 256;
constexpr int ENV_DIR_LIMIT = 99;
constexpr int PATH_LENGTH = DIRS_LENGTH + TB_NAME_LENGTH + 8;
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

// Directory lists (separated by ':' or ';') for WDL and DTZ files.
char wdlDirs[DIRS_LENGTH];
char dtzDirs[DIRS_LENGTH];

TbWdlEntry pieceEntries[TBMAX_PIECE];
TbWdlEntry pawnEntries[TBMAX_PAWN];
int pieceEntryCount = 0;
int pawnEntryCount = 0;
TbHashSlot keyHash[TB_HASH_BUCKETS][HSHMAX];

struct DtzSlot {
    uint64_t key1;
    uint64_t key2;
    TbDtzEntry* entry;
};
DtzSlot dtzCache[DTZ_CACHE_SLOTS];
int dtzCapacity = DTZ_CACHE_SLOTS;

std::mutex tbMutex;

[[noreturn]] void fatal(const char* message) {
    std::printf("%s\n", message);
    std::fflush(stdout);
    std::exit(1);
}

int bucketOf(uint64_t key) { return static_cast<int>(key >> 54); }

// Finds name + suffix in the directory list; false when no directory holds a readable file.
bool findTableFile(const char* dirs, const char* name, const char* suffix, char* path) {
    const char* d = dirs;
    while (*d != '\0') {
        size_t length = std::strcspn(d, ":;");
        if (length > 0) {
            std::snprintf(path, PATH_LENGTH, "%.*s/%s%s", static_cast<int>(length), d, name, suffix);
            if (fileReadable(path)) return true;
        }
        d += length;
        if (*d != '\0') ++d;
    }
    return false;
}

// Maps a table file; reports and returns an empty mapping when it cannot be found or mapped.
FileMapping tbMapFile(const char* dirs, const char* name, const char* suffix) {
    char path[PATH_LENGTH];
    FileMapping file;
    if (findTableFile(dirs, name, suffix, path)) file = mapFile(path);
    if (file.data == nullptr) {
        if (!findTableFile(dirs, name, suffix, path)) {
            // Name the file as it would stand in the first directory of the list.
            std::snprintf(path, PATH_LENGTH, "%.*s/%s%s", static_cast<int>(std::strcspn(dirs, ":;")), dirs, name,
                          suffix);
        }
        std::printf("Could not open %s for reading.\n", path);
    }
    return file;
}

// Bounds-checked walk over the file areas: every area handed out lies inside the mapping.
struct FileCursor {
    const uint8_t* base;
    uint64_t size;
    uint64_t pos;
    bool ok = true;

    const uint8_t* at() const { return base + std::min(pos, size); }
    const uint8_t* end() const { return base + size; }
    const uint8_t* take(uint64_t n) {
        if (!ok || pos > size || n > size - pos) {
            ok = false;
            return base;
        }
        const uint8_t* p = base + pos;
        pos += n;
        return p;
    }
    void padEven() { pos += pos & 1; }
    void align64() { pos = (pos + 63) & ~uint64_t{63}; }
    void moveTo(const uint8_t* p) { pos = static_cast<uint64_t>(p - base); }
};

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

// Pairs headers, index tables, size tables and 64-aligned data blocks of the decoders `d`,
// in the file's order. `tableSizes` gives each decoder's index-space size.
bool layOutDecoders(FileCursor& c, std::unique_ptr<PairsTable>* const* d, const uint64_t* tableSizes,
                    uint8_t* flags, int count, TableKind kind, PairsSizes* sizes) {
    for (int i = 0; i < count; ++i) {
        const uint8_t* next = nullptr;
        *d[i] = setupPairs(c.at(), c.end(), tableSizes[i], &sizes[i], &next, &flags[i], kind);
        if (!*d[i]) return false;
        c.moveTo(next);
    }
    return true;
}

bool layOutAreas(FileCursor& c, std::unique_ptr<PairsTable>* const* d, int count, const PairsSizes* sizes) {
    for (int i = 0; i < count; ++i) (*d[i])->indexTable = c.take(sizes[i].indexTable);
    for (int i = 0; i < count; ++i) (*d[i])->sizeTable = c.take(sizes[i].sizeTable);
    for (int i = 0; i < count; ++i) {
        c.align64();
        (*d[i])->data = c.take(sizes[i].data);
    }
    return c.ok;
}

bool parseWdl(TbWdlEntry& e) {
    FileCursor c{e.file.data, e.file.size, 0};
    const uint8_t* head = c.take(5);
    if (!c.ok || readLe32(head) != WDL_MAGIC) return false;
    const bool split = head[4] & 1;
    const int fileCount = (head[4] & 2) ? 4 : 1;
    const TableShape& shape = e.shape;
    if ((fileCount == 4) != shape.hasPawns) return false;
    const int n = shape.pieceCount;
    const int sides = split ? 2 : 1;
    const int extraOrder = shape.otherCount > 0 ? 1 : 0;

    for (int f = 0; f < fileCount; ++f) {
        const uint8_t* desc = c.take(1 + extraOrder + n);
        if (!c.ok) return false;
        for (int s = 0; s < sides; ++s) {
            uint8_t codes[TB_PIECES];
            for (int i = 0; i < n; ++i) codes[i] = s == 0 ? desc[1 + extraOrder + i] & 0x0F : desc[1 + extraOrder + i] >> 4;
            int order = s == 0 ? desc[0] & 0x0F : desc[0] >> 4;
            int order2 = extraOrder ? (s == 0 ? desc[1] & 0x0F : desc[1] >> 4) : 15;
            if (!setupSideIndex(e.files[f].index[s], shape, codes, order, order2, f)) return false;
        }
    }
    c.padEven();

    std::unique_ptr<PairsTable>* decoders[8];
    uint64_t tableSizes[8];
    uint8_t flags[8];
    PairsSizes sizes[8];
    int count = 0;
    for (int f = 0; f < fileCount; ++f) {
        for (int s = 0; s < sides; ++s) {
            decoders[count] = &e.files[f].decoder[s];
            tableSizes[count++] = e.files[f].index[s].tableSize;
        }
    }
    return layOutDecoders(c, decoders, tableSizes, flags, count, TableKind::Wdl, sizes) &&
           layOutAreas(c, decoders, count, sizes);
}

bool parseDtz(TbDtzEntry& e) {
    FileCursor c{e.file.data, e.file.size, 0};
    const uint8_t* head = c.take(5);
    if (!c.ok || readLe32(head) != DTZ_MAGIC) return false;
    const int fileCount = (head[4] & 2) ? 4 : 1;
    const TableShape& shape = e.shape;
    if ((fileCount == 4) != shape.hasPawns) return false;
    const int n = shape.pieceCount;
    const int extraOrder = shape.otherCount > 0 ? 1 : 0;

    for (int f = 0; f < fileCount; ++f) {
        const uint8_t* desc = c.take(1 + extraOrder + n);
        if (!c.ok) return false;
        uint8_t codes[TB_PIECES];
        for (int i = 0; i < n; ++i) codes[i] = desc[1 + extraOrder + i] & 0x0F;
        int order2 = extraOrder ? desc[1] & 0x0F : 15;
        if (!setupSideIndex(e.files[f].index, shape, codes, desc[0] & 0x0F, order2, f)) return false;
    }
    c.padEven();

    std::unique_ptr<PairsTable>* decoders[4];
    uint64_t tableSizes[4];
    uint8_t flags[4];
    PairsSizes sizes[4];
    for (int f = 0; f < fileCount; ++f) {
        decoders[f] = &e.files[f].decoder;
        tableSizes[f] = e.files[f].index.tableSize;
    }
    if (!layOutDecoders(c, decoders, tableSizes, flags, fileCount, TableKind::Dtz, sizes)) return false;

    // Value maps: four per file whose values pass through a map, each a count and its bytes.
    const uint64_t mapStart = c.pos;
    e.map = c.ok && c.pos <= c.size ? c.at() : nullptr;
    for (int f = 0; f < fileCount; ++f) {
        e.files[f].flags = flags[f];
        if (!(flags[f] & 2)) continue;
        for (int i = 0; i < 4; ++i) {
            const uint8_t* countByte = c.take(1);
            if (!c.ok) return false;
            if (c.pos - mapStart > 0xFFFF) return false;
            e.files[f].mapOffset[i] = static_cast<uint16_t>(c.pos - mapStart);
            e.files[f].mapCount[i] = *countByte;
            c.take(*countByte);
        }
    }
    c.padEven();
    return c.ok && layOutAreas(c, decoders, fileCount, sizes);
}

void releaseWdl(TbWdlEntry& e) {
    for (auto& f : e.files) {
        f.decoder[0].reset();
        f.decoder[1].reset();
    }
    unmapFile(e.file);
}

void clearRegistry() {
    for (int i = 0; i < pieceEntryCount; ++i) releaseWdl(pieceEntries[i]);
    for (int i = 0; i < pawnEntryCount; ++i) releaseWdl(pawnEntries[i]);
    pieceEntryCount = pawnEntryCount = 0;
    std::memset(keyHash, 0, sizeof keyHash);
    for (DtzSlot& s : dtzCache) {
        delete s.entry;
        s = DtzSlot{0, 0, nullptr};
    }
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
    char path[PATH_LENGTH];
    if (!findTableFile(wdlDirs, name, ".rtbw", path)) return;

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

// Copies a directory list, refusing one that does not fit rather than cutting it.
void setDirs(char* dirs, const char* value) {
    if (std::strlen(value) >= DIRS_LENGTH) {
        std::printf("Tablebase path too long: ignored.\n");
        dirs[0] = '\0';
        return;
    }
    std::strcpy(dirs, value);
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

// Maps and parses a WDL file; on failure the entry holds no mapping and no decoders.
bool tbLoadWdl(TbWdlEntry& e, const char* name) {
    e.file = tbMapFile(wdlDirs, name, ".rtbw");
    if (e.file.data == nullptr) return false;
    if (parseWdl(e)) return true;
    std::printf("Corrupted table.\n");
    releaseWdl(e);
    return false;
}

// Loads one DTZ table for the registered entry of key1; null when it cannot be loaded.
TbDtzEntry* tbLoadDtz(const char* name, uint64_t key1) {
    TbHashSlot* slot = tbFindSlot(key1);
    if (slot == nullptr) return nullptr;
    const TbWdlEntry* wdl = slot->entry;
    auto e = std::make_unique<TbDtzEntry>();
    e->key = wdl->key;
    e->symmetric = wdl->symmetric;
    e->shape = wdl->shape;
    e->file = tbMapFile(dtzDirs, name, ".rtbz");
    if (e->file.data == nullptr) return nullptr;
    if (!parseDtz(*e)) {
        std::printf("Corrupted table.\n");
        return nullptr;
    }
    return e.release();
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
        for (int type = PAWN; type <= KING; ++type) counts[type + offset] = static_cast<uint8_t>(popCount(tbPieceSquares(pos, colour, type)));
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
    const bool loaded = tbLoadWdl(*e, name);
    e->state.store(loaded ? TB_READY : TB_FAILED, std::memory_order_release);
    return loaded;
}

TbDtzEntry* tbFindDtz(const Position& pos, uint64_t key) {
    if (dtzCache[0].key1 == key || dtzCache[0].key2 == key) return dtzCache[0].entry;
    // A slot answers for both colourings of its table, so one table never takes two slots.
    for (int i = 1; i < dtzCapacity; ++i) {
        if (dtzCache[i].key1 == key || dtzCache[i].key2 == key) {
            DtzSlot hit = dtzCache[i];
            for (int j = i; j > 0; --j) dtzCache[j] = dtzCache[j - 1];
            dtzCache[0] = hit;
            return hit.entry;
        }
    }
    TbHashSlot* slot = tbFindSlot(key);
    if (slot == nullptr) return nullptr;
    const bool mirror = slot->entry->key != key;
    char name[TB_NAME_LENGTH];
    tbTableName(pos, mirror, name);
    delete dtzCache[dtzCapacity - 1].entry;
    for (int j = dtzCapacity - 1; j > 0; --j) dtzCache[j] = dtzCache[j - 1];
    dtzCache[0] = DtzSlot{tbMaterialKey(pos, mirror), tbMaterialKey(pos, !mirror), nullptr};
    dtzCache[0].entry = tbLoadDtz(name, dtzCache[0].key1);
    return dtzCache[0].entry;
}

void tbInit(const char* path) {
    std::lock_guard<std::mutex> lock(tbMutex);
    clearRegistry();
    setDirs(wdlDirs, path);
    setDirs(dtzDirs, path);
    const char* env = std::getenv("RTBZDIR");
    if (env != nullptr && std::strlen(env) <= ENV_DIR_LIMIT) {
        setDirs(dtzDirs, env);
        std::printf("$DTZDIR loaded\n");
    }
    env = std::getenv("RTBWDIR");
    if (env != nullptr && std::strlen(env) <= ENV_DIR_LIMIT) {
        setDirs(wdlDirs, env);
        std::printf("$WDLDIR loaded\n");
    }
    registerAll();
    std::printf("Found %d tablebases.\n", pieceEntryCount + pawnEntryCount);
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

int tbDtzCacheKeys(uint64_t* keys) {
    int n = 0;
    for (int i = 0; i < dtzCapacity; ++i) {
        if (dtzCache[i].key1 != 0 || dtzCache[i].key2 != 0) keys[n++] = dtzCache[i].key1;
    }
    return n;
}

void tbSetDtzCacheCapacity(int slots) {
    for (int i = 0; i < DTZ_CACHE_SLOTS; ++i) {
        delete dtzCache[i].entry;
        dtzCache[i] = DtzSlot{0, 0, nullptr};
    }
    dtzCapacity = std::clamp(slots, 1, DTZ_CACHE_SLOTS);
}
