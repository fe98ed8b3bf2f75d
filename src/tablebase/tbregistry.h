#pragma once
#include <atomic>
#include <cstdint>
#include <memory>

#include "board/position.h"
#include "platform/filemap.h"
#include "tablebase/tbdecode.h"
#include "tablebase/tbindex.h"

constexpr int TBMAX_PIECE = 254;
constexpr int TBMAX_PAWN = 256;
constexpr int HSHMAX = 5;
constexpr int TB_HASH_BUCKETS = 1024;
constexpr int DTZ_CACHE_SLOTS = 64;
constexpr int TB_NAME_LENGTH = 16;  // "KQRBNvKQRBN" and the terminator fit with room

enum TbLoadState : uint8_t { TB_UNLOADED, TB_READY, TB_FAILED };

// A WDL table: registered at start-up, loaded (mapped and parsed) on first use.
struct TbWdlEntry {
    uint64_t key = 0;  // key of the table's own material (first side = codes 1..6)
    // TB_READY is set last, after the entry is complete; the state is read without the lock,
    // hence acquire/release. A table that failed to load is never tried again.
    std::atomic<uint8_t> state{0};
    bool symmetric = false;
    TableShape shape;
    FileMapping file;
    struct PerFile {
        std::unique_ptr<PairsTable> decoder[2];  // per stored side to move; [1] absent when one side is stored
        TbSideIndex index[2];
    } files[4];  // one for pawnless tables, a to d for tables with pawns
};

// A DTZ table while it sits in the cache.
struct TbDtzEntry {
    uint64_t key = 0;
    bool symmetric = false;
    TableShape shape;
    FileMapping file;
    const uint8_t* map = nullptr;  // value maps of every file
    struct PerFile {
        std::unique_ptr<PairsTable> decoder;
        uint8_t flags = 0;
        TbSideIndex index;
        uint16_t mapOffset[4] = {};
        uint8_t mapCount[4] = {};
    } files[4];
    ~TbDtzEntry() { unmapFile(file); }
};

struct TbHashSlot {
    uint64_t key;
    TbWdlEntry* entry;
};

// Material keys: a table is known under the key of its own material and, when not symmetric,
// under the key with the sides swapped.
uint64_t tbMaterialKeyOfCounts(const uint8_t counts[16]);
uint64_t tbKingsOnlyKey();
// Key of the current material: White's men take codes 1..6 unless mirrored.
uint64_t tbMaterialKey(const Position& pos, bool mirror);
// Squares of one colour's men of one type, from White's side.
TBB tbPieceSquares(const Position& pos, int colour, int type);
// Name of the table for the position, White's men first unless mirrored.
void tbTableName(const Position& pos, bool mirror, char* name);

// The hash slot holding key, or null.
TbHashSlot* tbFindSlot(uint64_t key);
// Loads the entry's WDL file on first use; false when it cannot be loaded (the entry is disabled).
bool tbEnsureWdlLoaded(TbWdlEntry* entry, const Position& pos, uint64_t key);

// Registry size (the shell checks an interface's path with it) and used hash slots (a test hook).
int tbRegisteredCount();
int tbHashSlotsUsed();
