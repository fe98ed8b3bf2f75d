#include "search/thinkingline.h"

#include <cstdio>
#include <cstring>

#include "board/movetext.h"
#include "board/position.h"
#include "clock/searchclock.h"
#include "output/gamelog.h"
#include "search/nodecount.h"
#include "search/progress.h"
#include "search/scores.h"
#include "state/searchinfo.h"

namespace {

// One call per line: the polling thread writes to the same stream, and a line written in
// pieces could be split by one of its lines.
void writeOut(const char* text) {
    std::fputs(text, stdout);
    logText(text);
}

int formatUciInfo(const Worker& w, char* text, int size, int depth, int score, int kind, int multipv) {
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
    n += formatProgress(w, text + n, size - n, depth);
    return n + std::snprintf(text + n, static_cast<size_t>(size - n), " pv ");
}

}  // namespace

int formatThinking(char* text, int size, int depth, int score) {
    SearchInfo.time = elapsedCentiseconds();
    const int64_t nodes = searchNodes();
    return std::snprintf(text, static_cast<size_t>(size), "%2d %6d %6d %10ld ", depth, score,
                         static_cast<int>(SearchInfo.time), static_cast<long>(nodes));
}

int formatLine(char* text, const PvLine* line) {
    int length = 0;
    int colour = static_cast<int>(currentPosition().colour);
    const int n = line->count < MAX_PV ? line->count : MAX_PV;
    for (int i = 0; i < n; ++i) {
        const Move m = line->argmove[i];
        if (m == 0) continue;
        char name[8];
        moveToTextForColour(name, m, colour);
        const int letters = name[4] != ' ' ? 5 : 4;
        for (int k = 0; k < letters; ++k) text[length++] = name[k];
        text[length++] = ' ';
        colour ^= 1;
    }
    text[length++] = '\n';
    text[length] = '\0';
    return length;
}

void printThinking(const Worker& w, int depth, int score, const PvLine* line, int kind, int multipv) {
    std::fflush(stdout);
    char text[UCI_INFO_HEAD_SIZE + PV_TEXT_SIZE];
    if (w.limits->output == SearchOutput::Uci) {
        const int head = formatUciInfo(w, text, UCI_INFO_HEAD_SIZE, depth, score, kind, multipv);
        const int length = head + formatLine(text + head, line);
        if (length >= 2 && text[length - 2] == ' ') std::memmove(text + length - 2, "\n", 2);
        std::fputs(text, stdout);
        return;
    }
    const int head = formatThinking(text, THINKING_HEAD_SIZE, depth, score);
    formatLine(text + head, line);
    writeOut(text);
}
