#pragma once

// The UCI protocol loop, entered after a first line beginning with "uci" (which it answers);
// returns after quit or the end of input. The search runs on a thread of its own, so stop,
// ponderhit, isready and quit are read while it runs.
void uciLoop();
