#pragma once
#include <cstdint>

// A read-only view of a whole file. `data` is null when the file could not be mapped.
struct FileMapping {
    const uint8_t* data = nullptr;
    uint64_t size = 0;
};

// Maps the whole file read-only. Returns an empty mapping (data null) on any failure,
// including an empty file, so callers never see a view they cannot read.
FileMapping mapFile(const char* path);
// Releases a view made by mapFile; an empty mapping is ignored. Leaves the mapping empty.
void unmapFile(FileMapping& mapping);
// True when the file can be opened for reading.
bool fileReadable(const char* path);
