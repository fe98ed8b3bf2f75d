#pragma once
#include <cstdint>

#include "board/movegen.h"
#include "board/types.h"

constexpr int KILLER_SLOTS = 64;
// History values stop growing here, far below the 32-bit limit.
constexpr int32_t HISTORY_LIMIT = 1 << 30;

// History of quiet moves by side-relative from- and to-square; both colours share it. Each
// search thread has its own, as it has its own killers.
extern thread_local constinit int32_t History[64][64];
// Two killer moves per remaining depth: [depth][0] the first, [depth][1] the second.
extern thread_local constinit Move Killers[KILLER_SLOTS][2];

void clearHistory();
void clearKillers();
inline int32_t historyValue(Move m) { return History[moveFrom(m)][moveTo(m)]; }
// Adds bonus to the move's history value, saturating at HISTORY_LIMIT.
void addHistory(Move m, int32_t bonus);
void updateKillers(int depth, Move m);

// What a node's last look for a killer found: when neither killer was in its list, neither can
// be there later while the killers stay the same moves, since the list only loses entries.
struct KillerScan {
    Move first = 0;
    Move second = 0;
    bool absent = false;
};
// Moves the first entry equal to a killer of this depth to the end of the list; false if none.
bool pickKiller(int depth, QuietList* list, KillerScan* scan);
// Moves a move with high history towards the end of the list (the next one to try).
void pickHistory(QuietList* list);
// Removes the first entry equal to m (the last entry takes its place); false if absent.
bool removeFromQuiets(Move m, QuietList* list);
bool removeFromCaptures(Move m, CaptureList* list);
// Sorts entries first..last by ordering score, highest first.
void sortCaptures(CaptureList* list, int first, int last);
