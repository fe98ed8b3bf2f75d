#include "tablebase/tbdtzcache.h"
#include "tablebase/tbprobe.h"
#include "tablebase/tbregistry.h"

namespace {

// How the position's colours and squares map onto the table's.
struct Orientation {
    int swapColours;    // XOR applied to the table's piece codes
    int mirrorSquares;  // XOR applied to squares
    int side;           // stored side to move
};

Orientation orient(const Position& pos, uint64_t key, uint64_t tableKey, bool symmetric) {
    if (symmetric) {
        int black = pos.colour == BLACK;
        return {black ? 8 : 0, black ? 0x38 : 0, 0};
    }
    if (key != tableKey) return {8, 0x38, pos.colour == WHITE ? 1 : 0};
    return {0, 0, pos.colour == BLACK ? 1 : 0};
}

// Squares of the men listed in pieces[from..to), in list order; false when the board lacks one.
bool gatherSquares(const Position& pos, const uint8_t* pieces, int from, int to, const Orientation& o, int* p) {
    TBB men = 0;
    for (int i = from; i < to; ++i) {
        if (i == from || pieces[i] != pieces[i - 1]) {
            int code = pieces[i] ^ o.swapColours;
            men = tbPieceSquares(pos, code >> 3 ? BLACK : WHITE, code & 7);
        }
        if (men == 0) return false;
        p[i] = popLowest(men) ^ o.mirrorSquares;
    }
    return true;
}

// Squares of a pawn table's men for file-indexed lists; returns the file, or -1.
int gatherPawnSquares(const Position& pos, const TableShape& shape, const uint8_t* leadList, const Orientation& o,
                      int* p) {
    if (!gatherSquares(pos, leadList, 0, shape.leadCount, o, p)) return -1;
    return pawnFile(shape, p);
}

}  // namespace

int tbProbeWdlTable(const Position& pos, int* success) {
    const uint64_t key = tbMaterialKey(pos, false);
    if (key == tbKingsOnlyKey()) return 0;
    TbHashSlot* slot = tbFindSlot(key);
    if (slot == nullptr || !tbEnsureWdlLoaded(slot->entry, pos, key)) {
        *success = 0;
        return 0;
    }
    const TbWdlEntry& e = *slot->entry;
    const TableShape& shape = e.shape;
    const Orientation o = orient(pos, key, e.key, e.symmetric);
    int p[TB_PIECES];
    int file = 0;
    uint64_t idx;
    if (shape.hasPawns) {
        file = gatherPawnSquares(pos, shape, e.files[0].index[0].pieces, o, p);
        if (file < 0) {
            *success = 0;
            return 0;
        }
    }
    const TbSideIndex& ix = e.files[file].index[o.side];
    const PairsTable* decoder = e.files[file].decoder[o.side].get();
    int start = shape.hasPawns ? shape.leadCount : 0;
    if (decoder == nullptr || !gatherSquares(pos, ix.pieces, start, shape.pieceCount, o, p)) {
        *success = 0;
        return 0;
    }
    idx = shape.hasPawns ? encodePawns(ix, shape, p) : encodePieces(ix, shape, p);
    int value = idx == BAD_INDEX ? -1 : decodeValue(decoder, idx);
    if (value < 0 || value > 4) {
        *success = 0;
        return 0;
    }
    return value - 2;
}

int tbProbeDtzTable(const Position& pos, int wdl, int* success) {
    static constexpr int WdlToMap[5] = {1, 3, 0, 2, 0};
    static constexpr uint8_t PliesFlag[5] = {8, 0, 0, 0, 4};

    const uint64_t key = tbMaterialKey(pos, false);
    TbDtzEntry* e = tbFindDtz(pos, key);
    if (e == nullptr) {
        *success = 0;
        return 0;
    }
    const TableShape& shape = e->shape;
    const Orientation o = orient(pos, key, e->key, e->symmetric);
    int p[TB_PIECES];
    int file = 0;
    if (shape.hasPawns) {
        file = gatherPawnSquares(pos, shape, e->files[0].index.pieces, o, p);
        if (file < 0) {
            *success = 0;
            return 0;
        }
        if ((e->files[file].flags & 1) != o.side) {
            *success = -1;
            return 0;
        }
    } else if (!e->symmetric && (e->files[0].flags & 1) != o.side) {
        *success = -1;
        return 0;
    }
    const auto& f = e->files[file];
    if (!gatherSquares(pos, f.index.pieces, shape.hasPawns ? shape.leadCount : 0, shape.pieceCount, o, p)) {
        *success = 0;
        return 0;
    }
    uint64_t idx = shape.hasPawns ? encodePawns(f.index, shape, p) : encodePieces(f.index, shape, p);
    int value = idx == BAD_INDEX ? -1 : decodeValue(f.decoder.get(), idx);
    if (value >= 0 && (f.flags & 2)) {
        int map = WdlToMap[wdl + 2];
        value = value < f.mapCount[map] ? e->map[f.mapOffset[map] + value] : -1;
    }
    if (value < 0) {
        *success = 0;
        return 0;
    }
    if (!(f.flags & PliesFlag[wdl + 2]) || (wdl & 1)) value *= 2;
    return value;
}
