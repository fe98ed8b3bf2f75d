#pragma once
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "board/fen.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/movetext.h"
#include "board/position.h"
#include "platform/clock.h"
#include "search/search.h"
#include "search/searchinfo.h"
#include "search/transposition.h"
#include "shell/state.h"

// Settings for a reproducible search: no tablebases, no time limit, depth from the test.
class SearchTest : public ::testing::Test {
protected:
    static constexpr int32_t HASH_ENTRIES = (16 * 1048576) / 24;

    static void SetUpTestSuite() {
        if (hashTableEntries() != HASH_ENTRIES) {
            ::testing::internal::CaptureStdout();
            allocateHash(HASH_ENTRIES, 16);
            ::testing::internal::GetCapturedStdout();
        }
    }

    void SetUp() override {
        gs_info.hashEntries = HASH_ENTRIES;
        gs_info.syzygy = 0;
        gs_info.minDepth = 1;
        gs_info.maxDepth = 6;
        gs_info.postThinking = 1;
        gs_info.analyzeMode = 0;
        gs_info.xboardMode = 0;
        gs_info.logGame = 0;
        gs_info.ponder = 1;
        gs_info.stop = 0;
        TimeControl.moveTime = INT32_MAX / 4;
        TimeControl.allocatedTime = INT32_MAX / 4;
        gs_info.startTime = currentTimeMs();
        resetToStartPosition();
    }

    static void setPosition(const char* fen) {
        resetToStartPosition();
        ASSERT_EQ(setupFromFen(fen), 1) << fen;
    }

    // Runs think at the given depth and returns the move; the output goes to *output.
    static Move searchTo(int depth, std::string* output) {
        gs_info.maxDepth = depth;
        gs_info.stop = 0;
        gs_info.startTime = currentTimeMs();
        ::testing::internal::CaptureStdout();
        const Move move = think();
        *output = ::testing::internal::GetCapturedStdout();
        return move;
    }

    static std::string moveText(Move m) {
        char text[8];
        moveToText(text, m, &currentPosition());
        std::string s(text);
        while (!s.empty() && s.back() == ' ') s.pop_back();
        return s;
    }

    static std::vector<Move> legalMoves() {
        RootMove moves[MAX_ROOT_MOVES];
        int count = 0;
        generateRootMoves(moves, &count);
        std::vector<Move> result;
        for (int i = 0; i < count; ++i) result.push_back(moves[i].move);
        return result;
    }
};
