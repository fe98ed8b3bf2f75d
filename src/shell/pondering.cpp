#include "shell/pondering.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "board/movetext.h"
#include "board/position.h"
#include "platform/lineinput.h"
#include "platform/process.h"
#include "state/searchinfo.h"
#include "shell/commandtext.h"
#include "shell/gamesearch.h"
#include "shell/polling.h"
#include "state/enginestate.h"
#include "clock/timemanagement.h"

Relaxed<int> phaseEnd{PHASE_RUNNING};

namespace {

// Set by the protocol loop before the threads start: a usermove during analysis is never a ponder hit.
bool analysisPhase = false;
// A "cores" read while the phase runs: the running search may not have started its helpers yet,
// so the number waits for the phase's end (0 for none).
int heldThreads = 0;

void printSearchResult(const char* phase) {
    char text[8];
    moveToText(text, gs_info.bestmove, &currentPosition());
    std::printf("gs_info.bestmove dopo %s: %s\n", phase, text);
}

// The line waits for the protocol loop; the search stops first.
void handOver() {
    gs_info.pendingCommand = 1;
    gs_info.stop = 1;
    phaseEnd = PHASE_PENDING;
}

// A promotion letter (or its absence) must match as well: a different piece is a different move.
bool samePonderMove(const char* played, const char* expected) {
    if (std::strncmp(played, expected, 4) != 0) return false;
    char a = std::strlen(played) > 4 ? played[4] : ' ';
    char b = std::strlen(expected) > 4 ? expected[4] : ' ';
    return (a == '\0' ? ' ' : a) == (b == '\0' ? ' ' : b);
}

void ponderTest(const char* line) {
    const char* played = textFrom(line, 9);
    std::printf("#DEBUG usermove:       %s\n", played);
    std::printf("#DEBUG ponderMoveStr:  %s\n", gs_info.ponderMoveStr);
    if (analysisPhase || !samePonderMove(played, gs_info.ponderMoveStr)) {
        std::printf("#DEBUG Caso 2 - usermove <> pondermove\n");
        handOver();
        std::printf("#DEBUG usermove %s\n", line);
        return;
    }
    std::printf("#DEBUG Caso 1 - usermove =  pondermove\n");
    if (SearchInfo.depth < gs_info.safePly) {
        gs_info.pendingCommand = 0;
        phaseEnd = PHASE_PONDER_HIT;
        allocateTimeOnPonderHit();
    } else {
        handOver();
    }
}

void failedThread(int which) {
    std::printf("#DEBUG Errore nella creazione del thread %d\n", which);
    std::fflush(stdout);
}

}  // namespace

void ponderThread() {
    std::printf("#DEBUG Start thread pondering\n");
    gs_info.bestmove = thinkInThread();
    printSearchResult("Pondering");
    std::printf("#DEBUG End thread pondering\n");
}

void analyzeThread() {
    std::printf("#DEBUG Start thread analyze\n");
    gs_info.bestmove = thinkInThread();
    printSearchResult("Analyze");
    std::printf("#DEBUG End thread analyze\n");
}

void poll_exit2(char* pendingBuffer) {
    std::printf("#DEBUG Start thread poll_exit2\n");
    char line[COMMAND_SIZE];
    for (;;) {
        if (!readCommandLine(line)) {
            // The interface is gone: stop and let the protocol loop quit.
            std::strcpy(pendingBuffer, "quit");
            handOver();
            break;
        }
        spellAsUserMove(line, sizeof line);
        std::strcpy(pendingBuffer, line);
        if (isLine(line, "exit")) {
            std::printf("#DEBUG exit from Analyze or Pondering\n");
            gs_info.engineSide = 99;
            gs_info.stop = 1;
            phaseEnd = PHASE_STOPPED;
            break;
        }
        if (startsWith(line, "time")) {
            readClock(line, TimeControl.time, "time");
            if (gs_info.stop == 1) break;
            continue;
        }
        if (startsWith(line, "otim")) {
            readClock(line, TimeControl.otim, "otim");
            if (gs_info.stop == 1) break;
            continue;
        }
        if (startsWith(line, "cores")) {  // for the next search: this one goes on
            readCores(line, &heldThreads);
            continue;
        }
        if (startsWith(line, "usermove")) {
            ponderTest(line);
            break;
        }
        if (isLine(line, "new")) {
            // The reset waits for the protocol loop: the search may still be on the stack.
            gs_info.ponder = 0;
            handOver();
            break;
        }
        if (startsWith(line, "easy")) {
            gs_info.stop = 1;
            gs_info.ponder = 0;
            phaseEnd = PHASE_STOPPED;
            break;
        }
        if (isLine(line, "go")) {
            handOver();
            std::printf("#DEBUG Lato computer prima della modifica = %i\n", gs_info.engineSide.load());
            gs_info.engineSide = gs_info.engineSide == 0 ? 1 : 0;
            std::printf("#DEBUG Lato computer dopo la modifica = %i\n", gs_info.engineSide.load());
            break;
        }
        // While pondering, the hint is the move pondered on; an analysis has none to give.
        if (isLine(line, "hint")) {
            if (!analysisPhase)
                std::printf("Hint: %.*s\n", static_cast<int>(std::strcspn(gs_info.ponderMoveStr, " ")),
                            gs_info.ponderMoveStr);
            if (gs_info.stop == 1) break;
            continue;
        }
        if (line[0] == '\0' || (analysisPhase && isLine(line, "."))) {
            if (line[0] != '\0') std::printf("#DEBUG stat\n");
            if (gs_info.stop == 1) break;
            continue;
        }
        // Everything else (quit, force, ping, setboard, ...) is the protocol loop's business.
        handOver();
        break;
    }
    std::printf("#DEBUG End thread poll_exit2\n");
}

namespace {

void runPhase(char* pendingBuffer, bool analysis) {
    analysisPhase = analysis;
    phaseEnd = PHASE_RUNNING;
    heldThreads = 0;
    std::thread search;
    std::thread polling;
    if (!startThread(search, analysis ? analyzeThread : ponderThread)) {
        failedThread(1);
        std::exit(1);
    }
    if (!startThread(polling, [pendingBuffer] { poll_exit2(pendingBuffer); })) {
        failedThread(2);
        gs_info.stop = 1;
        search.join();
        std::exit(1);
    }
    if (analysis) {
        search.join();
        polling.join();
    } else {
        polling.join();
        search.join();
    }
    if (heldThreads != 0) gs_info.threads = heldThreads;
}

}  // namespace

void runPondering(char* pendingBuffer) {
    runPhase(pendingBuffer, false);
    std::printf("#DEBUG End pondering\n");
}

void runAnalysis(char* pendingBuffer) { runPhase(pendingBuffer, true); }

void pollInput() {
    char line[COMMAND_SIZE];
    if (!readCommandLine(line)) {
        gs_info.engineSide = 99;
        gs_info.stop = 1;
        return;
    }
    if (isLine(line, "exit")) {
        std::printf("#DEBUG exit da polling\n");
        gs_info.engineSide = 99;
        gs_info.stop = 1;
    } else if (startsWith(line, "st")) {
        int n = 0;
        if (readMoveTime(line, &n)) {
            std::printf("#DEBUG movetime:%d\n", n);
        } else {
            std::printf("Error (movetime out of bound): Insert movetime > 0 \n");
            std::printf("tellusererror Error (movetime out of bound): Insert movetime > 0 \n");
        }
    }
}
