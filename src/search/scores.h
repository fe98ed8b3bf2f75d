#pragma once
// The search's score scale.

// Score of being mated at the root; one less per ply below it.
constexpr int MATE_SCORE = 70000;
// Scores beyond this announce a forced mate.
constexpr int MATE_THRESHOLD = 68999;
// Bounds of the full search window.
constexpr int FULL_WINDOW = 99997;
// Tablebase win in the tree.
constexpr int TB_WIN_SCORE = 20000;
