// The file layer of the book: big-endian entries and the lower-bound search, also on damaged files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "book/book.h"
#include "book_files.h"

using booktest::TempDir;

namespace {

struct OpenFile {
    explicit OpenFile(const std::string& path) : file(std::fopen(path.c_str(), "rb")) {}
    ~OpenFile() {
        if (file != nullptr) std::fclose(file);
    }
    FILE* file;
};

BookEntry entryWithKey(uint64_t key) { return BookEntry{key, 0x031C, 1, 0}; }

}  // namespace

TEST(BookFile, EntryFieldsAreReadBigEndian) {
    TempDir dir;
    std::string bytes = "\x01\x02\x03\x04\x05\x06\x07\x08\x8A\xBC\xFF\xFE\x11\x22\x33\x44";
    OpenFile book(dir.write("one.bin", bytes + "\x99\x99\x99"));
    ASSERT_NE(book.file, nullptr);
    BookEntry e{};
    ASSERT_EQ(readBookEntry(book.file, &e), 0);
    EXPECT_EQ(e.key, 0x0102030405060708ULL);
    EXPECT_EQ(e.move, 0x8ABC);
    EXPECT_EQ(e.weight, 0xFFFE);
    EXPECT_EQ(e.learn, 0x11223344U);
    // Three bytes are left: not an entry, and the entry keeps its old contents.
    EXPECT_EQ(readBookEntry(book.file, &e), 1);
    EXPECT_EQ(e.key, 0x0102030405060708ULL);
}

// For every file size from 1 to 9 entries, with repeated keys and a partial entry at the end,
// the search finds the first entry not below each wanted key, as a sorted-range lower bound does.
TEST(BookFile, SearchIsTheLowerBoundForEveryKeyAndSize) {
    TempDir dir;
    const uint64_t all[] = {10, 20, 20, 20, 30, 40, 40, 50, 0xFFFFFFFFFFFFFFF0ULL};
    for (size_t n = 1; n <= std::size(all); ++n) {
        std::vector<uint64_t> keys(all, all + n);
        std::vector<BookEntry> entries;
        for (size_t i = 0; i < n; ++i) entries.push_back(BookEntry{keys[i], static_cast<uint16_t>(i), 0, 0});
        for (int tail : {0, 7}) {
            OpenFile book(dir.write("sized.bin", booktest::encode(entries) + std::string(tail, '\x7F')));
            ASSERT_NE(book.file, nullptr);
            for (uint64_t wanted : {0ULL, 10ULL, 15ULL, 20ULL, 25ULL, 40ULL, 50ULL, 51ULL, 0xFFFFFFFFFFFFFFF0ULL,
                                    0xFFFFFFFFFFFFFFFFULL}) {
                long expected = std::lower_bound(keys.begin(), keys.end(), wanted) - keys.begin();
                if (expected == static_cast<long>(n)) expected = static_cast<long>(n) - 1;
                BookEntry e{};
                long index = findBookKey(book.file, wanted, &e);
                ASSERT_EQ(index, expected) << n << " entries, key " << wanted;
                EXPECT_EQ(e.key, keys[index]);
                EXPECT_EQ(e.move, index);
            }
        }
    }
}

// Keys out of order give unreliable answers but every read stays inside the file.
TEST(BookFile, UnsortedKeysStayInsideTheFile) {
    TempDir dir;
    std::vector<BookEntry> entries;
    for (uint64_t k : {90, 10, 80, 20, 70, 30, 60, 40, 50, 0}) entries.push_back(entryWithKey(k));
    OpenFile book(dir.writeBook("unsorted.bin", entries));
    for (uint64_t wanted = 0; wanted <= 100; wanted += 5) {
        BookEntry e{};
        long index = findBookKey(book.file, wanted, &e);
        ASSERT_GE(index, 0);
        ASSERT_LT(index, 10);
        EXPECT_EQ(e.key, entries[index].key);
        BookEntry run[BOOK_MAX_MOVES];
        int count = 0;
        gatherBookMoves(book.file, wanted, run, &count);
        EXPECT_LE(count, 1);
    }
}
