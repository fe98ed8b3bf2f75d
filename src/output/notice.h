#pragma once

// A message for the person behind the interface, one whole line: as it stands in the xboard
// protocol and the console, as "info string ..." in UCI mode, where a bare line means nothing.
void printNotice(const char* format, ...) __attribute__((format(printf, 1, 2)));
// A message the interface shows its user in a window or status line: "telluser ..." in the
// xboard protocol, "info string ..." in UCI, as it stands in the console.
void tellUser(const char* format, ...) __attribute__((format(printf, 1, 2)));
