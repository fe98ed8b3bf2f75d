#pragma once

// Sets the current record from a FEN text. Returns 1 on success; 0 on rejection, in which case
// the current record is left exactly as it was.
int setupFromFen(const char* text);
