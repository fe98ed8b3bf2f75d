#pragma once
#include "board/movegen.h"
#include "board/position.h"
#include "tablebase/tablebase.h"

// Value stored in the WDL table for pos itself (-2..2, side to move's view); *success 0 when
// the table is missing or cannot be loaded.
int tbProbeWdlTable(const Position& pos, int* success);
// Stored DTZ for a position of WDL value wdl; *success 0 when unavailable, -1 when the table
// holds only the other side to move.
int tbProbeDtzTable(const Position& pos, int wdl, int* success);

// WDL of the current position by a capture search within (alpha, beta) and a table lookup.
int tbResolveCaptures(int alpha, int beta, int* success);

// DTZ of a position whose DTZ without en passant is v, when its best en-passant capture has
// WDL bestEp (for the side to move); onlyEnPassant when every legal move is such a capture.
int dtzWithEnPassant(int v, int bestEp, bool onlyEnPassant);

// Move generators of the probes (pseudo-legal).
void genTbCaptures(CaptureList* list);
void genTbPawnPushes(CaptureList* list);
void genTbPieceQuiets(QuietList* list);
// Every legal move of the current position; returns the count.
int genLegalMoves(Move* moves);
