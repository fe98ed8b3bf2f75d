#include "config/inireader.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Lines are parsed from a buffer of this size; the rest of a longer line is read and dropped,
// so the tail of a long line can never pass for a line of its own.
constexpr int LINE_SIZE = 512;

// Codes up to 32, taken as signed bytes, are blanks: controls and every byte from 128 up.
bool isBlank(char c) { return static_cast<signed char>(c) <= 32; }

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameName(const char* text, size_t length, const char* name) {
    if (std::strlen(name) != length) return false;
    for (size_t i = 0; i < length; ++i)
        if (lowerAscii(text[i]) != lowerAscii(name[i])) return false;
    return true;
}

// Reads one line (without its newline) into line; false at the end of the file.
bool readLine(FILE* f, char* line) {
    int length = 0;
    int c = 0;
    bool any = false;
    while ((c = std::fgetc(f)) != EOF) {
        any = true;
        if (c == '\n') break;
        if (length < LINE_SIZE - 1) line[length++] = static_cast<char>(c);
    }
    line[length] = '\0';
    return any;
}

const char* skipBlanks(const char* p) {
    while (*p != '\0' && isBlank(*p)) ++p;
    return p;
}

bool findSection(FILE* f, const char* section, char* line) {
    while (readLine(f, line)) {
        const char* p = skipBlanks(line);
        if (*p != '[') continue;
        const char* close = std::strchr(p + 1, ']');
        if (close == nullptr) continue;
        if (sameName(p + 1, static_cast<size_t>(close - p - 1), section)) return true;
    }
    return false;
}

// Leaves the raw value of the key's line (after the separator, leading blanks skipped) in value.
bool findKey(FILE* f, const char* key, char* line, const char** value) {
    while (readLine(f, line)) {
        const char* start = skipBlanks(line);
        if (*start == '[') return false;
        if (*start == ';' || *start == '#') continue;
        const char* separator = std::strchr(start, '=');
        if (separator == nullptr) separator = std::strchr(start, ':');
        if (separator == nullptr) continue;
        const char* end = separator;
        while (end > start && isBlank(end[-1])) --end;
        if (sameName(start, static_cast<size_t>(end - start), key)) {
            *value = skipBlanks(separator + 1);
            return true;
        }
    }
    return false;
}

// Cuts the comment and trailing blanks; strips enclosing quotes. Returns the value's length.
size_t cleanValue(char* value, bool* dequote) {
    bool inQuotes = false;
    char* p = value;
    for (; *p != '\0'; ++p) {
        if (*p == '\\' && p[1] == '"') {
            ++p;
        } else if (*p == '"') {
            if (p[1] == '"')
                ++p;
            else
                inQuotes = !inQuotes;
        } else if ((*p == ';' || *p == '#') && !inQuotes) {
            break;
        }
    }
    *p = '\0';
    size_t length = static_cast<size_t>(p - value);
    while (length > 0 && isBlank(value[length - 1])) value[--length] = '\0';
    *dequote = length >= 2 && value[0] == '"' && value[length - 1] == '"';
    if (*dequote) {
        value[length - 1] = '\0';
        std::memmove(value, value + 1, length - 1);
        length -= 2;
    }
    return length;
}

// Finds the key and leaves its cleaned value in line; false when there is none.
bool lookUp(const char* section, const char* key, const char* fileName, char* line, const char** value, bool* dequote) {
    if (key == nullptr || fileName == nullptr) return false;
    FILE* f = std::fopen(fileName, "rb");
    if (f == nullptr) return false;
    bool found =
        (section == nullptr || *section == '\0' || findSection(f, section, line)) && findKey(f, key, line, value);
    std::fclose(f);
    if (!found) return false;
    cleanValue(const_cast<char*>(*value), dequote);
    return true;
}

int copyOut(const char* source, bool dequote, char* buffer, int size) {
    int n = 0;
    for (const char* p = source; *p != '\0' && n < size - 1; ++p) {
        if (dequote && ((p[0] == '\\' && p[1] == '"') || (p[0] == '"' && p[1] == '"'))) ++p;
        buffer[n++] = *p;
    }
    buffer[n] = '\0';
    return n;
}

}  // namespace

int iniGetString(const char* section, const char* key, const char* defaultValue, char* buffer, int size,
                 const char* fileName) {
    if (buffer == nullptr || key == nullptr || size < 1) return 0;
    char line[LINE_SIZE];
    const char* value = nullptr;
    bool dequote = false;
    if (lookUp(section, key, fileName, line, &value, &dequote)) return copyOut(value, dequote, buffer, size);
    return copyOut(defaultValue != nullptr ? defaultValue : "", false, buffer, size);
}

int32_t iniGetInteger(const char* section, const char* key, int32_t defaultValue, const char* fileName) {
    char text[64];
    if (iniGetString(section, key, "", text, sizeof text, fileName) == 0) return defaultValue;
    bool hex = text[1] == 'x' || text[1] == 'X';
    errno = 0;
    long long n = std::strtoll(text, nullptr, hex ? 16 : 10);
    if (n > INT32_MAX) return INT32_MAX;
    if (n < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(n);
}

int iniGetBool(const char* section, const char* key, int defaultValue, const char* fileName) {
    char text[2];
    if (iniGetString(section, key, "", text, sizeof text, fileName) == 0) return defaultValue;
    switch (text[0]) {
    case '1':
    case 'y':
    case 'Y':
    case 't':
    case 'T': return 1;
    case '0':
    case 'n':
    case 'N':
    case 'f':
    case 'F': return 0;
    default: return defaultValue;
    }
}
