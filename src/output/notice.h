#pragma once
#include <string>


// A message for the person behind the interface, one whole line: as it stands in the xboard
// protocol and the console, as "info string ..." in UCI mode, where a bare line means nothing.
void printNotice(const char* format, ...) __attribute__((format(printf, 1, 2)));
// A message the interface shows its user in a window or status line: "telluser ..." in the
// xboard protocol, "info string ..." in UCI, as it stands in the console.
void tellUser(const char* format, ...) __attribute__((format(printf, 1, 2)));

// While one exists, notices are kept in it instead of being printed: a library caller (the
// tools) shows them in its own way. One at a time, on the thread that sets up the tables.
class NoticeCapture {
public:
    NoticeCapture();
    ~NoticeCapture();
    NoticeCapture(const NoticeCapture&) = delete;
    NoticeCapture& operator=(const NoticeCapture&) = delete;
    const std::string& text() const { return text_; }

private:
    std::string text_;
    NoticeCapture* outer_;
};
