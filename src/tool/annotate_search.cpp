// A temporary adapter: the search is called through its process-wide settings (gs_info,
// TimeControl) and its printed thinking lines, which are caught from standard output while it
// runs. When the search can be called with a limits value and hands back its result, this file
// alone changes.
#include "tool/annotate_search.h"

#include <unistd.h>

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
#include "search/search.h"
#include "search/transposition.h"
#include "shell/state.h"
#include "tablebase/tablebase.h"

namespace {

// Centiseconds: long enough never to stop a search.
constexpr int32_t NO_TIME_LIMIT = INT32_MAX / 4;
constexpr int32_t PAWN_HASH_MB = 8;
// The search's scores: mate at the root and the start of the mate range.
constexpr int MATE_SCORE = 70000;
constexpr int MATE_THRESHOLD = 68999;

std::atomic<bool> stopRequested{false};

// Standard output of the search while it runs, caught in a scratch file.
class CaughtOutput {
public:
    CaughtOutput() {
        std::fflush(stdout);
        file_ = std::tmpfile();
        saved_ = dup(STDOUT_FILENO);
        if (file_ && saved_ >= 0) dup2(fileno(file_), STDOUT_FILENO);
    }
    ~CaughtOutput() { restore(); }
    std::string text() {
        restore();
        std::string out;
        if (!file_) return out;
        std::rewind(file_);
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file_)) > 0) out.append(buffer, n);
        return out;
    }

private:
    void restore() {
        if (saved_ < 0) return;
        std::fflush(stdout);
        dup2(saved_, STDOUT_FILENO);
        close(saved_);
        saved_ = -1;
    }
    FILE* file_ = nullptr;
    int saved_ = -1;
};

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

// The legal move of the current position written `text` in coordinates, or 0.
Move moveOfText(const char* text) {
    Move moves[MAX_CAPTURES + MAX_QUIETS];
    const int count = listLegalMoves(moves);
    for (int i = 0; i < count; ++i) {
        char name[8];
        moveToText(name, moves[i], &currentPosition());
        if (name[4] == ' ') name[4] = '\0';
        if (std::strcmp(name, text) == 0) return moves[i];
    }
    return 0;
}

// A thinking line "depth score time nodes moves...": the moves as words, played out to check them.
bool readThinkingLine(const char* text, int colour, int* depth, AnalysisLine* line) {
    int score = 0, offset = 0;
    long time = 0, nodes = 0;
    if (std::sscanf(text, "%d %d %ld %ld%n", depth, &score, &time, &nodes, &offset) != 4) return false;
    line->score = whiteScore(score, colour);
    line->moves.clear();
    const char* at = text + offset;
    char word[16];
    int used = 0, made = 0;
    while (std::sscanf(at, "%15s%n", word, &used) == 1) {
        at += used;
        const Move m = stackNearlyFull() ? 0 : moveOfText(word);
        if (m == 0) break;
        line->moves.push_back(m);
        makeMoveLight(m);
        ++made;
    }
    for (; made > 0; --made) takeBack();
    return !line->moves.empty();
}

void parseThinking(const std::string& output, int colour, int wanted, PositionVerdict& verdict) {
    std::vector<AnalysisLine> lines;
    int lastDepth = -1;
    size_t start = 0;
    while (start < output.size()) {
        size_t end = output.find('\n', start);
        if (end == std::string::npos) end = output.size();
        const std::string row = output.substr(start, end - start);
        start = end + 1;
        AnalysisLine line;
        int depth = 0;
        if (!readThinkingLine(row.c_str(), colour, &depth, &line)) continue;
        // Each completed depth shows its lines best first; a deeper line starts a new set.
        if (depth != lastDepth) lines.clear();
        lastDepth = depth;
        lines.push_back(std::move(line));
    }
    // A depth searched again after its score left the window shows a line each time: the last ones hold.
    if (static_cast<int>(lines.size()) > wanted) lines.erase(lines.begin(), lines.end() - wanted);
    verdict.lines = std::move(lines);
    verdict.depth = lastDepth > 0 ? lastDepth : 0;
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
    CaughtOutput caught;
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

PositionVerdict analysePosition(const AnalysisSettings& settings) {
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
    gs_info.stop = 0;
    if (stopRequested) {
        verdict.stopped = true;
        return verdict;
    }
    gs_info.threads = settings.threads;
    gs_info.multiPv = settings.multiPv;
    gs_info.minDepth = 1;
    gs_info.maxDepth = settings.depth > 0 ? settings.depth : 64;
    gs_info.nodeLimit = settings.nodes;
    gs_info.mateLimit = 0;
    gs_info.postThinking = 1;
    gs_info.analyzeMode = 0;
    gs_info.uciMode = 0;
    gs_info.xboardMode = 0;
    gs_info.limitStrength = 0;
    gs_info.logGame = 0;
    const int32_t centiseconds = settings.moveTimeMs > 0 ? std::max(1, settings.moveTimeMs / 10) : NO_TIME_LIMIT;
    TimeControl.moveTime = centiseconds;
    TimeControl.allocatedTime = centiseconds;
    gs_info.startTime = currentTimeMs();
    setSearchMoves(nullptr, 0);

    std::string output;
    Move best = 0;
    {
        CaughtOutput caught;
        best = think();
        output = caught.text();
    }
    if (stopRequested) {
        verdict.stopped = true;
        return verdict;
    }
    parseThinking(output, colour, std::max(1, settings.multiPv), verdict);
    if (verdict.lines.empty() || verdict.lines[0].moves.empty() || verdict.lines[0].moves[0] != best) {
        // No line printed for the move played (a search stopped before its first iteration ended).
        AnalysisLine line;
        line.moves.push_back(best);
        for (int i = 1; i < gs_lineH.count && gs_lineH.argmove[0] == best; ++i) line.moves.push_back(gs_lineH.argmove[i]);
        if (!verdict.lines.empty()) line.score = verdict.lines[0].score;
        verdict.lines.insert(verdict.lines.begin(), std::move(line));
    }
    verdict.best = best;
    verdict.score = verdict.lines[0].score;
    verdict.nodes = lastSearchNodes;
    return verdict;
}

void stopAnalysis() {
    stopRequested = true;
    gs_info.stop = 1;
}

bool analysisStopped() { return stopRequested; }

int tablebaseMen() { return gs_info.syzygy != 0 ? tbLargest() : 0; }
