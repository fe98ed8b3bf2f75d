#pragma once
#include <cstddef>
#include <cstdint>

// Single-value lookups in an INI file. Every call opens the file, scans it from the start and
// closes it again. An empty or null section means the lines before the first section header.
// A missing file, section or key gives the default.

// Copies the value (or the default) into buffer, cut to size - 1 characters and terminated.
// Returns the length copied; 0 without copying when size < 1 or key or buffer is null.
int iniGetString(const char* section, const char* key, const char* defaultValue, char* buffer, int size,
                 const char* fileName);

// Decimal, or hexadecimal when the second character is x or X. Trailing text is ignored; text
// without digits gives 0; an empty value gives the default. Saturates at the int32 range.
int32_t iniGetInteger(const char* section, const char* key, int32_t defaultValue, const char* fileName);

// 1 for a value beginning with 1 y Y t T, 0 for 0 n N f F, the default otherwise.
int iniGetBool(const char* section, const char* key, int defaultValue, const char* fileName);
