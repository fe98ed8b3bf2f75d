#pragma once

// Prints the current position from white's side, with Italian piece letters.
void printBoard();
