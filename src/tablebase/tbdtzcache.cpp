#include "tablebase/tbdtzcache.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "tablebase/tbfiles.h"

namespace {

// A slot answers for both colourings of its table, so one table never takes two slots.
struct DtzSlot {
    uint64_t key1 = 0;
    uint64_t key2 = 0;
    std::unique_ptr<TbDtzEntry> entry;
};
// Most recently used first.
DtzSlot dtzCache[DTZ_CACHE_SLOTS];
int dtzCapacity = DTZ_CACHE_SLOTS;

// Loads one DTZ table for the registered entry of key1; null when it cannot be loaded.
std::unique_ptr<TbDtzEntry> loadDtz(const char* name, uint64_t key1) {
    TbHashSlot* slot = tbFindSlot(key1);
    if (slot == nullptr) return nullptr;
    const TbWdlEntry* wdl = slot->entry;
    auto e = std::make_unique<TbDtzEntry>();
    e->key = wdl->key;
    e->symmetric = wdl->symmetric;
    e->shape = wdl->shape;
    if (!tbLoadDtzFile(*e, name)) return nullptr;
    return e;
}

}  // namespace

TbDtzEntry* tbFindDtz(const Position& pos, uint64_t key) {
    for (int i = 0; i < dtzCapacity; ++i) {
        if (dtzCache[i].key1 == key || dtzCache[i].key2 == key) {
            std::rotate(dtzCache, dtzCache + i, dtzCache + i + 1);
            return dtzCache[0].entry.get();
        }
    }
    TbHashSlot* slot = tbFindSlot(key);
    if (slot == nullptr) return nullptr;
    const bool mirror = slot->entry->key != key;
    char name[TB_NAME_LENGTH];
    tbTableName(pos, mirror, name);
    // The least recently used slot is dropped and its place taken at the front.
    std::rotate(dtzCache, dtzCache + dtzCapacity - 1, dtzCache + dtzCapacity);
    DtzSlot& front = dtzCache[0];
    front.key1 = tbMaterialKey(pos, mirror);
    front.key2 = tbMaterialKey(pos, !mirror);
    front.entry = loadDtz(name, front.key1);
    return front.entry.get();
}

void tbClearDtzCache() {
    for (DtzSlot& s : dtzCache) s = DtzSlot{};
}

int tbDtzCacheKeys(uint64_t* keys) {
    int n = 0;
    for (int i = 0; i < dtzCapacity; ++i) {
        if (dtzCache[i].key1 != 0 || dtzCache[i].key2 != 0) keys[n++] = dtzCache[i].key1;
    }
    return n;
}

void tbSetDtzCacheCapacity(int slots) {
    tbClearDtzCache();
    dtzCapacity = std::clamp(slots, 1, DTZ_CACHE_SLOTS);
}
