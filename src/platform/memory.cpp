#include "platform/memory.h"

#include <sys/mman.h>

void* allocateZeroedPages(size_t bytes) {
    void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (memory == MAP_FAILED) return nullptr;
    // Large pages spare the search a page-table walk on nearly every probe.
    madvise(memory, bytes, MADV_HUGEPAGE);
    return memory;
}

void releasePages(void* memory, size_t bytes) {
    if (memory != nullptr) munmap(memory, bytes);
}
