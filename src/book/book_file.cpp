// Reading a Polyglot book file: entries, the lower-bound search and the run of one key.
// Every read stays inside the file whatever its contents: the search only visits indices of
// whole entries, and a failed read ends the lookup instead of using stale data.
#include "book/book.h"

namespace {

uint64_t bigEndian(const unsigned char* bytes, int count) {
    uint64_t value = 0;
    for (int i = 0; i < count; ++i) value = value << 8 | bytes[i];
    return value;
}

// Number of whole entries in the file; a trailing partial entry is not counted.
long wholeEntries(FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) return 0;
    long size = std::ftell(file);
    return size < 0 ? 0 : size / BOOK_ENTRY_SIZE;
}

int readEntryAt(FILE* file, long index, BookEntry* entry) {
    if (std::fseek(file, index * BOOK_ENTRY_SIZE, SEEK_SET) != 0) return 1;
    return readBookEntry(file, entry);
}

long noMatch(uint64_t key, BookEntry* entry) {
    *entry = BookEntry{key + 1, 0, 0, 0};
    return -1;
}

}  // namespace

int readBookEntry(FILE* file, BookEntry* entry) {
    unsigned char bytes[BOOK_ENTRY_SIZE];
    if (std::fread(bytes, 1, sizeof bytes, file) != sizeof bytes) return 1;
    entry->key = bigEndian(bytes, 8);
    entry->move = static_cast<uint16_t>(bigEndian(bytes + 8, 2));
    entry->weight = static_cast<uint16_t>(bigEndian(bytes + 10, 2));
    entry->learn = static_cast<uint32_t>(bigEndian(bytes + 12, 4));
    return 0;
}

long findBookKey(FILE* file, uint64_t key, BookEntry* entry) {
    long hi = wholeEntries(file) - 1;
    if (hi < 0) return noMatch(key, entry);
    BookEntry candidate;
    if (readEntryAt(file, hi, &candidate) != 0) return noMatch(key, entry);
    long lo = -1;
    // Invariant: entries up to lo are below key, the candidate at hi is not (or hi is the last).
    while (hi - lo != 1) {
        long mid = (lo + hi) / 2;
        BookEntry probe;
        if (readEntryAt(file, mid, &probe) != 0) return noMatch(key, entry);
        if (key <= probe.key) {
            hi = mid;
            candidate = probe;
        } else {
            lo = mid;
        }
    }
    *entry = candidate;
    return hi;
}

BookLookup gatherBookMoves(FILE* file, uint64_t key, BookEntry* entries, int* count) {
    *count = 0;
    BookEntry entry;
    long index = findBookKey(file, key, &entry);
    if (index < 0 || entry.key != key) return BOOK_NOT_FOUND;
    entries[0] = entry;
    *count = 1;
    if (std::fseek(file, (index + 1) * BOOK_ENTRY_SIZE, SEEK_SET) != 0) return BOOK_FOUND;
    // A truncated last entry ends the run like a different key.
    while (readBookEntry(file, &entry) == 0 && entry.key == key) {
        if (*count == BOOK_MAX_MOVES) return BOOK_TOO_MANY;
        entries[(*count)++] = entry;
    }
    return BOOK_FOUND;
}
