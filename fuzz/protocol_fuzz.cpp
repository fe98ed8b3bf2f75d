// An arbitrary command stream fed to the protocol loop (tiny tables, no book or tables, searches
// two plies deep): it must neither crash nor leave its board out of step with itself.
#include <cstdint>
#include <cstdlib>

#include "board/hashkey.h"
#include "board/position.h"
#include "fuzz_session.h"
#include "shell/xboard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    feedStandardInput(tameCommands(data, size, {}, "quit"));
    resetEngineForFuzzing(1);
    xboardLoop();
    if (currentPosition().key != computeHashKey()) std::abort();
    return 0;
}
