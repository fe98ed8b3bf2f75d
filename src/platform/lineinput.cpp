#include "platform/lineinput.h"

#include <cstdio>

bool readCommandLine(char* line) {
    int length = 0;
    int c = 0;
    bool any = false;
    while ((c = std::getchar()) != EOF) {
        any = true;
        if (c == '\n') break;
        if (length < COMMAND_SIZE - 1) line[length++] = static_cast<char>(c);
    }
    if (length > 0 && line[length - 1] == '\r') --length;
    line[length] = '\0';
    return any;
}
