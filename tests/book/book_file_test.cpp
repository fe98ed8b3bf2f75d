// The file layer of the book: the lower-bound search, also with a partial entry at the end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "book/book.h"
#include "book_files.h"

// For every file size from 1 to 9 entries, with repeated keys and a partial entry at the end,
// the search finds the first entry not below each wanted key, as a sorted-range lower bound does.
TEST(BookFile, SearchIsTheLowerBoundForEveryKeyAndSize) {
    booktest::TempDir dir;
    const uint64_t all[] = {10, 20, 20, 20, 30, 40, 40, 50, 0xFFFFFFFFFFFFFFF0ULL};
    for (size_t n = 1; n <= std::size(all); ++n) {
        std::vector<uint64_t> keys(all, all + n);
        std::vector<BookEntry> entries;
        for (size_t i = 0; i < n; ++i) entries.push_back(BookEntry{keys[i], static_cast<uint16_t>(i), 0, 0});
        for (int tail : {0, 7}) {
            FILE* book = std::fopen(dir.write("sized.bin", booktest::encode(entries) + std::string(tail, '\x7F')).c_str(), "rb");
            ASSERT_NE(book, nullptr);
            for (uint64_t wanted : {0ULL, 10ULL, 15ULL, 20ULL, 25ULL, 40ULL, 50ULL, 51ULL, 0xFFFFFFFFFFFFFFF0ULL,
                                    0xFFFFFFFFFFFFFFFFULL}) {
                long expected = std::lower_bound(keys.begin(), keys.end(), wanted) - keys.begin();
                if (expected == static_cast<long>(n)) expected = static_cast<long>(n) - 1;
                BookEntry e{};
                long index = findBookKey(book, wanted, &e);
                ASSERT_EQ(index, expected) << n << " entries, key " << wanted;
                EXPECT_EQ(e.key, keys[index]);
                EXPECT_EQ(e.move, index);
            }
            std::fclose(book);
        }
    }
}
