#include "shell/startup.h"

#include <cstdio>
#include <cstring>

#include "board/position.h"
#include "board/startposition.h"
#include "config/settings.h"
#include "platform/lineinput.h"
#include "platform/process.h"
#include "shell/console.h"
#include "state/enginestate.h"
#include "shell/tables.h"
#include "shell/uci.h"
#include "shell/xboard.h"

int runEngine() {
    gs_info.gameResult = 0;
    gs_info.engineSide = 99;
    setUpProcessStreamsAndSignals();
    loadIni(settingsFile());
    resetToStartPosition();
    std::printf("quintarex chess engine by Mervaldin\n");
    std::printf("version 0.10\n");
    std::printf("enter 'console' for console mode...\n");

    char line[COMMAND_SIZE];
    while (readCommandLine(line)) {
        std::fflush(stdout);
        if (line[0] == '\0') continue;
        if (std::strncmp(line, "xboard", 6) == 0) {
            gs_info.xboardMode = 1;
            xboardLoop();
            return 0;
        }
        if (std::strncmp(line, "quit", 4) == 0) return 0;
        if (std::strncmp(line, "uci", 3) == 0) {
            uciLoop();
            return 0;
        }
        if (line[0] == 'c') {
            gs_info.xboardMode = 0;
            setUpTables();
            consoleLoop();
            return 0;
        }
    }
    return 0;  // end of input before a mode was chosen
}
