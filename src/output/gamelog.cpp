#include "output/gamelog.h"

#include <cstdarg>
#include <cstdio>

#include "state/enginestate.h"

namespace {
FILE* gameLog = nullptr;

bool logging() { return gs_info.logGame == 1 && gameLog != nullptr; }
}  // namespace

void openGameLog() {
    closeGameLog();
    if (gs_info.logGame != 1) return;
    gameLog = std::fopen(gs_info.logFile, "a");
    if (gameLog == nullptr) std::perror(gs_info.logFile);
}

void logText(const char* text) {
    if (!logging()) return;
    std::fputs(text, gameLog);
    std::fflush(gameLog);
}

void logPrintf(const char* format, ...) {
    if (!logging()) return;
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    logText(text);
}

bool gameLogOpen() { return gameLog != nullptr; }

void closeGameLog() {
    if (gameLog == nullptr) return;
    std::fclose(gameLog);
    gameLog = nullptr;
}
