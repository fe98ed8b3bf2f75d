#include "tablebase/tbprobe.h"

#include <algorithm>

#include "board/attacks.h"
#include "board/makemove.h"

namespace {

constexpr int WdlToDtz[5] = {-1, -101, 0, 101, 1};
constexpr int WdlToRootScore[5] = {-20000, -2, 0, 2, 20000};
constexpr int NO_MOVE_FOUND = 0xFFFF;
constexpr int MAX_LEGAL_MOVES = MAX_CAPTURES + MAX_QUIETS;

void addPromotions(CaptureList* list, int from, int to, int type) {
    static constexpr int Pieces[4] = {QUEEN, ROOK, BISHOP, KNIGHT};
    static constexpr int Scores[4] = {85, -1, -2, -3};
    for (int i = 0; i < 4; ++i) list->entries[list->count++] = {makeMoveWord(type, from, to, Pieces[i]), Scores[i]};
}

// Records a probe may need above the current one: captures of every man plus a ply or two of
// DTZ search stay far below this.
constexpr int PROBE_STACK_ROOM = 64;

bool stackHasRoomForProbe() { return threadStack->current + PROBE_STACK_ROOM < threadStack->records + STACK_SIZE; }

// Makes m; false (with the move taken back) when it leaves the mover's king attacked.
bool makeLegal(Move m) {
    makeMoveLight(m);
    if (opponentInCheck() == 0) return true;
    takeBack();
    return false;
}

// Best value over the en-passant captures of the current position (-3 when there are none);
// *epCount and *legalCount tell how many there were and how many legal moves exist.
int bestEnPassant(int* success, int* epCount, int* legalCount) {
    Move moves[MAX_LEGAL_MOVES];
    *legalCount = genLegalMoves(moves);
    *epCount = 0;
    int best = -3;
    for (int i = 0; i < *legalCount; ++i) {
        if (moveType(moves[i]) != MT_EN_PASSANT) continue;
        makeMoveLight(moves[i]);
        int x = -tbResolveCaptures(-2, 2, success);
        takeBack();
        if (*success == 0) return 0;
        best = std::max(best, x);
        ++*epCount;
    }
    return best;
}

// DTZ of a won position whose table stores only the other side to move: one ply of piece moves.
int dtzByPieceMoves(int* success) {
    QuietList list;
    genTbPieceQuiets(&list);
    int best = NO_MOVE_FOUND;
    for (uint32_t i = 0; i < list.count; ++i) {
        if (!makeLegal(list.moves[i])) continue;
        int r = -tbProbeDtz(success);
        takeBack();
        if (*success == 0) return 0;
        if (r > 0 && r + 1 < best) best = r + 1;
    }
    return best;
}

// The same for a lost position: every quiet move, pawn moves resolved by their WDL.
int dtzByQuietMoves(int wdl, int* success) {
    QuietList list;
    generateQuiets(&list);
    int best = -1;
    for (uint32_t i = 0; i < list.count; ++i) {
        if (!makeLegal(list.moves[i])) continue;
        int r;
        if (currentPosition().fifty == 0) {
            r = wdl == -2 ? -1 : (tbResolveCaptures(1, 2, success) == 2 ? 0 : -101);
        } else {
            r = -tbProbeDtz(success) - 1;
        }
        takeBack();
        best = std::min(best, r);
        if (*success == 0) return 0;
    }
    return best;
}

// DTZ of the current position ignoring en passant.
int dtzWithoutEnPassant(int* success) {
    int wdl = tbResolveCaptures(-2, 2, success);
    if (*success == 0 || wdl == 0) return 0;
    if (*success == 2) return wdl == 2 ? 1 : 101;
    if (wdl > 0) {
        // A pawn move that keeps the win zeroes the counter at once.
        CaptureList pushes;
        genTbPawnPushes(&pushes);
        for (uint32_t i = 0; i < pushes.count; ++i) {
            if (!makeLegal(pushes.entries[i].move)) continue;
            int r = -tbResolveCaptures(-2, 1 - wdl, success);
            takeBack();
            if (*success == 0) return 0;
            if (r == wdl) return wdl == 2 ? 1 : 101;
        }
    }
    int d = tbProbeDtzTable(currentPosition(), wdl, success);
    if (*success >= 0) {
        int v = d + 1 + ((wdl & 1) ? 100 : 0);
        return wdl < 0 ? -v : v;
    }
    return wdl > 0 ? dtzByPieceMoves(success) : dtzByQuietMoves(wdl, success);
}

// True when the root or a position 2, 4, ... plies before it, within the reversible stretch,
// has the repetition count that stops the filter from keeping slower wins.
bool repeatedRecently(int fifty) {
    const int root = stackIndex();
    for (int back = 0; back <= fifty && back <= root; back += 2) {
        if (threadStack->records[root - back].repetitions == 3) return true;
    }
    return false;
}

}  // namespace

void genTbCaptures(CaptureList* list) {
    // The capture generator's moves and scores, without en passant (the probes resolve it apart).
    generateCaptures(list);
    uint32_t kept = 0;
    for (uint32_t i = 0; i < list->count; ++i) {
        if (moveType(list->entries[i].move) != MT_EN_PASSANT) list->entries[kept++] = list->entries[i];
    }
    list->count = kept;
}

void genTbPawnPushes(CaptureList* list) {
    const Position& pos = currentPosition();
    const TBB empty = pos.empty();
    list->count = 0;
    TBB pawns = pos.pawns() & pos.own;
    while (pawns) {
        int from = popLowest(pawns);
        TBB ahead = PawnPushes[from] & empty;
        if (ahead == 0) continue;
        int to = lowestSquare(ahead);
        if (to >= 56) {
            addPromotions(list, from, to, MT_PROMOTION);
            continue;
        }
        list->entries[list->count++] = {makeMoveWord(MT_PAWN, from, to), 0};
        TBB twoAhead = PawnDoublePushes[from] & empty;
        if (twoAhead) list->entries[list->count++] = {makeMoveWord(MT_PAWN, from, lowestSquare(twoAhead)), 0};
    }
}

void genTbPieceQuiets(QuietList* list) {
    generateQuiets(list);
    uint32_t kept = 0;
    for (uint32_t i = 0; i < list->count; ++i) {
        if (moveType(list->moves[i]) != MT_PAWN) list->moves[kept++] = list->moves[i];
    }
    list->count = kept;
}

int genLegalMoves(Move* moves) {
    CaptureList captures;
    QuietList quiets;
    generateCaptures(&captures);
    generateQuiets(&quiets);
    int n = 0;
    auto keepIfLegal = [&](Move m) {
        if (makeLegal(m)) {
            takeBack();
            moves[n++] = m;
        }
    };
    for (uint32_t i = 0; i < captures.count; ++i) keepIfLegal(captures.entries[i].move);
    for (uint32_t i = 0; i < quiets.count; ++i) keepIfLegal(quiets.moves[i]);
    return n;
}

int tbResolveCaptures(int alpha, int beta, int* success) {
    CaptureList list;
    genTbCaptures(&list);
    while (list.count > 0) {
        Move m = pickBestCapture(&list);
        --list.count;
        if (!makeLegal(m)) continue;
        int v = -tbResolveCaptures(-beta, -alpha, success);
        takeBack();
        if (*success == 0) return 0;
        if (v > alpha) {
            if (v >= beta) {
                *success = 2;
                return v;
            }
            alpha = v;
        }
    }
    int v = tbProbeWdlTable(currentPosition(), success);
    if (*success == 0) return 0;
    if (alpha < v) {
        *success = 1;
        return v;
    }
    *success = alpha > 0 ? 2 : 1;
    return alpha;
}

int tbProbeWdl(int* success) {
    *success = stackHasRoomForProbe() ? 1 : 0;
    if (*success == 0) return 0;
    int v = tbResolveCaptures(-2, 2, success);
    if (currentPosition().epFile == NO_EP_FILE) return v;
    if (*success == 0) return 0;
    int epCount, legalCount;
    int best = bestEnPassant(success, &epCount, &legalCount);
    if (*success == 0) return 0;
    if (epCount == 0) return v;
    if (best >= v) return best;
    if (v != 0) return v;
    // Drawn, and every capture en passant loses: it matters only when it is forced.
    return epCount == legalCount ? best : 0;
}

int tbProbeDtz(int* success) {
    *success = stackHasRoomForProbe() ? 1 : 0;
    if (*success == 0) return 0;
    int v = dtzWithoutEnPassant(success);
    if (currentPosition().epFile == NO_EP_FILE) return v;
    if (*success == 0) return 0;
    int epCount, legalCount;
    int best = bestEnPassant(success, &epCount, &legalCount);
    if (*success == 0) return 0;
    if (epCount == 0) return v;
    return dtzWithEnPassant(v, best, epCount == legalCount);
}

int dtzWithEnPassant(int v, int bestEp, bool onlyEnPassant) {
    const int e = WdlToDtz[bestEp + 2];
    if (v < -100) return e >= 0 ? e : v;
    // A lost position: the capture helps only when it draws or is saved by the fifty-move rule;
    // a capture that loses as well must not shorten the loser's distance to -1.
    if (v < 0) return e == -1 ? v : e;
    if (v > 100) return e > 0 ? e : v;
    if (v > 0) return e == 1 ? 1 : v;
    if (e >= 0) return e;
    return onlyEnPassant ? e : 0;
}

int tbFilterRootMoves(RootMove* rootMoves, int* count, int* rootScore) {
    int success;
    const int dtz = tbProbeDtz(&success);
    if (success == 0) return 0;

    for (int i = 0; i < *count; ++i) {
        makeMoveLight(rootMoves[i].move);
        int rank;
        Move replies[MAX_LEGAL_MOVES];
        if (dtz > 0 && inCheck() && genLegalMoves(replies) == 0) {
            rank = 1;  // mate
        } else if (currentPosition().fifty != 0) {
            int r = -tbProbeDtz(&success);
            rank = r > 0 ? r + 1 : (r < 0 ? r - 1 : 0);
        } else {
            rank = WdlToDtz[2 - tbProbeWdl(&success)];
        }
        takeBack();
        if (success == 0) return 0;
        rootMoves[i].score = rank;
    }

    const int k = currentPosition().fifty;
    // Moves that pass go to the front in their order; with none passing nothing changes.
    auto keep = [&](auto passes) {
        RootMove sorted[MAX_ROOT_MOVES];
        int n = 0;
        for (int i = 0; i < *count; ++i) {
            if (passes(rootMoves[i])) sorted[n++] = rootMoves[i];
        }
        if (n == 0) return;
        const int passing = n;
        for (int i = 0; i < *count; ++i) {
            if (!passes(rootMoves[i])) sorted[n++] = rootMoves[i];
        }
        std::copy(sorted, sorted + n, rootMoves);
        *count = passing;
    };
    if (dtz > 0) {
        *rootScore = WdlToRootScore[k + dtz <= 100 ? 4 : 3];
        int best = NO_MOVE_FOUND;
        for (int i = 0; i < *count; ++i) {
            if (rootMoves[i].score > 0) best = std::min(best, rootMoves[i].score);
        }
        int max = best;
        if (k + best <= 99 && !repeatedRecently(k)) max = 99 - k;
        keep([max](const RootMove& m) { return m.score > 0 && m.score <= max; });
    } else if (dtz < 0) {
        *rootScore = WdlToRootScore[k - dtz > 100 ? 1 : 0];
        int best = 0;
        for (int i = 0; i < *count; ++i) best = std::min(best, rootMoves[i].score);
        if (k - 2 * best <= 99) return 1;
        keep([best](const RootMove& m) { return m.score == best; });
    } else {
        *rootScore = 0;
        keep([](const RootMove& m) { return m.score == 0; });
    }
    return 1;
}
