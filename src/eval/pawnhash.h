#pragma once

// Frees any previous pawn hash table and allocates gs_info.pawnHashEntries entries; reports the outcome.
void allocatePawnHash();
