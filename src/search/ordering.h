#pragma once
#include <cstdint>

#include "board/movegen.h"
#include "board/types.h"
#include "search/worker.h"

// History values stop growing here, far below the 32-bit limit.
constexpr int32_t HISTORY_LIMIT = 1 << 30;

void clearHistory(Worker& w);
void clearKillers(Worker& w);
inline int32_t historyValue(const Worker& w, Move m) { return w.history[moveFrom(m)][moveTo(m)]; }
// Adds bonus to the move's history value, saturating at HISTORY_LIMIT.
void addHistory(Worker& w, Move m, int32_t bonus);
void updateKillers(Worker& w, int depth, Move m);

// What a node's last look for a killer found: when neither killer was in its list, neither can
// be there later while the killers stay the same moves, since the list only loses entries.
struct KillerScan {
    Move first = 0;
    Move second = 0;
    bool absent = false;
};
// Moves the first entry equal to a killer of this depth to the end of the list; false if none.
bool pickKiller(const Worker& w, int depth, QuietList* list, KillerScan* scan);
// A node's copy of its quiet moves' history values, entry for entry, kept while no search below
// it changes the history (below depth 2 none does).
struct HistoryOrder {
    alignas(32) int32_t values[MAX_QUIETS];
    uint32_t changes = 0;  // the worker's historyChanges when the values were read
    bool filled = false;
};
// Moves a move with high history towards the end of the list (the next one to try). A list
// reordered in between (pickKiller) needs a fresh order.
void pickHistory(const Worker& w, QuietList* list, HistoryOrder* order);
// Removes the first entry equal to m (the last entry takes its place); false if absent.
bool removeFromQuiets(Move m, QuietList* list);
bool removeFromCaptures(Move m, CaptureList* list);
// Sorts entries first..last by ordering score, highest first.
void sortCaptures(CaptureList* list, int first, int last);
