#pragma once
// The shared test positions the evaluation tests sweep over.
#include <string>
#include <vector>

#include "support/test_support.h"

// The bratko-kopec positions, those of perft-tricky and the first `randomLimit` of perft-random
// (four FEN fields each); empty when the files are missing.
inline std::vector<std::string> evalTestPositions(size_t randomLimit) {
    std::vector<std::string> result = readEpd("testdata/bratko-kopec.epd");
    for (const PerftCase& c : readPerftFile(sharedPath("testdata/perft-tricky.perft"))) result.push_back(c.fen);
    size_t taken = 0;
    for (const PerftCase& c : readPerftFile(sharedPath("testdata/perft-random.perft"))) {
        if (taken++ == randomLimit) break;
        result.push_back(c.fen);
    }
    return result;
}
