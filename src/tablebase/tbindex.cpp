#include "tablebase/tbindex.h"

#include <algorithm>

#include "tablebase/tbtables.h"

using namespace tb;

namespace {

// Number of places of a group of `size` equal men on `squares` free squares.
uint64_t groupPlaces(int squares, int size) {
    if (squares < 0 || squares > 63) return 0;
    return Binomial.v[size - 1][squares];
}

// Sub-index of the group at g (size t) among the squares not held by the men before it;
// squareShift skips the first rank for pawns. BAD_INDEX for a square no such man can stand on.
uint64_t groupIndex(int* p, int g, int t, int squareShift) {
    std::sort(p + g, p + g + t);
    uint64_t s = 0;
    for (int m = g; m < g + t; ++m) {
        int j = 0;
        for (int l = 0; l < g; ++l) j += p[l] < p[m];
        int free = p[m] - j - squareShift;
        if (free < 0) return BAD_INDEX;
        s += Binomial.v[m - g][free];
    }
    return s;
}

uint64_t addGroups(const TbSideIndex& ix, int n, int* p, int g, uint64_t idx) {
    for (; g < n; g += ix.norm[g]) {
        uint64_t s = groupIndex(p, g, ix.norm[g], 0);
        if (s == BAD_INDEX) return BAD_INDEX;
        idx += s * ix.factor[g];
    }
    return idx;
}

}  // namespace

bool setupSideIndex(TbSideIndex& ix, const TableShape& shape, const uint8_t* pieces, int order, int order2, int file) {
    const int n = shape.pieceCount;
    if (n < 2 || n > TB_PIECES) return false;

    // The list must hold exactly the table's men, equal codes next to each other.
    uint8_t seen[16] = {};
    for (int i = 0; i < n; ++i) {
        int code = pieces[i];
        if (code > 15 || (i > 0 && code != pieces[i - 1] && seen[code])) return false;
        ++seen[code];
        ix.pieces[i] = static_cast<uint8_t>(code);
    }
    for (int c = 0; c < 16; ++c) {
        if (seen[c] != shape.counts[c]) return false;
    }

    for (int i = 0; i < n; ++i) ix.norm[i] = 0;
    int lead;
    if (shape.hasPawns) {
        lead = shape.leadCount + shape.otherCount;
        if (shape.leadCount < 1 || shape.leadCount > 5 || shape.otherCount > 5 || lead > n) return false;
        for (int i = 0; i < shape.leadCount; ++i) {
            if ((pieces[i] & 7) != 1 || pieces[i] != pieces[0]) return false;
        }
        for (int i = shape.leadCount; i < lead; ++i) {
            if (pieces[i] != (pieces[0] ^ 8)) return false;
        }
        ix.norm[0] = static_cast<uint8_t>(shape.leadCount);
        if (shape.otherCount > 0) ix.norm[shape.leadCount] = static_cast<uint8_t>(shape.otherCount);
    } else {
        lead = shape.encodingType == 0 ? 3 : 2;
        if (lead > n) return false;
        ix.norm[0] = static_cast<uint8_t>(lead);
    }
    for (int i = lead; i < n; i += ix.norm[i]) {
        for (int j = i; j < n && pieces[j] == pieces[i]; ++j) ++ix.norm[i];
    }

    // Mixed-radix factors; the orders say where the leading groups stand in the product.
    bool leadSet = false, secondSet = shape.otherCount == 0 || !shape.hasPawns;
    int freeSquares = 64 - lead;
    uint64_t f = 1;
    for (int i = lead, k = 0; i < n || k == order || k == order2; ++k) {
        if (k == order) {
            ix.factor[0] = f;
            f *= shape.hasPawns ? static_cast<uint64_t>(PawnFactor[shape.leadCount - 1][file])
                                : (shape.encodingType == 0 ? 31332 : 462);
            leadSet = true;
        } else if (shape.hasPawns && k == order2) {
            if (shape.otherCount == 0) return false;
            ix.factor[shape.leadCount] = f;
            f *= groupPlaces(48 - shape.leadCount, shape.otherCount);
            secondSet = true;
        } else {
            if (i >= n) return false;
            ix.factor[i] = f;
            f *= groupPlaces(freeSquares, ix.norm[i]);
            freeSquares -= ix.norm[i];
            i += ix.norm[i];
        }
    }
    if (!leadSet || !secondSet) return false;
    ix.tableSize = f;
    return true;
}

uint64_t encodePieces(const TbSideIndex& ix, const TableShape& shape, int* p) {
    const int n = shape.pieceCount;
    if (p[0] & 4) {
        for (int i = 0; i < n; ++i) p[i] ^= 7;
    }
    if (p[0] & 0x20) {
        for (int i = 0; i < n; ++i) p[i] ^= 0x38;
    }
    const int lead = shape.encodingType == 0 ? 3 : 2;
    int i = 0;
    while (i < n && OffDiag[p[i]] == 0) ++i;
    if (i < lead && OffDiag[p[i]] > 0) {
        for (int j = 0; j < n; ++j) p[j] = FlipDiag[p[j]];
    }

    uint64_t idx;
    if (shape.encodingType == 0) {
        int a = p[1] > p[0];
        int b = (p[2] > p[0]) + (p[2] > p[1]);
        if (OffDiag[p[0]]) {
            idx = Triangle[p[0]] * 3906 + (p[1] - a) * 62 + (p[2] - b);
        } else if (OffDiag[p[1]]) {
            idx = 23436 + Diag[p[0]] * 1736 + Lower[p[1]] * 62 + (p[2] - b);
        } else if (OffDiag[p[2]]) {
            idx = 30380 + Diag[p[0]] * 196 + (Diag[p[1]] - a) * 28 + Lower[p[2]];
        } else {
            idx = 31164 + Diag[p[0]] * 42 + (Diag[p[1]] - a) * 6 + (Diag[p[2]] - b);
        }
    } else {
        idx = static_cast<uint64_t>(KkIndex[Triangle[p[0]]][p[1]]);
    }
    return addGroups(ix, n, p, lead, idx * ix.factor[0]);
}

int pawnFile(const TableShape& shape, int* p) {
    for (int i = 1; i < shape.leadCount; ++i) {
        if (Flap[p[0]] > Flap[p[i]]) std::swap(p[0], p[i]);
    }
    return FileToFile[p[0] & 7];
}

uint64_t encodePawns(const TbSideIndex& ix, const TableShape& shape, int* p) {
    const int n = shape.pieceCount;
    const int lead = shape.leadCount;
    if (p[0] & 4) {
        for (int i = 0; i < n; ++i) p[i] ^= 7;
    }
    std::sort(p + 1, p + lead, [](int a, int b) { return PTwist[a] > PTwist[b]; });
    const int t = lead - 1;
    uint64_t idx = static_cast<uint64_t>(PawnIndex[t][Flap[p[0]]]);
    for (int i = t; i > 0; --i) idx += Binomial.v[t - i][PTwist[p[i]]];
    idx *= ix.factor[0];

    int g = lead;
    if (shape.otherCount > 0) {
        uint64_t s = groupIndex(p, g, shape.otherCount, 8);
        if (s == BAD_INDEX) return BAD_INDEX;
        idx += s * ix.factor[g];
        g += shape.otherCount;
    }
    return addGroups(ix, n, p, g, idx);
}
