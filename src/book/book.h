#pragma once

// Writes a book move for the current position as coordinate text into `text` (at least 6 bytes).
// 0 when a move was written; 1 when the book gives none.
int chooseBookMove(const char* bookFile, char* text);
// Lists the book moves of the current position. 0 when found and listed; 1 otherwise.
int listBookMoves(const char* bookFile);
