#include "search/alphabeta.h"

#include "board/bitboard.h"
#include "board/hashkey.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/movetext.h"
#include "board/position.h"
#include "eval/evaluate.h"
#include "eval/pawnhash.h"
#include "search/ordering.h"
#include "search/progress.h"
#include "search/quiescence.h"
#include "search/scores.h"
#include "search/stopping.h"
#include "search/transposition.h"
#include "tablebase/tablebase.h"

namespace {

// Futility margins at full material; they widen as men come off (scaled by 18 / men).
constexpr int FUTILITY_MARGIN_DEPTH1 = 500;
constexpr int FUTILITY_MARGIN_DEPTH2 = 890;
constexpr int REDUCTION_MARGIN_DEPTH3 = 1600;
constexpr int NULL_MOVE_REDUCTION = 3;
// Late quiet moves are reduced only after this many legal ones and with more men than this.
constexpr int FULL_DEPTH_MOVES = 4;
constexpr int REDUCTION_MIN_MEN = 12;

int scaledMargin(int margin, float scale) { return static_cast<int>(static_cast<float>(margin) * scale); }

}  // namespace

void copyLine(PvLine* line, Move move, const PvLine* child) {
    line->argmove[0] = move;
    int n = child->count;
    if (n > MAX_PV - 1) n = MAX_PV - 1;
    for (int i = 0; i < n; ++i) line->argmove[i + 1] = child->argmove[i];
    line->count = n + 1;
}

namespace {

// One node's search: what its steps share. The constructor leaves the child line's moves
// unwritten: only its count is read before a child fills it.
struct Node {
    Node(Worker& worker, int depth_, int alpha_, int beta_, PvLine* pv_, int mateScore_, bool checkExtended_,
         bool inReduction_)
        : w(worker), depth(depth_), alpha(alpha_), beta(beta_), pv(pv_), mateScore(mateScore_),
          checkExtended(checkExtended_), inReduction(inReduction_), best(alpha_) {
        line.count = 0;
    }
    Worker& w;
    int depth;  // as reduced at depth 3
    int alpha, beta;
    PvLine* pv;
    int mateScore;
    bool checkExtended, inReduction;
    bool checked = false;
    int men = 0;
    TTEntry entry{};
    int answer = 0;  // the table's: a score, HASH_NO_ANSWER (its move may help) or HASH_MISS
    int best;
    bool noLegalMove = true;
    Move lastTried = 0;
    Move hashMove = 0;
    PvLine line;
};

// A result that ends the node before any move: a draw by rule, a stop, a full stack, the tables.
[[gnu::always_inline]] inline bool settledWithoutMoves(Node& n, int* score) {
    const Position& position = currentPosition();
    if (position.repetitions >= 2 || position.fifty > 100 || (position.fifty == 100 && !n.checked)) {
        *score = 0;
        return true;
    }
    if (searchStopped() || (n.w.iteration > 2 && mustStop(n.w))) {
        *score = 1;
        return true;
    }
    // No room for another move on the position stack: the static evaluation has to do.
    if (stackNearlyFull()) {
        *score = evaluate();
        return true;
    }
    if (n.men <= n.w.probeMen) {
        int success = 0;
        const int wdl = tbProbeWdl(&success);
        if (success != 0) {
            noteTablebaseHit();
            n.pv->count = 0;
            *score = wdl < -1 ? -TB_WIN_SCORE : wdl > 1 ? TB_WIN_SCORE : 0;
            return true;
        }
    }
    return false;
}

// Near the leaves a position far below alpha is pruned after its captures (depths 1 and 2) or
// searched a ply less (depth 3); higher up a null move that still fails high ends the node.
// Returns true with *score when the null move cut off; *prune and *staticScore for the pruning.
[[gnu::always_inline]] inline bool pruneOrReduce(Node& n, bool nullAllowed, bool* prune, int* staticScore, int* score) {
    const Position& position = currentPosition();
    const int iteration = n.w.iteration;
    const float scale = 18.0f / static_cast<float>(n.men);
    const bool slotExact = n.entry.bound == BOUND_EXACT;
    const bool quietNode = !n.checked && !slotExact && !n.checkExtended;
    if (n.depth == 1 || n.depth == 2) {
        const int margin = n.depth == 1 ? FUTILITY_MARGIN_DEPTH1 : FUTILITY_MARGIN_DEPTH2;
        if (quietNode && iteration > n.depth + 1) {
            *staticScore = position.score;
            *prune = *staticScore <= n.alpha - scaledMargin(margin, scale);
        }
    } else if (n.depth == 3) {
        if (quietNode && iteration > 4 && position.score <= n.alpha - scaledMargin(REDUCTION_MARGIN_DEPTH3, scale))
            n.depth = 2;
    } else if (nullAllowed && quietNode && (position.occupied() & ~(position.pawns() | position.kings())) != 0) {
        makeNullMove();
        *score = -alphaBetaSearch(n.w, n.depth - 1 - NULL_MOVE_REDUCTION, -n.beta, -n.beta + 1, &n.line,
                                  n.mateScore - 1, false, false, n.inReduction);
        takeBack();
        if (*score >= n.beta) return true;
    }
    return false;
}

// A fail high: the table keeps the move, the node returns beta.
[[gnu::always_inline]] inline int cutOff(Node& n, int score, Move move) {
    storeHash(n.w.iteration, n.depth, score, BOUND_LOWER, move);
    return n.beta;
}

// The table's move first, checked before it is made; an exact entry's check is extended.
[[gnu::always_inline]] inline bool searchHashMove(Node& n, int depthReceived, int* result) {
    n.hashMove = n.entry.move;
    if (!makeStoredMove(n.hashMove)) return false;
    int score;
    n.line.count = 0;
    if (n.entry.bound == BOUND_EXACT && !n.checkExtended && inCheck()) {
        score = -alphaBetaSearch(n.w, depthReceived, -n.beta, -n.alpha, &n.line, n.mateScore - 1, false, true,
                                 n.inReduction);
        n.checkExtended = true;
    } else {
        score = -alphaBetaSearch(n.w, n.depth - 1, -n.beta, -n.alpha, &n.line, n.mateScore - 1, false, n.checkExtended,
                                 n.inReduction);
    }
    takeBack();
    if (score >= n.beta) {
        *result = cutOff(n, score, n.hashMove);
        return true;
    }
    if (score > n.alpha) {
        copyLine(n.pv, n.hashMove, &n.line);
        n.best = score;
    }
    n.noLegalMove = false;
    return false;
}

// The captures, best first. True with *result on a fail high; sets *exposing (see exposingSquares)
// for the quiet moves too.
[[gnu::always_inline]] inline bool searchCaptures(Node& n, TBB* exposing, int* result) {
    CaptureList captures;
    generateCaptures(&captures);
    if (n.hashMove != 0) removeFromCaptures(n.hashMove, &captures);
    prefetchChildren(captures);
    // Children of depth 1 are evaluated.
    if (n.depth == 1) prefetchChildrenPawnSlots(captures);
    // Worked out while the children's slots load.
    *exposing = exposingSquares(n.checked);
    while (captures.count != 0) {
        const Move move = pickBestCapture(&captures);
        --captures.count;
        makeMove(move);
        n.lastTried = move;
        if (needsLegalityTest(move, *exposing) && opponentInCheck()) {
            takeBack();
            continue;
        }
        n.line.count = 0;
        const int score = -alphaBetaSearch(n.w, n.depth - 1, -n.beta, -n.best, &n.line, n.mateScore - 1, true,
                                           n.checkExtended, n.inReduction);
        takeBack();
        n.noLegalMove = false;
        if (score >= n.beta) {
            *result = cutOff(n, score, move);
            return true;
        }
        if (score > n.best) {
            copyLine(n.pv, move, &n.line);
            n.best = score;
        }
    }
    return false;
}

// How much a late quiet move is reduced; the node then stays in reduction until one such move
// raises the score.
[[gnu::always_inline]] inline int quietReduction(Node& n, Move move, int legalQuiets) {
    if (n.checkExtended || n.men <= REDUCTION_MIN_MEN || n.depth <= 2 || legalQuiets <= FULL_DEPTH_MOVES ||
        inCheck() != 0)
        return 0;
    n.inReduction = true;
    if (n.depth == 3) return 2;
    return historyValue(n.w, move) < 10 * n.w.iteration * n.w.iteration ? 3 : 2;
}

// The quiet moves, killers first, then by history; late ones reduced. True with *result on a
// fail high.
[[gnu::always_inline]] inline bool searchQuiets(Node& n, TBB exposing, int* result) {
    QuietList quiets;
    generateQuiets(&quiets);
    if (n.hashMove != 0) removeFromQuiets(n.hashMove, &quiets);
    prefetchChildren(quiets);
    if (n.depth == 1) prefetchChildrenPawnSlots(quiets);
    int legalQuiets = 0;
    KillerScan killerScan;
    HistoryOrder order;
    while (quiets.count != 0) {
        if (pickKiller(n.w, n.depth, &quiets, &killerScan))
            order.filled = false;
        else
            pickHistory(n.w, &quiets, &order);
        const Move move = quiets.moves[--quiets.count];
        quiets.moves[quiets.count] = 0;
        n.lastTried = move;
        makeMove(move);
        if (needsLegalityTest(move, exposing) && opponentInCheck()) {
            takeBack();
            continue;
        }
        ++legalQuiets;
        const int reduction = quietReduction(n, move, legalQuiets);
        int score = 0;
        if (n.inReduction) {
            n.line.count = 0;
            score = -alphaBetaSearch(n.w, n.depth - 1 - reduction, -n.beta, -n.best, &n.line, n.mateScore - 1, false,
                                     n.checkExtended, true);
            if (score > n.best && reduction > 0) n.inReduction = false;
        }
        if (!n.inReduction) {
            n.line.count = 0;
            score = -alphaBetaSearch(n.w, n.depth - 1, -n.beta, -n.best, &n.line, n.mateScore - 1, true,
                                     n.checkExtended, false);
        }
        takeBack();
        n.noLegalMove = false;
        if (score >= n.beta) {
            addHistory(n.w, move, n.depth * n.depth);
            updateKillers(n.w, n.depth, move);
            *result = cutOff(n, score, move);
            return true;
        }
        if (score > n.best) {
            copyLine(n.pv, move, &n.line);
            n.best = score;
        }
    }
    return false;
}

// After every move: mate or stalemate without one, else the best score with its bound.
[[gnu::always_inline]] inline int finish(Node& n) {
    if (n.noLegalMove) {
        n.best = 0;
        if (n.checked) {
            n.pv->count = 0;
            return -n.mateScore;
        }
    }
    if (n.best > n.alpha) {
        storeHash(n.w.iteration, n.depth, n.best, BOUND_EXACT, n.pv->count > 0 ? n.pv->argmove[0] : 0);
        return n.best;
    }
    storeHash(n.w.iteration, n.depth, n.best, BOUND_UPPER, n.lastTried);
    return n.best;
}

}  // namespace

int alphaBetaSearch(Worker& w, int depth, int alpha, int beta, PvLine* pv, int mateScore, bool nullAllowed,
                    bool checkExtended, bool inReduction) {
    Node n(w, depth, alpha, beta, pv, mateScore, checkExtended, inReduction);
    n.men = popCount(currentPosition().occupied());
    // At the horizon the quiescence search evaluates: its pawn slots are fetched with the probe.
    if (depth == 0) prefetchPawnHash(currentPosition());
    n.answer = probeHash(&n.entry, w.iteration, depth, alpha, beta);
    if (n.answer != HASH_MISS && n.answer != HASH_NO_ANSWER) return n.answer;
    // Quiescence has no use for the table's move.
    if (n.answer == HASH_NO_ANSWER && n.entry.move != 0 && depth > 0) prefetchHash(approximateKeyAfter(n.entry.move));
    n.checked = inCheck() != 0;

    int result = 0;
    if (settledWithoutMoves(n, &result)) return result;
    if (depth == 0) {
        pv->count = 0;
        return quiescenceAfterProbe(w, alpha, beta, mateScore, n.checked);
    }
    bool prune = false;
    int staticScore = 0;
    if (pruneOrReduce(n, nullAllowed, &prune, &staticScore, &result)) return result;

    if (n.answer == HASH_NO_ANSWER && !prune && n.entry.move != 0 && searchHashMove(n, depth, &result)) return result;
    TBB exposing = 0;
    if (searchCaptures(n, &exposing, &result)) return result;
    if (prune) {
        pv->count = 0;
        return staticScore;
    }
    if (searchQuiets(n, exposing, &result)) return result;
    return finish(n);
}
