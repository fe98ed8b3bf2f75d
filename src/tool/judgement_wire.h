#pragma once
// A game's judgement as bytes, for a worker process to hand it back to the one that writes.
#include <string>

#include "tool/annotation.h"

std::string encodeJudgement(const GameJudgement& judged);
// False when the bytes are not a whole judgement.
bool decodeJudgement(const std::string& bytes, GameJudgement* judged);
