#pragma once
// Several games judged at once, each in a worker process of its own: the search's records and
// tables are the process's, so a second game at the same time needs a second process.
#include <cstddef>
#include <functional>
#include <vector>

#include "tool/annotation.h"
#include "tool/pgnreader.h"

struct JobReports {
    std::function<void(size_t game, int analysed)> progress;  // positions of that game done so far
    std::function<void(size_t game, GameJudgement&& judged)> judged;  // in the order games finish
};

// Judges every game over `jobs` workers (each with its own table, of the size the settings give,
// and its own search threads). After an interrupt no game is started and the workers' running
// games come back unfinished. A game whose worker ended without handing it back is reported on
// standard error and left out; false then.
bool judgeGamesInWorkers(const std::vector<PgnGame>& games, const AnnotationSettings& settings, int jobs,
                         const JobReports& reports);
