#pragma once
#include <cstdint>

#include "board/types.h"
#include "platform/relaxed.h"

// The global engine state: settings read from the INI file, game and protocol state, and the
// flags the protocol, search and polling threads share. Scalars are relaxed atomics; the
// text fields are written only by the protocol thread while no search runs.
struct EngineState {
    Relaxed<int32_t> logGame{0};
    char logFile[100] = "quintarex.log";
    Relaxed<int32_t> book{1};
    Relaxed<int32_t> randBook{1};
    char bookFile[100] = "book.bin";
    Relaxed<int32_t> syzygy{1};
    char syzygyPath[256] = "";
    Relaxed<int32_t> syzygyMen{5};
    char opponentName[100] = "";
    Relaxed<int32_t> maxDepth{64};
    Relaxed<int32_t> minDepth{1};
    Relaxed<int32_t> hashSize{4096};
    Relaxed<int32_t> pawnHashSize{256};
    Relaxed<int32_t> hashEntries{0};
    Relaxed<int32_t> pawnHashEntries{0};
    Relaxed<int32_t> safePly{10};
    Relaxed<int32_t> postThinking{1};
    Relaxed<int32_t> gameResult{0};
    Relaxed<uint8_t> engineSide{99};
    Relaxed<int32_t> quit{0};
    Relaxed<int32_t> stop{0};
    Relaxed<int32_t> analyzeMode{0};
    Relaxed<int32_t> startTime{0};
    Relaxed<int32_t> ponder{0};
    Relaxed<Move> lastMove{0};
    Relaxed<Move> ponderMove{0};
    char ponderMoveStr[8] = "";
    Relaxed<Move> ponderBest{0};
    Relaxed<Move> bestmove{0};
    Relaxed<int32_t> pendingCommand{0};
    Relaxed<int32_t> ponderOnBoard{0};
    Relaxed<int32_t> xboardMode{0};
    Relaxed<int32_t> uciMode{0};        // 1 while the UCI loop runs
    Relaxed<int32_t> threads{1};        // search threads, the main one included; read when a search starts
    Relaxed<int32_t> multiPv{1};        // root moves a search shows, each with its line; read when a search starts
    Relaxed<int32_t> limitStrength{0};  // 1: the engine's moves are searched at the level `elo`
    Relaxed<int32_t> elo{2000};         // the level, on the calibration's scale
    Relaxed<int32_t> chess960{0};       // UCI_Chess960: castling and its text by the Chess960 rules
};
extern EngineState gs_info;

// Clocks and time-allocation parameters, all in centiseconds.
struct TimeControlState {
    Relaxed<int32_t> suddenDeath{20};
    Relaxed<int32_t> maxTime{720000};
    Relaxed<int32_t> moreTime{5};
    Relaxed<int32_t> lessTime{5};
    Relaxed<int32_t> fastGame{5};
    Relaxed<int32_t> fastOpening{105};
    Relaxed<int32_t> engineMoves{0};
    Relaxed<int32_t> moveTime{720000};
    Relaxed<int32_t> allocatedTime{720000};
    Relaxed<int32_t> movesPerSession{0};
    Relaxed<int32_t> time{720000};
    Relaxed<int32_t> otim{0};
    Relaxed<int32_t> increment{0};
    // The millisecond time manager instead of the allocation above for xboard clocks (INI TimeManager).
    Relaxed<int32_t> clockManager{0};
    Relaxed<int32_t> moveOverheadMs{30};  // milliseconds, not centiseconds: the interface's lag per move
};
extern TimeControlState TimeControl;
