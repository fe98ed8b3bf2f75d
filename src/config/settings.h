#pragma once

// The INI file read at start-up and by the console's "ini".
constexpr const char* INI_FILE_NAME = "quintarex.ini";

// The settings file to read: "quintarex.ini" in the working directory when there is one, else
// $XDG_CONFIG_HOME/quintarex/quintarex.ini (~/.config/... without it) when that exists, else
// the working directory's name again (the defaults then apply). Chosen on the first call, so
// a later "ini" re-reads the file that start-up read.
const char* settingsFile();

// Reads every setting from the file into gs_info and TimeControl (defaults for missing or
// out-of-range values) and opens the game log when logging is on.
void loadIni(const char* fileName);

// Prints the current settings (console "param").
void printParams();
