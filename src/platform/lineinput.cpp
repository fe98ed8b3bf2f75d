#include "platform/lineinput.h"

#include <cstdio>

bool readLongLine(char* line, int size, bool* overlong) {
    int length = 0;
    int c = 0;
    bool any = false;
    bool dropped = false;
    while ((c = std::getchar()) != EOF) {
        any = true;
        if (c == '\n') break;
        if (length < size - 1)
            line[length++] = static_cast<char>(c);
        else if (c != '\r')
            dropped = true;
    }
    if (length > 0 && line[length - 1] == '\r') --length;
    line[length] = '\0';
    if (overlong != nullptr) *overlong = dropped;
    return any;
}

bool readCommandLine(char* line) { return readLongLine(line, COMMAND_SIZE); }
