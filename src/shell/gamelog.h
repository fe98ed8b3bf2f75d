#pragma once

// Writes to the game log when logging is on and the log is open; otherwise nothing.
void logPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Closes the game log; later writes are dropped until the INI file is read again.
void closeGameLog();
