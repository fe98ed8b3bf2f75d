#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "board/makemove.h"
#include "board/startposition.h"
#include "board/movetext.h"
#include "platform/clock.h"
#include "search/alphabeta.h"
#include "search/ordering.h"
#include "search/scores.h"
#include "search/search.h"
#include "search/thinkingline.h"
#include "search/transposition.h"
#include "shell/gamesearch.h"
#include "state/enginestate.h"
#include "state/searchinfo.h"
#include "support/test_support.h"

// Settings for a reproducible search: no tablebases, no time limit, depth from the test.
class SearchTest : public ::testing::Test {
protected:
    static constexpr int32_t HASH_ENTRIES = hashEntriesFor(16);

    void SetUp() override {
        if (hashTableEntries() != HASH_ENTRIES) stdoutOf([] { allocateHash(HASH_ENTRIES, 16); });
        gs_info.hashEntries = HASH_ENTRIES;
        gs_info.syzygy = 0;
        gs_info.threads = 1;
        gs_info.minDepth = 1;
        gs_info.postThinking = 1;
        gs_info.ponder = 1;
        gs_info.stop = 0;
        TimeControl.moveTime = INT32_MAX / 4;
        TimeControl.allocatedTime = INT32_MAX / 4;
        resetToStartPosition();
    }

    // A game search (limits from the settings) to the given depth, as if started `startedAgo`
    // ms ago; its output goes to *output, its result to lastResult.
    static Move searchTo(int depth, std::string* output, int startedAgo = 0) {
        gs_info.maxDepth = depth;
        gs_info.startTime = currentTimeMs() - startedAgo;
        *output = stdoutOf([&] { lastResult = think(gameLimits(TimePlan{})); });
        return lastResult.move;
    }

    // The tree search alone, in iteration `iteration`.
    static int search(int iteration, int depth, int alpha, int beta, int mateScore = MATE_SCORE) {
        clearHash();
        PvLine line{};
        static Worker w;
        w = Worker{};
        w.iteration = iteration;
        return alphaBetaSearch(w, depth, alpha, beta, &line, mateScore, true, false, false);
    }

    static inline SearchResult lastResult;

    static bool isLegal(Move m) { return std::ranges::count(legalMoves(), m) == 1; }

    static bool samePosition(const Position& a) { return std::memcmp(&a, &currentPosition(), sizeof a) == 0; }
};
