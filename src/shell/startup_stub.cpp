// Placeholder until the engine shell lands.
#include <cstdio>

#include "board/position.h"
#include "shell/startup.h"

int runEngine() {
    resetToStartPosition();
    std::printf("quintarex chess engine by Mervaldin\nversion 0.10\nenter 'console' for console mode...\n");
    return 0;
}
