#pragma once

// The game log: the only code that touches its stream. Every write is one call followed by a
// flush, so a line is whole in the file even if the engine is killed right after.

// Closes any open log and, when logging is on, opens gs_info.logFile for appending (a file
// that cannot be opened is reported and logging then writes nothing).
void openGameLog();
// Writes to the game log when logging is on and the log is open; otherwise nothing.
void logText(const char* text);
void logPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
// True while the log is open.
bool gameLogOpen();
// Closes the game log; later writes are dropped until the INI file is read again.
void closeGameLog();
