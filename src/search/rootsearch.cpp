#include "search/rootsearch.h"

#include <utility>

#include "board/makemove.h"
#include "board/movegen.h"
#include "board/position.h"
#include "search/alphabeta.h"
#include "search/ordering.h"
#include "search/progress.h"
#include "search/scores.h"
#include "search/stopping.h"
#include "search/transposition.h"

namespace {

template <typename Before>
void quickSort(RootMove* a, int first, int last, Before before) {
    while (first < last) {
        const RootMove pivot = a[first];
        int i = first + 1;
        int j = last + 1;
        while (i < j) {
            if (before(a[i], pivot))
                ++i;
            else
                std::swap(a[i], a[--j]);
        }
        std::swap(a[first], a[i - 1]);
        quickSort(a, first, i - 1, before);
        first = j;
    }
}

}  // namespace

void generateRootMoves(RootMove* rootMoves, int* count) {
    CaptureList captures;
    QuietList quiets;
    generateCaptures(&captures);
    generateQuiets(&quiets);

    Move sequence[MAX_CAPTURES + MAX_QUIETS];
    int n = 0;
    while (captures.count != 0) {
        sequence[n++] = pickBestCapture(&captures);
        --captures.count;
    }
    for (int i = static_cast<int>(quiets.count) - 1; i >= 0; --i) sequence[n++] = quiets.moves[i];

    *count = 0;
    for (int i = 0; i < n && *count < MAX_ROOT_MOVES; ++i) {
        makeMoveLight(sequence[i]);
        const bool legal = opponentInCheck() == 0;
        takeBack();
        if (legal) rootMoves[(*count)++] = RootMove{sequence[i], 0, 0};
    }
}

void sortByScore(RootMove* rootMoves, int first, int last) {
    quickSort(rootMoves, first, last, [](const RootMove& a, const RootMove& b) { return a.score < b.score; });
}

void sortBySearchScore(RootMove* rootMoves, int first, int last) {
    quickSort(rootMoves, first, last,
              [](const RootMove& a, const RootMove& b) { return a.searchScore > b.searchScore; });
}

int rootSearch(Worker& w, RootMove* rootMoves, int count, int depth, int alpha, int beta, PvLine* line) {
    const int iteration = w.iteration;
    int best = alpha;
    Move bestMove = 0;
    bool noLegalMove = true;
    PvLine child;
    for (int i = 0; i < count; ++i) {
        RootMove& root = rootMoves[i];
        child.count = 0;
        if (w.main) noteRootMove(w, root.move, w.rootMovesBefore + i + 1, iteration);
        makeMove(root.move);
        if (opponentInCheck()) {
            takeBack();
            continue;
        }
        const int score = -alphaBetaSearch(w, depth - 1, -beta, -best, &child, MATE_SCORE - 1, true, false, false);
        takeBack();
        // A stopped search's score means nothing; what was found before the stop stands.
        if (searchStopped()) return best;
        root.searchScore = score;
        noLegalMove = false;
        if (score > best) {
            addHistory(w, root.move, depth * depth);
            if (score >= beta) {
                if (w.main) w.failHighMove = root.move;
                storeHash(iteration, depth, score, BOUND_LOWER, root.move);
                return beta;
            }
            copyLine(line, root.move, &child);
            best = score;
            bestMove = root.move;
        }
    }
    if (noLegalMove) {
        best = 0;
        if (inCheck()) {
            line->count = 0;
            return -MATE_SCORE;
        }
    }
    const bool raised = best > alpha;
    const Move stored = raised ? bestMove : (count > 0 ? rootMoves[count - 1].move : 0);
    storeHash(iteration, depth, best, raised ? BOUND_EXACT : BOUND_UPPER, stored);
    return best;
}
