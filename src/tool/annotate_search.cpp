// The annotation's calls into the search: a limits value in, the result read back, with the
// scores turned to White's view.
#include "tool/annotate_search.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdio>
#include <cstring>

#include "board/makemove.h"
#include "board/movegen.h"
#include "board/movetext.h"
#include "board/position.h"
#include "board/san.h"
#include "eval/pawnhash.h"
#include "platform/clock.h"
#include "output/notice.h"
#include "search/scores.h"
#include "search/search.h"
#include "search/transposition.h"
#include "state/enginestate.h"
#include "tablebase/tablebase.h"

namespace {

constexpr int32_t PAWN_HASH_MB = 8;

std::atomic<bool> stopRequested{false};

WhiteScore whiteScore(int score, int colour) {
    WhiteScore s;
    if (score > MATE_THRESHOLD)
        s.mate = (MATE_SCORE + 1 - score) / 2;
    else if (score < -MATE_THRESHOLD)
        s.mate = -((score + MATE_SCORE) / 2);
    else
        s.cp = score;
    if (colour == BLACK) {
        s.cp = -s.cp;
        s.mate = -s.mate;
    }
    return s;
}

AnalysisLine lineOf(const PvLine& line, int score, int colour) {
    AnalysisLine out;
    out.score = whiteScore(score, colour);
    out.moves.assign(line.argmove, line.argmove + line.count);
    return out;
}

void setTablebaseVerdict(PositionVerdict& verdict) {
    const int men = popCount(currentPosition().occupied());
    if (gs_info.syzygy == 0 || men > tbLargest()) return;
    int success = 0;
    const int wdl = tbProbeWdl(&success);
    if (!success) return;
    verdict.tablebase = true;
    const int value = wdl == 2 ? 1 : wdl == -2 ? -1 : 0;  // cursed wins and blessed losses are draws
    verdict.tablebaseWdl = currentPosition().colour == BLACK ? -value : value;
}

}  // namespace

bool prepareAnalysis(const AnalysisSettings& settings, std::string* report) {
    // The tables' own messages ("Found 35 tablebases.") are for the report line, not the output.
    NoticeCapture caught;
    allocateHash(static_cast<int32_t>(hashEntriesFor(settings.hashMb)), settings.hashMb);
    gs_info.hashSize = settings.hashMb;
    gs_info.hashEntries = static_cast<int32_t>(hashEntriesFor(settings.hashMb));
    gs_info.pawnHashSize = PAWN_HASH_MB;
    gs_info.pawnHashEntries = static_cast<int32_t>(pawnHashEntriesFor(PAWN_HASH_MB));
    allocatePawnHash();
    gs_info.syzygy = settings.syzygyPath.empty() ? 0 : 1;
    if (!settings.syzygyPath.empty()) {
        std::snprintf(gs_info.syzygyPath, sizeof gs_info.syzygyPath, "%s", settings.syzygyPath.c_str());
        tbInit(gs_info.syzygyPath);
        if (tbLargest() > 0) gs_info.syzygyMen = tbLargest();
    }
    std::string said = caught.text();
    while (!said.empty() && (said.back() == '\n' || said.back() == ' ')) said.pop_back();
    if (report) *report = said;
    if (hashTableEntries() == 0) {
        std::fprintf(stderr, "quintarex-tool annotate: no room for a %d MB hash table\n", settings.hashMb);
        return false;
    }
    return true;
}

PositionVerdict analysePosition(const AnalysisSettings& settings, bool oneMoveOn) {
    PositionVerdict verdict;
    const int colour = static_cast<int>(currentPosition().colour);
    setTablebaseVerdict(verdict);
    Move moves[MAX_CAPTURES + MAX_QUIETS];
    if (listLegalMoves(moves) == 0) {
        verdict.noMove = true;
        verdict.checkmate = inCheck() != 0;
        if (verdict.checkmate) verdict.score.cp = colour == WHITE ? -MATED_CP : MATED_CP;
        return verdict;
    }
    if (stopRequested) {
        verdict.stopped = true;
        return verdict;
    }
    SearchLimits limits;
    limits.maxDepth = settings.depth > 0 ? settings.depth : MAX_ITERATION;
    limits.nodes = settings.nodes;
    limits.time = settings.moveTimeMs > 0 ? managedTime(NO_TIME_LIMIT_MS, settings.moveTimeMs) : unlimitedTime();
    limits.threads = settings.threads;
    limits.multiPv = settings.multiPv;
    limits.useTablebases = gs_info.syzygy != 0;
    limits.tablebaseMen = gs_info.syzygyMen;
    limits.keepTable = oneMoveOn;
    if (oneMoveOn) shiftMateScores(1);
    gs_info.stop = 0;
    gs_info.startTime = currentTimeMs();
    const SearchResult result = think(limits);
    if (stopRequested) {
        verdict.stopped = true;
        return verdict;
    }
    if (result.lineCount > 1) {
        for (int k = 0; k < result.lineCount; ++k)
            verdict.lines.push_back(lineOf(result.lines[k].line, result.lines[k].score, colour));
    } else {
        verdict.lines.push_back(lineOf(result.line, result.score, colour));
    }
    // A search stopped before its first iteration ended has its move and no line for it.
    if (verdict.lines[0].moves.empty() || verdict.lines[0].moves[0] != result.move) {
        verdict.lines[0].moves.assign(1, result.move);
        if (!result.completed) verdict.lines[0].score = WhiteScore{};
    }
    verdict.best = result.move;
    verdict.score = verdict.lines[0].score;
    verdict.depth = result.depth;
    verdict.nodes = result.nodes;
    return verdict;
}

void stopAnalysis() {
    stopRequested = true;
    gs_info.stop = 1;
}

bool analysisStopped() { return stopRequested; }

int tablebaseMen() { return gs_info.syzygy != 0 ? tbLargest() : 0; }
