#pragma once

// Command lines are at most this many characters; the buffer holds one more for the NUL.
constexpr int COMMAND_SIZE = 256;

// Reads one line from standard input into line (COMMAND_SIZE bytes), without its newline and
// without a carriage return before it. A longer line keeps its first COMMAND_SIZE - 1
// characters and the rest is dropped, so it stays one command. False at the end of input
// (a last line without a newline still counts as a line).
bool readCommandLine(char* line);
// The same for a buffer of `size` bytes (UCI positions carry whole games on one line); *overlong,
// when given, tells whether characters were dropped.
bool readLongLine(char* line, int size, bool* overlong = nullptr);
