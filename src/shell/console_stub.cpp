// Placeholder until console mode lands.
#include "shell/console.h"
#include "shell/state.h"

void consoleLoop() { gs_info.quit = 1; }
