// Placeholder until pondering and analysis land.
#include "shell/polling.h"

void pollInput() {}
