#pragma once
// The report of an annotation: an index page and one page per game, self-contained HTML with the
// evaluation graph and a diagram for every marked move.
#include <string>
#include <vector>

#include "tool/annotation.h"
#include "tool/pgnreader.h"

struct ReportGame {
    PgnGame game;
    GameJudgement judged;
};

// Writes DIR/index.html and DIR/game-001.html...; false (with a message) when it cannot.
bool writeReport(const std::string& dir, const std::string& source, const std::vector<ReportGame>& games);
// One game's page, and the index (for the tests).
std::string gamePage(const ReportGame& game, int number, int count);
std::string indexPage(const std::string& source, const std::vector<ReportGame>& games);
