#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "board/bitboard.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/movetext.h"
#include "board/position.h"
#include "platform/clock.h"
#include "search/ordering.h"
#include "search/progress.h"
#include "search/searchclock.h"
#include "search/searchinfo.h"
#include "search/searchthreads.h"
#include "search/searchtree.h"
#include "search/strength.h"
#include "search/transposition.h"
#include "shell/gamelog.h"
#include "shell/polling.h"
#include "shell/state.h"
#include "tablebase/tablebase.h"

PvLine gs_lineH;
int64_t lastSearchNodes = 0;

namespace {

// Half-width of the aspiration window around the previous iteration's score.
constexpr int ASPIRATION_WINDOW = 50;
// Scores beyond this announce a forced mate.
constexpr int MATE_THRESHOLD = 68999;
// Deepest iteration: node depths must fit the killer slots and the line length.
constexpr int MAX_ITERATION = 64;

Move lineMove(const PvLine& line, int index) { return index < line.count ? line.argmove[index] : 0; }

bool isRootMove(const RootMove* rootMoves, int count, Move move) {
    for (int i = 0; i < count; ++i)
        if (rootMoves[i].move == move) return true;
    return false;
}

// The move to play when the search ends without a completed iteration: the best root move
// of the unfinished one if it got that far, else the first legal move (0 only without one).
Move fallbackMove(Move result, const RootMove* rootMoves, int count) {
    if (result != 0) return result;
    const Move partial = lineMove(gs_lineH, 0);
    if (partial != 0 && isRootMove(rootMoves, count, partial)) return partial;
    return count > 0 ? rootMoves[0].move : 0;
}

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

// One call per line: the polling thread writes to the same stream, and a line written in
// pieces could be split by one of its lines.
void writeOut(const char* text) {
    std::fputs(text, stdout);
    logText(text);
}

// The root moves the interface allows (UCI "go searchmoves"); none listed allows all.
Move allowedRootMoves[MAX_ROOT_MOVES];
int allowedRootMoveCount = 0;

void keepSearchMoves(RootMove* rootMoves, int* count) {
    if (allowedRootMoveCount == 0) return;
    int kept = 0;
    for (int i = 0; i < *count; ++i) {
        for (int j = 0; j < allowedRootMoveCount; ++j) {
            if (rootMoves[i].move == allowedRootMoves[j]) {
                rootMoves[kept++] = rootMoves[i];
                break;
            }
        }
    }
    // None of them legal: the list is ignored rather than leaving the search without a move.
    if (kept > 0) *count = kept;
}

// Nodes of the finished iterations of the running search (the counter restarts every iteration).
int64_t iterationNodes = 0;
// The last iteration the main search completed.
int completedDepth = 0;

// MultiPV: the lines of the last iteration, best first, and how many the search shows.
struct ShownLine {
    PvLine line;
    int score;
};
ShownLine shownLines[MAX_MULTI_PV];
ShownLine searchingLines[MAX_MULTI_PV];  // the running iteration's, until it completes
int linesWanted = 1;
// A search below full strength: the margin its choice among the lines may give away.
bool playingLevel = false;
int levelMarginCp = 0;
// The main search's root moves before the ones a MultiPV line searches, for currmovenumber.
int rootMovesBefore = 0;
// The root move that raised the main search's last root score above its window.
Move failHighMove = 0;

// The score shown for a root the tablebases decide: theirs, unless the search found a mate
// that says the same more precisely.
int tablebaseShownScore(int score, int tbScore) {
    if (tbScore >= TB_WIN_SCORE) return std::max(score, tbScore);
    if (tbScore <= -TB_WIN_SCORE) return std::min(score, tbScore);
    return tbScore;
}

// MultiPV: the best `lines` root moves one after another, each the best of the moves not yet
// placed above it, searched with the full window; they end up first in rootMoves in that order,
// their lines in shownLines sorted by score. Returns how many lines completed before a stop.
int searchLines(RootMove* rootMoves, int count, int lines, int depth, int tbMen) {
    for (int k = 0; k < lines; ++k) {
        PvLine line;
        line.count = 0;
        rootMovesBefore = k;
        const int score = rootSearch(rootMoves + k, count - k, depth, depth, -FULL_WINDOW, FULL_WINDOW, &line,
                                     MATE_SCORE, true, false, false, tbMen);
        rootMovesBefore = 0;
        if (searchStopped() || line.count == 0) return k;
        RootMove* chosen = std::find_if(rootMoves + k, rootMoves + count,
                                        [&line](const RootMove& r) { return r.move == line.argmove[0]; });
        if (chosen != rootMoves + count) std::rotate(rootMoves + k, chosen, chosen + 1);
        searchingLines[k] = ShownLine{line, score};
    }
    std::stable_sort(searchingLines, searchingLines + lines,
                     [](const ShownLine& a, const ShownLine& b) { return a.score > b.score; });
    std::copy(searchingLines, searchingLines + lines, shownLines);
    return lines;
}

// With helpers the main search often meets their exact entries just below the root, and its line
// stops after a move or two: the table's moves carry it on to `length` moves (each one checked
// before it is made), so that the thinking lines and the expected reply stay useful. The moves
// made here are not counted as searched.
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

// Iterative deepening shared by the engine's own search and the ponder/analysis thread form.
Move deepen(bool inThread) {
    SearchInfo.depth = 0;
    iterationNodes = 0;
    completedDepth = 0;
    bool started = false;
    clearHistory();
    clearHash();
    startProgress();
    int tbMen = gs_info.syzygyMen;
    RootMove rootMoves[MAX_ROOT_MOVES] = {};
    int count = 0;
    generateRootMoves(rootMoves, &count);
    keepSearchMoves(rootMoves, &count);
    // A line left from an earlier search must not pass for this one's.
    gs_lineH.count = 0;

    bool tbUsed = false;
    int tbScore = 0;
    if (gs_info.syzygy != 0 && popCount(currentPosition().occupied()) <= gs_info.syzygyMen) {
        tbUsed = tbFilterRootMoves(rootMoves, &count, &tbScore) != 0;
        if (tbUsed) {
            noteTablebaseHit();
            if (gs_info.uciMode != 0)
                std::printf("info string tablebase result %d, %d root moves kept\n", tbScore, count);
            tbMen = 0;
            if (count > 1) sortByScore(rootMoves, 0, count - 1);
        }
    }

    int depth = gs_info.minDepth > 1 ? static_cast<int>(gs_info.minDepth) : 1;
    const int maxDepth = gs_info.maxDepth < MAX_ITERATION ? static_cast<int>(gs_info.maxDepth) : MAX_ITERATION;
    // A UCI depth limit below the first depth still gets its search.
    if (gs_info.uciMode != 0 && depth > maxDepth) depth = maxDepth;
    int alpha = -FULL_WINDOW;
    int beta = FULL_WINDOW;
    Move result = 0;
    // Below full strength: a node budget, and candidates to choose from at the end.
    playingLevel = strengthLimited();
    const StrengthPlan plan = strengthPlan(gs_info.elo);
    levelMarginCp = plan.marginCp;
    int64_t nodeLimit = gs_info.nodeLimit;
    if (playingLevel) nodeLimit = nodeLimit > 0 ? std::min(nodeLimit, plan.nodes) : plan.nodes;
    const int lines = std::max<int>(gs_info.multiPv, playingLevel ? plan.candidates : 1);
    linesWanted = std::clamp(lines, 1, std::max(count, 1));
    const bool multiPv = linesWanted > 1;
    // Every search starts its own helpers, none when there is nothing to search.
    startHelpers(rootMoves, tbUsed && count == 1 ? 0 : count, tbMen);
    while (depth <= maxDepth) {
        // No new iteration past the budget, but a result outside the window is searched again.
        const bool settled = multiPv ? completedDepth > 0 : alpha != -FULL_WINDOW && beta != FULL_WINDOW;
        if (settled && iterationBudgetSpent()) {
            gs_info.stop = 1;
            return fallbackMove(result, rootMoves, count);
        }
        clearKillers();
        if (started) iterationNodes += SearchInfo.nodes;
        started = true;
        SearchInfo.nodes = 0;
        startIterationNodeCount(iterationNodes, nodeLimit);
        startIterationProgress();
        SearchInfo.depth = depth;
        if (depth > 2 && tbMen != 0 && count >= 2) sortBySearchScore(rootMoves, 0, count - 1);

        if (tbUsed && count == 1) {
            result = rootMoves[0].move;
            gs_lineH.count = 1;
            gs_lineH.argmove[0] = result;
            printThinking(depth, tablebaseShownScore(0, tbScore), &gs_lineH, SCORE_EXACT, 0);
            return result;
        }

        int score = 0;
        if (multiPv) {
            searchLines(rootMoves, count, linesWanted, depth, tbMen);
            score = shownLines[0].score;
        } else {
            score = rootSearch(rootMoves, count, depth, depth, alpha, beta, &gs_lineH, MATE_SCORE, true, false, false,
                               tbMen);
        }
        if (gs_info.analyzeMode != 0 && gs_info.xboardMode == 0) pollInput();
        if (gs_info.stop == 1) return fallbackMove(result, rootMoves, count);

        completedDepth = depth;
        if (multiPv) {
            // A line after the first often ends early at an entry the earlier lines left exact.
            for (int k = 0; k < linesWanted; ++k) extendLine(&shownLines[k].line, depth);
            gs_lineH = shownLines[0].line;
        } else if (helpersRunning() > 0) {
            extendLine(&gs_lineH, depth);
        }
        if (lineMove(gs_lineH, 0) != 0) result = gs_lineH.argmove[0];
        if (inThread)
            gs_info.ponderBest = lineMove(gs_lineH, 0);
        else
            gs_info.ponderMove = lineMove(gs_lineH, 1);

        if (gs_info.postThinking == 1 && gs_info.stop == 0) {
            if (multiPv) {
                for (int k = 0; k < linesWanted; ++k) {
                    const int lineScore = shownLines[k].score;
                    printThinking(depth, tbUsed ? tablebaseShownScore(lineScore, tbScore) : lineScore,
                                  &shownLines[k].line, SCORE_EXACT, k + 1);
                }
            } else {
                const int shown = tbUsed ? tablebaseShownScore(score, tbScore) : score;
                PvLine copy = gs_lineH;
                // UCI: a score outside the window is a bound, shown with the move that produced it.
                const int kind = score >= beta ? SCORE_LOWER : score <= alpha ? SCORE_UPPER : SCORE_EXACT;
                if (kind == SCORE_LOWER && gs_info.uciMode != 0 && failHighMove != 0) {
                    copy.count = 1;
                    copy.argmove[0] = failHighMove;
                }
                printThinking(depth, shown, &copy, kind, 0);
            }
        }

        // "go mate N": a longer mate does not answer it; deeper iterations may find a shorter one.
        const int mateLimit = gs_info.mateLimit;
        if (score > MATE_THRESHOLD && (mateLimit == 0 || (MATE_SCORE + 1 - score) / 2 <= mateLimit)) {
            if (gs_info.uciMode == 0) std::printf("Mate in% d \n", (MATE_SCORE + 1 - score) / 2);
            gs_info.ponder = 0;
            return fallbackMove(result, rootMoves, count);
        }
        if (score < -MATE_THRESHOLD) {
            if (gs_info.uciMode == 0) std::printf("Mated to% d \n", (score + MATE_SCORE) / 2);
            gs_info.ponder = 0;
            return fallbackMove(result, rootMoves, count);
        }
        if (multiPv) {  // every line had the full window
            ++depth;
            continue;
        }
        if (score >= beta || score <= alpha) {
            alpha = -FULL_WINDOW;
            beta = FULL_WINDOW;
            continue;
        }
        alpha = score - ASPIRATION_WINDOW;
        beta = score + ASPIRATION_WINDOW;
        ++depth;
    }
    return fallbackMove(result, rootMoves, count);
}

// A helper that completed a deeper iteration than the main search has the better result:
// the same search, one or more plies deeper. Its line replaces the main one, and is shown when
// the main search's output would still be read.
Move deeperResult(Move move, bool inThread) {
    PvLine line;
    int score = 0;
    int depth = 0;
    if (linesWanted > 1 || !deeperHelperResult(completedDepth, &line, &score, &depth)) return move;
    extendLine(&line, depth);
    gs_lineH = line;
    if (inThread)
        gs_info.ponderBest = line.argmove[0];
    else
        gs_info.ponderMove = lineMove(line, 1);
    if (gs_info.postThinking == 1 && (!inThread || gs_info.stop == 0)) printThinking(depth, score, &line, SCORE_EXACT, 0);
    return line.argmove[0];
}

// Below full strength: one of the last completed iteration's lines, the worse ones less likely
// (never instead of a mate).
Move levelChoice(Move move, bool inThread) {
    if (!playingLevel || linesWanted < 2 || completedDepth == 0 || shownLines[0].score > MATE_THRESHOLD) return move;
    int scores[MAX_MULTI_PV];
    for (int k = 0; k < linesWanted; ++k) scores[k] = shownLines[k].score;
    const int k = chooseCandidate(scores, linesWanted, levelMarginCp, strengthRandom());
    if (k == 0 || shownLines[k].line.count == 0) return move;
    gs_lineH = shownLines[k].line;
    if (inThread)
        gs_info.ponderBest = gs_lineH.argmove[0];
    else
        gs_info.ponderMove = lineMove(gs_lineH, 1);
    return gs_lineH.argmove[0];
}

Move iterate(bool inThread) {
    Move move = deepen(inThread);
    // No result is used before every helper has ended.
    stopHelpers();
    move = levelChoice(deeperResult(move, inThread), inThread);
    useCentisecondLimits();
    lastSearchNodes = searchNodes();
    return move;
}

}  // namespace

Move think() { return iterate(false); }

Move thinkInThread() { return iterate(true); }

int64_t searchNodes() { return iterationNodes + (SearchInfo.depth != 0 ? SearchInfo.nodes.load() : 0) + helperNodes(); }

void setSearchMoves(const Move* moves, int count) {
    allowedRootMoveCount = count < MAX_ROOT_MOVES ? count : MAX_ROOT_MOVES;
    for (int i = 0; i < allowedRootMoveCount; ++i) allowedRootMoves[i] = moves[i];
}

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

int rootSearch(RootMove* rootMoves, int count, int iteration, int depth, int alpha, int beta, PvLine* line,
               int mateScore, bool nullAllowed, bool checkExtended, bool inReduction, int tbMen) {
    int best = alpha;
    Move bestMove = 0;
    bool noLegalMove = true;
    PvLine child;
    for (int i = 0; i < count; ++i) {
        RootMove& root = rootMoves[i];
        child.count = 0;
        if (!helperThread) noteRootMove(root.move, rootMovesBefore + i + 1, iteration);
        makeMove(root.move);
        if (opponentInCheck()) {
            takeBack();
            continue;
        }
        const int score = -alphaBetaSearch(iteration, depth - 1, -beta, -best, &child, mateScore - 1, nullAllowed,
                                           checkExtended, inReduction, tbMen);
        takeBack();
        // A stopped search's score means nothing; what was found before the stop stands.
        if (searchStopped()) return best;
        root.searchScore = score;
        noLegalMove = false;
        if (score > best) {
            addHistory(root.move, depth * depth);
            if (score >= beta) {
                if (!helperThread) failHighMove = root.move;
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
            return -mateScore;
        }
    }
    const bool raised = best > alpha;
    const Move stored = raised ? bestMove : (count > 0 ? rootMoves[count - 1].move : 0);
    storeHash(iteration, depth, best, raised ? BOUND_EXACT : BOUND_UPPER, stored);
    return best;
}

int formatThinking(char* text, int size, int depth, int score) {
    SearchInfo.time = elapsedCentiseconds();
    const int64_t nodes = searchNodes();
    return std::snprintf(text, static_cast<size_t>(size), "%2d %6d %6d %10ld ", depth, score,
                         static_cast<int>(SearchInfo.time), static_cast<long>(nodes));
}

int formatLine(char* text, const PvLine* line) {
    static constexpr char PromotionLetters[] = "  nbrq";
    int length = 0;
    unsigned colour = currentPosition().colour;
    const int n = line->count < MAX_PV ? line->count : MAX_PV;
    for (int i = 0; i < n; ++i) {
        const Move m = line->argmove[i];
        if (m == 0) continue;
        const int from = moveFrom(m);
        const int to = moveTo(m);
        const int flip = colour != 0 ? 7 : 0;
        text[length++] = static_cast<char>('a' + (from & 7));
        text[length++] = static_cast<char>('1' + ((from >> 3) ^ flip));
        text[length++] = static_cast<char>('a' + (to & 7));
        text[length++] = static_cast<char>('1' + ((to >> 3) ^ flip));
        const int promotion = movePromotion(m);
        if (promotion >= 2 && promotion <= 5) text[length++] = PromotionLetters[promotion];
        text[length++] = ' ';
        colour ^= 1u;
    }
    text[length++] = '\n';
    text[length] = '\0';
    return length;
}

int formatUciInfo(char* text, int size, int depth, int score, int kind, int multipv) {
    char value[40];
    if (score > MATE_THRESHOLD)
        std::snprintf(value, sizeof value, "mate %d", (MATE_SCORE + 1 - score) / 2);
    else if (score < -MATE_THRESHOLD)
        std::snprintf(value, sizeof value, "mate %d", -((score + MATE_SCORE) / 2));
    else
        std::snprintf(value, sizeof value, "cp %d", score);
    if (kind != SCORE_EXACT) std::strcat(value, kind == SCORE_LOWER ? " lowerbound" : " upperbound");
    int n = std::snprintf(text, static_cast<size_t>(size), "info depth %d", depth);
    if (multipv > 0) n += std::snprintf(text + n, static_cast<size_t>(size - n), " multipv %d", multipv);
    n += std::snprintf(text + n, static_cast<size_t>(size - n), " score %s", value);
    n += formatProgress(text + n, size - n, depth);
    return n + std::snprintf(text + n, static_cast<size_t>(size - n), " pv ");
}

void printThinking(int depth, int score, const PvLine* line, int kind, int multipv) {
    std::fflush(stdout);
    char text[UCI_INFO_HEAD_SIZE + PV_TEXT_SIZE];
    if (gs_info.uciMode != 0) {
        const int head = formatUciInfo(text, UCI_INFO_HEAD_SIZE, depth, score, kind, multipv);
        const int length = head + formatLine(text + head, line);
        if (length >= 2 && text[length - 2] == ' ') std::memmove(text + length - 2, "\n", 2);
        std::fputs(text, stdout);
        return;
    }
    const int head = formatThinking(text, THINKING_HEAD_SIZE, depth, score);
    formatLine(text + head, line);
    writeOut(text);
}

void sortByScore(RootMove* rootMoves, int first, int last) {
    quickSort(rootMoves, first, last, [](const RootMove& a, const RootMove& b) { return a.score < b.score; });
}

void sortBySearchScore(RootMove* rootMoves, int first, int last) {
    quickSort(rootMoves, first, last,
              [](const RootMove& a, const RootMove& b) { return a.searchScore > b.searchScore; });
}
