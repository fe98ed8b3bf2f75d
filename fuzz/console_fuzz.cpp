// An arbitrary stream of lines typed at the console (tiny tables, no book or tables, searches two
// plies deep): it must neither crash nor leave its board out of step with itself. Left out: the
// benchmark and logging commands (their running time, the files they write), "ini" (it restores
// the full-size tables and unbounded searches; the INI target covers the reader), "hello" (it
// spins two threads on purpose) and "clear" (it runs the shell's command).
#include <cstdint>

#include "fuzz_session.h"
#include "shell/console.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    runSession(tameCommands(data, size, {"perft", "test_log", "ini", "hello", "clear"}, "q"), 0, consoleLoop);
    return 0;
}
