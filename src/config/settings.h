#pragma once

// The INI file read at start-up and by the console's "ini".
constexpr const char* INI_FILE_NAME = "quintarex.ini";

// Reads every setting from the file into gs_info and TimeControl (defaults for missing or
// out-of-range values) and opens the game log when logging is on.
void loadIni(const char* fileName);

// Prints the current settings (console "param").
void printParams();
