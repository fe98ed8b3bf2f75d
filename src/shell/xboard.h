#pragma once

// The xboard protocol loop; returns after quit (or the end of standard input) with gs_info.quit set.
void xboardLoop();
