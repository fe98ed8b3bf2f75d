// An arbitrary command stream fed to the protocol loop (tiny tables, no book or tables, searches
// two plies deep): it must neither crash nor leave its board out of step with itself.
#include <cstdint>

#include "fuzz_session.h"
#include "shell/xboard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    runSession(tameCommands(data, size, {}, "quit"), 1, xboardLoop);
    return 0;
}
