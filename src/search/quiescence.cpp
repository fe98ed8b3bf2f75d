#include "search/quiescence.h"

#include "board/makemove.h"
#include "board/movegen.h"
#include "board/position.h"
#include "eval/evaluate.h"
#include "eval/pawnhash.h"
#include "search/progress.h"
#include "search/stopping.h"
#include "search/transposition.h"

namespace {

// Far enough outside the window that the material score alone decides.
constexpr int MATERIAL_SHORTCUT_MARGIN = 499;
// A stand-pat this far below alpha cannot be rescued by one capture.
constexpr int STAND_PAT_MARGIN = 325;

}  // namespace

int quiescenceSearch(Worker& w, int alpha, int beta, int mateScore) {
    prefetchPawnHash(currentPosition());
    TTEntry entry;
    const int answer = probeHash(&entry, w.iteration, 0, alpha, beta);
    if (answer != HASH_MISS && answer != HASH_NO_ANSWER) {
        noteDepthReached(w);
        return answer;
    }
    return quiescenceAfterProbe(w, alpha, beta, mateScore, inCheck() != 0);
}

int quiescenceAfterProbe(Worker& w, int alpha, int beta, int mateScore, bool checked) {
    const int iteration = w.iteration;
    noteDepthReached(w);
    // No room for another move on the position stack: the static evaluation has to do.
    if (stackNearlyFull()) return evaluate();

    if (!checked) {
        const int material = currentPosition().score;
        if (material > beta + MATERIAL_SHORTCUT_MARGIN) return material;
        if (material < alpha - MATERIAL_SHORTCUT_MARGIN) return material;
    }
    const int evaluation = evaluate();
    if (evaluation >= beta) return beta;
    if (!checked && evaluation < alpha - STAND_PAT_MARGIN) return alpha;

    int best = evaluation > alpha ? evaluation : alpha;
    Move bestMove = 0;
    bool noLegalMove = true;
    bool stopped = false;

    CaptureList captures;
    generateCaptures(&captures);
    prefetchChildren(captures);
    prefetchChildrenPawnSlots(captures);
    // Worked out while the children's slots load.
    const TBB exposing = captures.count != 0 ? exposingSquares(checked) : 0;
    while (captures.count != 0) {
        const Move move = pickBestCapture(&captures);
        makeMove(move);
        if (needsLegalityTest(move, exposing) && opponentInCheck()) {
            takeBack();
        } else {
            const int score = -quiescenceSearch(w, -beta, -best, mateScore - 1);
            takeBack();
            noLegalMove = false;
            if (score > best) {
                bestMove = move;
                if (score >= beta) return beta;
                best = score;
            }
        }
        if (searchStopped() || mustStop(w)) {
            stopped = true;
            break;
        }
        --captures.count;
    }
    if (stopped && noLegalMove) {
        best = 0;
        if (checked) return -mateScore;
    }
    storeHash(iteration, 0, best, best <= alpha ? BOUND_UPPER : BOUND_EXACT, bestMove);
    return best;
}
