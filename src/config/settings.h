#pragma once

#include <cstddef>

// The INI file read at start-up and by the console's "ini".
constexpr const char* INI_FILE_NAME = "quintarex.ini";

// The system-wide settings file, a conffile of the Debian package.
constexpr const char* SYSTEM_INI_FILE = "/etc/quintarex/quintarex.ini";

// The settings file to read, the first that exists of: "quintarex.ini" in the working directory,
// $XDG_CONFIG_HOME/quintarex/quintarex.ini (~/.config/... without it), the system file
// (SYSTEM_INI_FILE, or $QX_SYSTEM_INI when set); else the working directory's name again (the
// defaults then apply). Chosen on the first call, so a later "ini" re-reads the file that
// start-up read.
const char* settingsFile();

// The same choice made afresh, into chosen (size bytes).
void chooseSettingsFile(char* chosen, size_t size);

// Reads every setting from the file into gs_info and TimeControl (defaults for missing or
// out-of-range values) and opens the game log when logging is on.
void loadIni(const char* fileName);

// Prints the current settings (console "param").
void printParams();
