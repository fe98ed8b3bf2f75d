#include "tablebase/tbfiles.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "output/notice.h"

namespace {

constexpr uint32_t WDL_MAGIC = 0x5D23E871;
constexpr uint32_t DTZ_MAGIC = 0xA50C66D7;
constexpr int DIRS_LENGTH = 256;
constexpr int ENV_DIR_LIMIT = 99;
constexpr int PATH_LENGTH = DIRS_LENGTH + TB_NAME_LENGTH + 8;

// Directory lists (separated by ':' or ';') for WDL and DTZ files.
char wdlDirs[DIRS_LENGTH];
char dtzDirs[DIRS_LENGTH];

// Copies a directory list, refusing one that does not fit rather than cutting it.
void setDirs(char* dirs, const char* value) {
    if (std::strlen(value) >= DIRS_LENGTH) {
        printNotice("Tablebase path too long: ignored.\n");
        dirs[0] = '\0';
        return;
    }
    std::strcpy(dirs, value);
}

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
        printNotice("Could not open %s for reading.\n", path);
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

// Pairs headers, index tables, size tables and 64-aligned data blocks of the decoders `d`,
// in the file's order. `tableSizes` gives each decoder's index-space size.
bool layOutDecoders(FileCursor& c, std::unique_ptr<PairsTable>* const* d, const uint64_t* tableSizes, uint8_t* flags,
                    int count, TableKind kind, PairsSizes* sizes) {
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
            for (int i = 0; i < n; ++i)
                codes[i] = s == 0 ? desc[1 + extraOrder + i] & 0x0F : desc[1 + extraOrder + i] >> 4;
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

}  // namespace

void tbSetDirectories(const char* path) {
    setDirs(wdlDirs, path);
    setDirs(dtzDirs, path);
    const char* env = std::getenv("RTBZDIR");
    if (env != nullptr && std::strlen(env) <= ENV_DIR_LIMIT) {
        setDirs(dtzDirs, env);
        printNotice("$DTZDIR loaded\n");
    }
    env = std::getenv("RTBWDIR");
    if (env != nullptr && std::strlen(env) <= ENV_DIR_LIMIT) {
        setDirs(wdlDirs, env);
        printNotice("$WDLDIR loaded\n");
    }
}

bool tbWdlFileExists(const char* name) {
    char path[PATH_LENGTH];
    return findTableFile(wdlDirs, name, ".rtbw", path);
}

void tbReleaseWdl(TbWdlEntry& e) {
    for (auto& f : e.files) {
        f.decoder[0].reset();
        f.decoder[1].reset();
    }
    unmapFile(e.file);
}

bool tbLoadWdlFile(TbWdlEntry& e, const char* name) {
    e.file = tbMapFile(wdlDirs, name, ".rtbw");
    if (e.file.data == nullptr) return false;
    if (parseWdl(e)) return true;
    printNotice("Corrupted table.\n");
    tbReleaseWdl(e);
    return false;
}

bool tbLoadDtzFile(TbDtzEntry& e, const char* name) {
    e.file = tbMapFile(dtzDirs, name, ".rtbz");
    if (e.file.data == nullptr) return false;
    if (parseDtz(e)) return true;
    printNotice("Corrupted table.\n");
    return false;
}
