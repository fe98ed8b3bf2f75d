#pragma once

// Console mode; returns after quit with gs_info.quit set.
void consoleLoop();
