#include "search/alphabeta.h"

#include "board/bitboard.h"
#include "board/hashkey.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/movetext.h"
#include "board/position.h"
#include "eval/evaluate.h"
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

int alphaBetaSearch(Worker& w, int depth, int alpha, int beta, PvLine* pv, int mateScore, bool nullAllowed,
                    bool checkExtended, bool inReduction) {
    const int iteration = w.iteration;
    const Position& position = currentPosition();
    const int men = popCount(position.occupied());
    PvLine line;
    line.count = 0;

    TTEntry entry;
    const int answer = probeHash(&entry, iteration, depth, alpha, beta);
    if (answer != HASH_MISS && answer != HASH_NO_ANSWER) return answer;
    if (answer == HASH_NO_ANSWER && entry.move != 0) prefetchHash(approximateKeyAfter(entry.move));

    const bool checked = inCheck() != 0;
    if (position.repetitions >= 2) return 0;
    if (position.fifty > 100) return 0;
    if (position.fifty == 100 && !checked) return 0;

    if (searchStopped()) return 1;
    if (iteration > 2 && mustStop(w)) return 1;

    // No room for another move on the position stack: the static evaluation has to do.
    if (stackNearlyFull()) return evaluate();

    if (men <= w.probeMen) {
        int success = 0;
        const int wdl = tbProbeWdl(&success);
        if (success != 0) {
            noteTablebaseHit();
            pv->count = 0;
            return wdl < -1 ? -TB_WIN_SCORE : wdl > 1 ? TB_WIN_SCORE : 0;
        }
    }

    const float scale = 18.0f / static_cast<float>(men);
    const int depthReceived = depth;
    const bool slotExact = entry.bound == BOUND_EXACT;
    bool prune = false;
    int staticScore = 0;
    if (depth == 0) {
        pv->count = 0;
        return quiescenceSearch(w, alpha, beta, mateScore);
    } else if (depth == 1 || depth == 2) {
        const int margin = depth == 1 ? FUTILITY_MARGIN_DEPTH1 : FUTILITY_MARGIN_DEPTH2;
        if (!checked && !slotExact && !checkExtended && iteration > depth + 1) {
            staticScore = position.score;
            prune = staticScore <= alpha - scaledMargin(margin, scale);
        }
    } else if (depth == 3) {
        if (!checked && !slotExact && !checkExtended && iteration > 4 &&
            position.score <= alpha - scaledMargin(REDUCTION_MARGIN_DEPTH3, scale))
            depth = 2;
    } else if (nullAllowed && !checkExtended && !checked && !slotExact &&
               (position.occupied() & ~(position.pawns() | position.kings())) != 0) {
        makeNullMove();
        const int score = -alphaBetaSearch(w, depth - 1 - NULL_MOVE_REDUCTION, -beta, -beta + 1, &line, mateScore - 1,
                                           false, false, inReduction);
        takeBack();
        if (score >= beta) return score;
    }

    int best = alpha;
    bool noLegalMove = true;
    Move lastTried = 0;
    Move hashMove = 0;
    if (answer == HASH_NO_ANSWER && !prune && entry.move != 0) {
        hashMove = entry.move;
        if (makeStoredMove(hashMove)) {
            int score;
            line.count = 0;
            if (slotExact && !checkExtended && inCheck()) {
                score =
                    -alphaBetaSearch(w, depthReceived, -beta, -alpha, &line, mateScore - 1, false, true, inReduction);
                checkExtended = true;
            } else {
                score = -alphaBetaSearch(w, depth - 1, -beta, -alpha, &line, mateScore - 1, false, checkExtended,
                                         inReduction);
            }
            takeBack();
            if (score >= beta) {
                storeHash(iteration, depth, score, BOUND_LOWER, hashMove);
                return beta;
            }
            if (score > alpha) {
                copyLine(pv, hashMove, &line);
                best = score;
            }
            noLegalMove = false;
        }
    }

    const TBB exposing = exposingSquares(checked);
    CaptureList captures;
    generateCaptures(&captures);
    if (hashMove != 0) removeFromCaptures(hashMove, &captures);
    prefetchChildren(captures);
    while (captures.count != 0) {
        const Move move = pickBestCapture(&captures);
        --captures.count;
        makeMove(move);
        lastTried = move;
        if (needsLegalityTest(move, exposing) && opponentInCheck()) {
            takeBack();
            continue;
        }
        line.count = 0;
        const int score =
            -alphaBetaSearch(w, depth - 1, -beta, -best, &line, mateScore - 1, true, checkExtended, inReduction);
        takeBack();
        noLegalMove = false;
        if (score >= beta) {
            storeHash(iteration, depth, score, BOUND_LOWER, move);
            return beta;
        }
        if (score > best) {
            copyLine(pv, move, &line);
            best = score;
        }
    }

    if (prune) {
        pv->count = 0;
        return staticScore;
    }

    QuietList quiets;
    generateQuiets(&quiets);
    if (hashMove != 0) removeFromQuiets(hashMove, &quiets);
    prefetchChildren(quiets);
    int legalQuiets = 0;
    KillerScan killerScan;
    while (quiets.count != 0) {
        if (!pickKiller(w, depth, &quiets, &killerScan)) pickHistory(w, &quiets);
        const Move move = quiets.moves[--quiets.count];
        quiets.moves[quiets.count] = 0;
        lastTried = move;
        makeMove(move);
        if (needsLegalityTest(move, exposing) && opponentInCheck()) {
            takeBack();
            continue;
        }
        ++legalQuiets;
        int reduction = 0;
        if (!checkExtended && men > REDUCTION_MIN_MEN && depth > 2 && legalQuiets > FULL_DEPTH_MOVES &&
            inCheck() == 0) {
            if (depth == 3)
                reduction = 2;
            else
                reduction = historyValue(w, move) < 10 * iteration * iteration ? 3 : 2;
            inReduction = true;
        }
        int score = 0;
        if (inReduction) {
            line.count = 0;
            score = -alphaBetaSearch(w, depth - 1 - reduction, -beta, -best, &line, mateScore - 1, false, checkExtended,
                                     true);
            if (score > best && reduction > 0) inReduction = false;
        }
        if (!inReduction) {
            line.count = 0;
            score = -alphaBetaSearch(w, depth - 1, -beta, -best, &line, mateScore - 1, true, checkExtended, false);
        }
        takeBack();
        noLegalMove = false;
        if (score >= beta) {
            addHistory(w, move, depth * depth);
            updateKillers(w, depth, move);
            storeHash(iteration, depth, score, BOUND_LOWER, move);
            return beta;
        }
        if (score > best) {
            copyLine(pv, move, &line);
            best = score;
        }
    }

    if (noLegalMove) {
        best = 0;
        if (checked) {
            pv->count = 0;
            return -mateScore;
        }
    }
    if (best > alpha) {
        storeHash(iteration, depth, best, BOUND_EXACT, pv->count > 0 ? pv->argmove[0] : 0);
        return best;
    }
    storeHash(iteration, depth, best, BOUND_UPPER, lastTried);
    return best;
}
