#include "search/ordering.h"

#include <utility>
#ifdef __AVX2__
#include <immintrin.h>
#endif

void clearHistory(Worker& w) {
    ++w.historyChanges;
    for (auto& row : w.history)
        for (int32_t& value : row) value = 0;
}

void clearKillers(Worker& w) {
    for (auto& slot : w.killers) slot[0] = slot[1] = 0;
}

void addHistory(Worker& w, Move m, int32_t bonus) {
    ++w.historyChanges;
    int32_t& value = w.history[moveFrom(m)][moveTo(m)];
    value = value > HISTORY_LIMIT - bonus ? HISTORY_LIMIT : value + bonus;
}

void updateKillers(Worker& w, int depth, Move m) {
    Move* slot = w.killers[depth];
    if (slot[0] == m) return;
    slot[1] = slot[0];
    slot[0] = m;
}

bool pickKiller(const Worker& w, int depth, QuietList* list, KillerScan* scan) {
    const Move first = w.killers[depth][0];
    const Move second = w.killers[depth][1];
    if (first == 0 && second == 0) return false;
    if (scan->absent && scan->first == first && scan->second == second) return false;
    const uint32_t last = list->count - 1;
    for (uint32_t i = 0; i < list->count; ++i) {
        const Move m = list->moves[i];
        if (m == first || m == second) {
            std::swap(list->moves[i], list->moves[last]);
            return true;
        }
    }
    *scan = KillerScan{first, second, true};
    return false;
}

// The threshold follows the entry swapped in from the end, not the one sent there: this is the
// order the search has always used, and cheap. The scan keeps the last entry in a register.
#ifdef __AVX2__
namespace {

void readHistory(const Worker& w, const QuietList& list, HistoryOrder* order) {
    const uint32_t padded = (list.count + 7) & ~7u;
    for (uint32_t i = 0; i < list.count; ++i) order->values[i] = historyValue(w, list.moves[i]);
    for (uint32_t i = list.count; i < padded; ++i) order->values[i] = 0;
    order->changes = w.historyChanges;
    order->filled = true;
}

}  // namespace

// Eight values at a time are compared with the threshold, and only the entries that pass (a few
// in a list) are visited one by one.
void pickHistory(const Worker& w, QuietList* list, HistoryOrder* order) {
    if (!order->filled || order->changes != w.historyChanges) readHistory(w, *list, order);
    const uint32_t last = list->count - 1;
    Move* moves = list->moves;
    int32_t* values = order->values;
    Move tail = moves[last];
    int32_t tailValue = values[last];
    int32_t threshold = 1;
    for (uint32_t base = 0; base < last; base += 8) {
        const __m256i block = _mm256_load_si256(reinterpret_cast<const __m256i*>(values + base));
        const uint32_t inList = last - base >= 8 ? 0xFFu : (1u << (last - base)) - 1;
        const auto passing = [&](int32_t bar) {
            const __m256i above = _mm256_cmpgt_epi32(block, _mm256_set1_epi32(bar));
            return static_cast<uint32_t>(_mm256_movemask_ps(_mm256_castsi256_ps(above))) & inList;
        };
        uint32_t pass = passing(threshold);
        while (pass != 0) {
            const int lane = __builtin_ctz(pass);
            const uint32_t i = base + static_cast<uint32_t>(lane);
            const Move m = moves[i];
            const int32_t value = values[i];
            moves[i] = tail;
            values[i] = tailValue;
            threshold = tailValue;
            tail = m;
            tailValue = value;
            pass = passing(threshold) & (~1u << lane);
        }
    }
    moves[last] = tail;
    values[last] = tailValue;
}
#else
// Without vectors the scan chooses with conditional moves: which entries pass is unpredictable.
void pickHistory(const Worker& w, QuietList* list, HistoryOrder*) {
    const uint32_t last = list->count - 1;
    Move* moves = list->moves;
    Move tail = moves[last];
    int32_t tailValue = historyValue(w, tail);
    int32_t threshold = 1;
    for (uint32_t i = 0; i < last; ++i) {
        const Move m = moves[i];
        const int32_t value = historyValue(w, m);
        const bool swap = value > threshold;
        moves[i] = swap ? tail : m;
        threshold = swap ? tailValue : threshold;
        tail = swap ? m : tail;
        tailValue = swap ? value : tailValue;
    }
    moves[last] = tail;  // the last entry passing swaps with itself
}
#endif

bool removeFromQuiets(Move m, QuietList* list) {
    for (uint32_t i = 0; i < list->count; ++i) {
        if (list->moves[i] == m) {
            list->moves[i] = list->moves[--list->count];
            return true;
        }
    }
    return false;
}

bool removeFromCaptures(Move m, CaptureList* list) {
    for (uint32_t i = 0; i < list->count; ++i) {
        if (list->entries[i].move == m) {
            list->entries[i] = list->entries[--list->count];
            return true;
        }
    }
    return false;
}

void sortCaptures(CaptureList* list, int first, int last) {
    ScoredMove* a = list->entries;
    while (first < last) {
        const int32_t pivot = a[first].score;
        int i = first + 1;
        int j = last + 1;
        while (i < j) {
            if (a[i].score > pivot)
                ++i;
            else
                std::swap(a[i], a[--j]);
        }
        std::swap(a[first], a[i - 1]);
        sortCaptures(list, first, i - 1);
        first = j;
    }
}
