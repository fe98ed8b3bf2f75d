#include "shell/gamelog.h"

#include <cstdarg>
#include <cstdio>

#include "shell/state.h"

void logPrintf(const char* format, ...) {
    if (gs_info.logGame != 1 || gameLog == nullptr) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(gameLog, format, args);
    va_end(args);
    std::fflush(gameLog);
}

void closeGameLog() {
    if (gameLog == nullptr) return;
    std::fclose(gameLog);
    gameLog = nullptr;
}
