#include "shell/notice.h"

#include <cstdarg>
#include <cstdio>

#include "shell/state.h"

void printNotice(const char* format, ...) {
    char text[512];
    const int prefix = gs_info.uciMode != 0 ? std::snprintf(text, sizeof text, "info string ") : 0;
    va_list args;
    va_start(args, format);
    std::vsnprintf(text + prefix, sizeof text - static_cast<size_t>(prefix), format, args);
    va_end(args);
    std::fputs(text, stdout);
}
