#pragma once
// Inline SVG drawn by the tool itself: chess pieces, board diagrams with move arrows, and the
// evaluation graph of a game. No fonts, images or files outside the page are needed.
#include <string>
#include <vector>

// The piece shapes, once per page, for the diagrams to use.
std::string pieceSymbolsSvg();

struct BoardArrow {
    int from, to;       // board squares, a1 = 0
    const char* colour; // CSS colour
};
// A diagram of `board` (64 squares a1..h8: PNBRQK White, pnbrqk Black, '.' empty) from White's
// side, the squares of `highlight` tinted, with arrows.
std::string boardSvg(const std::string& board, const std::vector<BoardArrow>& arrows, int highlightFrom,
                     int highlightTo);

struct GraphPoint {
    double whiteExpected;  // 0 to 1
    const char* markColour; // nullptr for an unmarked move
    std::string label;     // shown on hover
    std::string link;      // "#m12", or empty
};
// The expected score for White after each ply (points[0] is the start position).
std::string evaluationGraphSvg(const std::vector<GraphPoint>& points, int firstMoveNumber, bool whiteStarts);
