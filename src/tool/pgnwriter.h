#pragma once
// The annotated game as PGN: the file's tags, move text and comments as they were, with the
// evaluations, marks, better lines and per-game tags added.
#include <string>

#include "tool/annotation.h"
#include "tool/pgnreader.h"

// `annotator` is the Annotator tag's value. Judgements may cover only the first moves.
std::string annotatedPgn(const PgnGame& game, const GameJudgement& judged, const std::string& annotator);
