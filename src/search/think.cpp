#include "search/search.h"

#include <algorithm>
#include <cstdio>

#include "board/bitboard.h"
#include "board/position.h"
#include "eval/bareking.h"
#include "search/helperresult.h"
#include "search/iterativedeepening.h"
#include "search/nodecount.h"
#include "search/ordering.h"
#include "search/progress.h"
#include "search/scores.h"
#include "search/searchthreads.h"
#include "search/strength.h"
#include "search/thinkingline.h"
#include "search/transposition.h"
#include "state/enginestate.h"
#include "state/searchinfo.h"
#include "tablebase/tablebase.h"

namespace {

bool isRootMove(const Worker& w, Move move) {
    for (int i = 0; i < w.rootCount; ++i)
        if (w.rootMoves[i].move == move) return true;
    return false;
}

// The move to play when the search ends without a completed iteration: the best root move
// of the unfinished one if it got that far, else the first legal move (0 only without one).
Move fallbackMove(Move found, const Worker& w, const PvLine& line) {
    if (found != 0) return found;
    const Move partial = lineMove(line, 0);
    if (partial != 0 && isRootMove(w, partial)) return partial;
    return w.rootCount > 0 ? w.rootMoves[0].move : 0;
}

// The root moves the limits allow (UCI "go searchmoves"); none listed allows all.
void keepSearchMoves(Worker& w, const SearchLimits& limits) {
    if (limits.searchMoveCount == 0) return;
    int kept = 0;
    for (int i = 0; i < w.rootCount; ++i) {
        for (int j = 0; j < limits.searchMoveCount; ++j) {
            if (w.rootMoves[i].move == limits.searchMoves[j]) {
                w.rootMoves[kept++] = w.rootMoves[i];
                break;
            }
        }
    }
    // None of them legal: the list is ignored rather than leaving the search without a move.
    if (kept > 0) w.rootCount = kept;
}

// With few enough men the tables filter the root moves: the score is theirs from then on.
void filterByTablebases(Worker& w, MainDeepening& main) {
    const SearchLimits& limits = *w.limits;
    if (!limits.useTablebases || popCount(currentPosition().occupied()) > limits.tablebaseMen) return;
    main.tablebaseRoot = tbFilterRootMoves(w.rootMoves, &w.rootCount, &main.tablebaseScore) != 0;
    if (!main.tablebaseRoot) return;
    noteTablebaseHit();
    if (limits.output == SearchOutput::Uci)
        std::printf("info string tablebase result %d, %d root moves kept\n", main.tablebaseScore, w.rootCount);
    w.tbMen = 0;
    w.probeMen = 0;
    if (w.rootCount > 1) sortByScore(w.rootMoves, 0, w.rootCount - 1);
}

// A helper that completed a deeper iteration than the main search has the better result: the
// same search, one or more plies deeper. Its line replaces the main one, and is shown when the
// main search's output would still be read.
void takeDeeperResult(const Worker& w, MainDeepening& main, bool showAfterStop) {
    if (main.linesWanted > 1) return;
    HelperResult deepest = deepestHelperResult();
    if (deepest.depth <= w.completedDepth) return;
    PvLine& line = deepest.line;
    const int score = deepest.score;
    const int depth = deepest.depth;
    extendLine(&line, depth);
    recordLine(*main.result, line, score, depth);
    main.move = line.argmove[0];
    const SearchLimits& limits = *w.limits;
    if (limits.output != SearchOutput::None && limits.showThinking && (showAfterStop || gs_info.stop == 0))
        printThinking(w, depth, score, &line, SCORE_EXACT, 0);
}

// Below full strength: one of the last completed iteration's lines, the worse ones less likely
// (never instead of a mate).
void chooseLevelLine(const Worker& w, MainDeepening& main, int marginCp) {
    SearchResult& result = *main.result;
    if (main.linesWanted < 2 || w.completedDepth == 0 || result.lines[0].score > MATE_THRESHOLD) return;
    int scores[MAX_MULTI_PV];
    for (int k = 0; k < main.linesWanted; ++k) scores[k] = result.lines[k].score;
    const int k = chooseCandidate(scores, main.linesWanted, marginCp, strengthRandom());
    if (k == 0 || result.lines[k].line.count == 0) return;
    recordLine(result, result.lines[k].line, result.lines[k].score, result.depth);
    main.move = result.line.argmove[0];
}

}  // namespace

SearchResult think(const SearchLimits& limits) {
    SearchResult result;
    Worker w;
    w.main = true;
    w.limits = &limits;
    w.tbMen = limits.tablebaseMen;
    w.probeMen = limits.useTablebases ? limits.tablebaseMen : 0;
    if (!limits.timeInForce) useTimePlan(limits.time);
    SearchInfo.depth = 0;
    startNodeCount();
    if (!limits.keepTable) clearHash();
    startProgress(w);
    generateRootMoves(w.rootMoves, &w.rootCount);
    keepSearchMoves(w, limits);

    MainDeepening main;
    main.result = &result;
    filterByTablebases(w, main);
    // Below full strength: a node budget, and candidates to choose from at the end.
    const bool playingLevel = strengthLimited(limits.level);
    const StrengthPlan plan = strengthPlan(limits.level);
    main.nodeLimit = limits.nodes;
    if (playingLevel) main.nodeLimit = main.nodeLimit > 0 ? std::min(main.nodeLimit, plan.nodes) : plan.nodes;
    const int lines = std::max(limits.multiPv, playingLevel ? plan.candidates : 1);
    main.linesWanted = std::clamp(lines, 1, std::max(w.rootCount, 1));
    // Every search starts its own helpers, none when there is nothing to search. Nor against a
    // bare king: there the mate comes from following one plan move after move, and the helpers'
    // deeper entries in the shared table make the main search change its plan (measured: K+B+N
    // v K at 200 ms a move, 20 of 20 won on one thread, 12 of 20 on two).
    startHelperResults(main.linesWanted == 1);
    const bool parallel = w.rootCount > 0 && !(main.tablebaseRoot && w.rootCount == 1) &&
                          !bareKingEnding(currentPosition());
    main.helpers = startHelpers(w, parallel) > 0;
    deepen(w, &main);
    // No result is used before every helper has ended.
    stopHelpers();
    takeDeeperResult(w, main, !limits.quietAfterStop);
    if (playingLevel) chooseLevelLine(w, main, plan.marginCp);
    result.move = fallbackMove(main.move, w, result.line);
    result.tablebaseRoot = main.tablebaseRoot;
    result.tablebaseScore = main.tablebaseScore;
    useTimePlan(TimePlan{});
    result.nodes = searchNodes();
    return result;
}
