#pragma once

// Clears the terminal the engine runs in (the console's "clear").
void clearTerminal();
