#pragma once

// A message for the person behind the interface, one whole line: as it stands in the xboard
// protocol and the console, as "info string ..." in UCI mode, where a bare line means nothing.
void printNotice(const char* format, ...) __attribute__((format(printf, 1, 2)));
