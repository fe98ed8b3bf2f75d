#include "platform/memory.h"

#include <sys/mman.h>

#include <cstdint>

namespace {

constexpr size_t LARGE_PAGE = size_t{2} << 20;

// A table of a large page or more is mapped in whole large pages, so that none of it is left to
// small pages at either end.
size_t mappedBytes(size_t bytes) { return bytes < LARGE_PAGE ? bytes : (bytes + LARGE_PAGE - 1) & ~(LARGE_PAGE - 1); }

}  // namespace

void* allocateZeroedPages(size_t bytes) {
    const size_t size = mappedBytes(bytes);
    const size_t slack = size >= LARGE_PAGE ? LARGE_PAGE : 0;
    void* raw = mmap(nullptr, size + slack, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    // Keep the large-page-aligned part of the mapping and return the rest.
    const auto start = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t aligned = slack != 0 ? (start + slack - 1) & ~(uintptr_t{slack} - 1) : start;
    if (aligned != start) munmap(raw, aligned - start);
    if (const uintptr_t tail = start + slack - aligned; tail != 0) munmap(reinterpret_cast<void*>(aligned + size), tail);
    void* memory = reinterpret_cast<void*>(aligned);
    // Large pages spare the search a page-table walk on nearly every probe.
    madvise(memory, size, MADV_HUGEPAGE);
    return memory;
}

void releasePages(void* memory, size_t bytes) {
    if (memory != nullptr) munmap(memory, mappedBytes(bytes));
}
