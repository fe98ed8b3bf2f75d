#include "search/iterativedeepening.h"

#include <algorithm>
#include <cstdio>

#include "board/makemove.h"
#include "board/movetext.h"
#include "board/position.h"
#include "clock/searchclock.h"
#include "search/helperdepth.h"
#include "search/helperresult.h"
#include "search/nodecount.h"
#include "search/ordering.h"
#include "search/progress.h"
#include "search/rootsearch.h"
#include "search/scores.h"
#include "search/stopping.h"
#include "search/thinkingline.h"
#include "search/transposition.h"
#include "state/searchinfo.h"

namespace {

// Half-width of the aspiration window around the previous iteration's score.
constexpr int ASPIRATION_WINDOW = 50;

struct Window {
    int alpha = -FULL_WINDOW;
    int beta = FULL_WINDOW;
    bool full() const { return alpha == -FULL_WINDOW || beta == FULL_WINDOW; }
    bool outside(int score) const { return score >= beta || score <= alpha; }
};

Window around(int score) { return Window{score - ASPIRATION_WINDOW, score + ASPIRATION_WINDOW}; }

// The lines of the running MultiPV iteration, until it completes (only the main search has one).
ScoredLine searchingLines[MAX_MULTI_PV];

// The score shown for a root the tablebases decide: theirs, unless the search found a mate
// that says the same more precisely.
int tablebaseShownScore(int score, int tbScore) {
    if (tbScore >= TB_WIN_SCORE) return std::max(score, tbScore);
    if (tbScore <= -TB_WIN_SCORE) return std::min(score, tbScore);
    return tbScore;
}

int shownScore(const MainDeepening& main, int score) {
    return main.tablebaseRoot ? tablebaseShownScore(score, main.tablebaseScore) : score;
}

// MultiPV: the best `lines` root moves one after another, each the best of the moves not yet
// placed above it, searched with the full window; they end up first in the root moves in that
// order, their lines in the result sorted by score.
void searchLines(Worker& w, MainDeepening& main, int depth) {
    const int lines = main.linesWanted;
    RootMove* rootMoves = w.rootMoves;
    const int count = w.rootCount;
    for (int k = 0; k < lines; ++k) {
        PvLine line;
        line.count = 0;
        w.rootMovesBefore = k;
        const int score = rootSearch(w, rootMoves + k, count - k, depth, -FULL_WINDOW, FULL_WINDOW, &line);
        w.rootMovesBefore = 0;
        if (searchStopped() || line.count == 0) return;
        RootMove* chosen = std::find_if(rootMoves + k, rootMoves + count,
                                        [&line](const RootMove& r) { return r.move == line.argmove[0]; });
        if (chosen != rootMoves + count) std::rotate(rootMoves + k, chosen, chosen + 1);
        searchingLines[k] = ScoredLine{line, score};
    }
    std::stable_sort(searchingLines, searchingLines + lines,
                     [](const ScoredLine& a, const ScoredLine& b) { return a.score > b.score; });
    std::copy(searchingLines, searchingLines + lines, main.result->lines);
    main.result->lineCount = lines;
}

// One iteration: every MultiPV line, or the root moves with the window. Returns the score.
int searchIteration(Worker& w, MainDeepening* main, int depth, Window window, PvLine* line) {
    if (main != nullptr && main->linesWanted > 1) {
        searchLines(w, *main, depth);
        return main->result->lines[0].score;
    }
    return rootSearch(w, w.rootMoves, w.rootCount, depth, window.alpha, window.beta, line);
}

// The main search's lines after a completed iteration, in the output's form.
void showIteration(const Worker& w, const MainDeepening& main, int depth, int score, Window window) {
    const SearchResult& result = *main.result;
    if (main.linesWanted > 1) {
        for (int k = 0; k < main.linesWanted; ++k)
            printThinking(w, depth, shownScore(main, result.lines[k].score), &result.lines[k].line, SCORE_EXACT, k + 1);
        return;
    }
    PvLine copy = result.line;
    // UCI: a score outside the window is a bound, shown with the move that produced it.
    const int kind = score >= window.beta ? SCORE_LOWER : score <= window.alpha ? SCORE_UPPER : SCORE_EXACT;
    if (kind == SCORE_LOWER && w.limits->output == SearchOutput::Uci && w.failHighMove != 0) {
        copy.count = 1;
        copy.argmove[0] = w.failHighMove;
    }
    printThinking(w, depth, shownScore(main, score), &copy, kind, 0);
}

// After a completed iteration of the main search: its line and what it publishes, its output.
void completeIteration(Worker& w, MainDeepening& main, int depth, int score, Window window) {
    SearchResult& result = *main.result;
    w.completedDepth = depth;
    if (main.linesWanted > 1) {
        // A line after the first often ends early at an entry the earlier lines left exact.
        for (int k = 0; k < main.linesWanted; ++k) extendLine(&result.lines[k].line, depth);
        result.line = result.lines[0].line;
    } else if (main.helpers) {
        extendLine(&result.line, depth);
    }
    if (lineMove(result.line, 0) != 0) main.move = result.line.argmove[0];
    recordLine(result, result.line, score, depth);
    if (w.limits->output != SearchOutput::None && w.limits->showThinking && gs_info.stop == 0)
        showIteration(w, main, depth, score, window);
}

// "go mate N": a longer mate does not answer it; deeper iterations may find a shorter one.
bool mateEndsSearch(const Worker& w, MainDeepening& main, int score) {
    const int mateLimit = w.limits->mate;
    const bool thinking = w.limits->output == SearchOutput::Thinking;
    if (score > MATE_THRESHOLD && (mateLimit == 0 || (MATE_SCORE + 1 - score) / 2 <= mateLimit)) {
        if (thinking) std::printf("Mate in% d \n", (MATE_SCORE + 1 - score) / 2);
        main.result->mate = true;
        return true;
    }
    if (score < -MATE_THRESHOLD) {
        if (thinking) std::printf("Mated to% d \n", (score + MATE_SCORE) / 2);
        main.result->mate = true;
        return true;
    }
    return false;
}

// The tables left one root move: it is played after one thinking line.
bool playTablebaseMove(Worker& w, MainDeepening& main, int depth) {
    if (!main.tablebaseRoot || w.rootCount != 1) return false;
    main.move = w.rootMoves[0].move;
    main.result->line.count = 1;
    main.result->line.argmove[0] = main.move;
    if (w.limits->output != SearchOutput::None)
        printThinking(w, depth, tablebaseShownScore(0, main.tablebaseScore), &main.result->line, SCORE_EXACT, 0);
    return true;
}

int firstDepth(const SearchLimits& limits, bool main) {
    const int depth = limits.minDepth > 1 ? limits.minDepth : 1;
    const int last = std::min(limits.maxDepth, MAX_ITERATION);
    return main && limits.clampFirstDepth && depth > last ? last : depth;
}

}  // namespace

void deepen(Worker& w, MainDeepening* main) {
    const SearchLimits& limits = *w.limits;
    const int maxDepth = std::min(limits.maxDepth, MAX_ITERATION);
    int depth = firstDepth(limits, main != nullptr);
    Window window;
    bool again = false;  // the same depth with the full window after a result outside the window
    PvLine helperLine;
    PvLine* line = main != nullptr ? &main->result->line : &helperLine;
    while (main != nullptr || !searchStopped()) {
        if (main == nullptr && !again) depth = nextHelperDepth(depth, maxDepth);
        if (depth > maxDepth) break;
        if (main != nullptr) {
            // No new iteration past the budget, but a result outside the window is searched again.
            const bool settled = main->linesWanted > 1 ? w.completedDepth > 0 : !window.full();
            if (settled && iterationBudgetSpent()) {
                gs_info.stop = 1;
                return;
            }
        }
        w.iteration = depth;
        clearKillers(w);
        if (main != nullptr) {
            startIterationNodes(main->nodeLimit);
            startIterationProgress(w);
            SearchInfo.depth = depth;
        }
        if (depth > 2 && w.tbMen != 0 && w.rootCount >= 2) sortBySearchScore(w.rootMoves, 0, w.rootCount - 1);
        if (main != nullptr && playTablebaseMove(w, *main, depth)) return;
        if (main == nullptr) {
            line->count = 0;
            enterDepth(depth);
        }
        int score = searchIteration(w, main, depth, window, line);
        int resultDepth = depth;  // the depth the result comes from: deeper when taken from a helper
        if (main == nullptr) {
            leaveDepth(depth);
            if (searchStopped()) break;
        } else {
            if (iterationAbandoned) {
                // A helper has completed this depth or a deeper one: its result is this iteration's.
                // It is shown at this depth, so that every depth is shown once; when the helper is
                // further ahead, the next iterations take it over again at once.
                iterationAbandoned = false;
                if (gs_info.stop == 1) return;
                const HelperResult taken = deepestHelperResult();
                resultDepth = taken.depth;
                score = taken.score;
                *line = taken.line;
                window = Window{};
            }
            if (limits.afterIteration != nullptr) limits.afterIteration();
            if (gs_info.stop == 1) return;
            completeIteration(w, *main, depth, score, window);
            // A helper's line is replaced at the end only by a deeper one than the line taken over.
            w.completedDepth = resultDepth;
            if (mateEndsSearch(w, *main, score)) return;
            if (main->linesWanted > 1) {  // every line had the full window
                ++depth;
                continue;
            }
        }
        again = window.outside(score);
        if (again) {
            window = Window{};
            continue;
        }
        if (main == nullptr && line->count > 0) publishHelperResult(depth, score, *line);
        window = around(score);
        ++depth;
    }
}

void recordLine(SearchResult& result, const PvLine& line, int score, int depth) {
    result.line = line;
    result.completed = true;
    result.best = lineMove(line, 0);
    result.reply = lineMove(line, 1);
    result.score = score;
    result.depth = depth;
}

void extendLine(PvLine* line, int length) {
    const int64_t nodes = *nodeCounter;
    int made = 0;
    while (made < line->count && makeStoredMove(line->argmove[made])) ++made;
    line->count = made;
    if (length > MAX_PV) length = MAX_PV;
    while (line->count < length && currentPosition().repetitions == 0) {
        const Move move = storedMove();
        if (move == 0 || !makeStoredMove(move)) break;
        ++made;
        line->argmove[line->count++] = move;
    }
    for (; made > 0; --made) takeBack();
    *nodeCounter = nodes;
}
