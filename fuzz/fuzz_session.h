#pragma once
// A whole command session for the loop targets: the engine is put back in a small, fast state
// before each input, and the input is fed to the loop as its standard input.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>

#include "board/hashkey.h"
#include "board/position.h"
#include "board/startposition.h"
#include "eval/material.h"
#include "eval/pawnhash.h"
#include "fuzz_files.h"
#include "search/transposition.h"
#include "state/enginestate.h"

// The input's lines, each passed through `edit` (which edits the line and says whether to keep it),
// then `last`: the session always ends.
template <class Edit>
std::string editLines(const uint8_t* data, size_t size, Edit edit, const char* last) {
    std::string in(reinterpret_cast<const char*>(data), size), out;
    for (size_t start = 0; start <= in.size();) {
        const size_t end = std::min(in.find('\n', start), in.size());
        std::string line = in.substr(start, end - start);
        start = end + 1;
        if (edit(line)) out += line + "\n";
    }
    return out + last + "\n";
}

// Keeps every line but the ones that would make a run slow: deeper searches and big tables are
// capped, and lines beginning with one of `dropped` are left out.
inline std::string tameCommands(const uint8_t* data, size_t size, std::initializer_list<const char*> dropped,
                                const char* last) {
    const auto edit = [&](std::string& line) {
        if (line.rfind("sd", 0) == 0) line = "sd 2";
        if (line.rfind("memory", 0) == 0) line = "memory 4";
        return std::none_of(dropped.begin(), dropped.end(), [&](const char* word) { return line.rfind(word, 0) == 0; });
    };
    return editLines(data, size, edit, last);
}

// Runs `loop` on `commands` as its standard input, its output sent nowhere; afterwards the key and
// score kept up move by move must match the ones computed from scratch.
inline void runSession(const std::string& commands, uint8_t xboardMode, void (*loop)()) {
    const std::string& path =
        writeScratchFile(reinterpret_cast<const uint8_t*>(commands.data()), commands.size(), ".txt");
    if (!std::freopen(path.c_str(), "r", stdin) || !std::freopen("/dev/null", "w", stdout)) std::abort();
    // A small, fast state: tiny tables, no book, tables or log, two-ply searches.
    gs_info.gameResult = 0;
    gs_info.engineSide = 99;
    gs_info.quit = 0;
    gs_info.stop = 0;
    gs_info.analyzeMode = 0;
    gs_info.ponder = 0;
    gs_info.pendingCommand = 0;
    gs_info.ponderOnBoard = 0;
    gs_info.xboardMode = xboardMode;
    gs_info.book = 0;
    gs_info.syzygy = 0;
    gs_info.logGame = 0;
    gs_info.maxDepth = 2;
    gs_info.hashSize = 1;
    gs_info.hashEntries = static_cast<int32_t>(hashEntriesFor(1));
    gs_info.pawnHashSize = 1;
    gs_info.pawnHashEntries = static_cast<int32_t>(pawnHashEntriesFor(1));
    resetToStartPosition();
    loop();
    if (currentPosition().key != computeHashKey() || currentPosition().score != computeMaterialScore()) std::abort();
}
