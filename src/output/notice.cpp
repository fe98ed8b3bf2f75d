#include "output/notice.h"

#include <cstdarg>
#include <cstdio>

#include "state/enginestate.h"

namespace {

NoticeCapture* capture = nullptr;
std::string* captured = nullptr;

void printPrefixed(const char* prefix, const char* format, va_list args) {
    char text[512];
    const int length = std::snprintf(text, sizeof text, "%s", captured != nullptr ? "" : prefix);
    std::vsnprintf(text + length, sizeof text - static_cast<size_t>(length), format, args);
    if (captured != nullptr)
        captured->append(text);
    else
        std::fputs(text, stdout);
}

}  // namespace

NoticeCapture::NoticeCapture() : outer_(capture) {
    capture = this;
    captured = &text_;
}

NoticeCapture::~NoticeCapture() {
    capture = outer_;
    captured = outer_ != nullptr ? &outer_->text_ : nullptr;
}

void printNotice(const char* format, ...) {
    va_list args;
    va_start(args, format);
    printPrefixed(gs_info.uciMode != 0 ? "info string " : "", format, args);
    va_end(args);
}

void tellUser(const char* format, ...) {
    va_list args;
    va_start(args, format);
    printPrefixed(gs_info.uciMode != 0 ? "info string " : gs_info.xboardMode != 0 ? "telluser " : "", format, args);
    va_end(args);
}
