#include "tool/boardsvg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int SQUARE = 100;
constexpr int MARGIN = 24;  // room for the file letters and rank numbers
constexpr const char* LightSquare = "#eed9b6";
constexpr const char* DarkSquare = "#b58763";

// Each piece on a 100-unit square: its outline, then the details drawn in the other colour.
struct PieceShape {
    char letter;
    const char* body;
    const char* detail;
};

constexpr PieceShape Shapes[] = {
    {'p', "<circle cx='50' cy='31' r='12'/><path d='M37 46 Q50 38 63 46 L67 72 L33 72 Z'/>"
          "<rect x='25' y='72' width='50' height='11' rx='4'/>", ""},
    {'r', "<path d='M26 84 L74 84 L74 73 L67 73 L63 42 L71 42 L71 20 L62 20 L62 27 L55 27 L55 20 L45 20 "
          "L45 27 L38 27 L38 20 L29 20 L29 42 L37 42 L33 73 L26 73 Z'/>",
     "<path d='M36 42 L64 42 M35 66 L65 66' fill='none'/>"},
    {'n', "<path d='M28 84 L74 84 L72 62 Q70 32 50 23 L47 13 L41 24 Q31 29 25 47 L22 56 Q26 62 33 59 "
          "L43 52 Q46 62 33 72 Z'/>",
     "<circle cx='43' cy='35' r='3' stroke='none'/><path d='M24 55 L28 54' fill='none'/>"},
    {'b', "<circle cx='50' cy='17' r='6'/><path d='M36 73 Q26 50 50 24 Q74 50 64 73 Z'/>"
          "<rect x='26' y='73' width='48' height='11' rx='4'/>",
     "<path d='M45 40 L57 53 M38 66 L62 66' fill='none'/>"},
    {'q', "<path d='M27 84 L73 84 L72 72 L81 34 L68 56 L65 24 L57 50 L50 17 L43 50 L35 24 L32 56 L19 34 "
          "L28 72 Z'/><circle cx='19' cy='32' r='5'/><circle cx='35' cy='22' r='5'/><circle cx='50' "
          "cy='15' r='5'/><circle cx='65' cy='22' r='5'/><circle cx='81' cy='32' r='5'/>",
     "<path d='M30 72 L70 72' fill='none'/>"},
    {'k', "<path d='M27 84 L73 84 L73 72 Q86 46 62 45 Q55 44 54 38 L46 38 Q45 44 38 45 Q14 46 27 72 Z'/>"
          "<path d='M46 10 L54 10 L54 18 L61 18 L61 25 L54 25 L54 38 L46 38 L46 25 L39 25 L39 18 L46 18 Z'/>",
     "<path d='M30 72 L70 72 M50 46 L50 70' fill='none'/>"},
};

std::string symbol(const PieceShape& shape, bool white) {
    const char* fill = white ? "#fbfbf8" : "#2b2b2b";
    const char* line = white ? "#1e1e1e" : "#0c0c0c";
    const char* detail = white ? "#1e1e1e" : "#e8e8e8";
    std::string id = std::string(1, white ? 'w' : 'b') + shape.letter;
    return "<symbol id='qx-" + id + "' viewBox='0 0 100 100'><g fill='" + fill + "' stroke='" + line +
           "' stroke-width='3.5' stroke-linejoin='round'>" + shape.body + "</g><g stroke='" + detail +
           "' fill='" + detail + "' stroke-width='3' stroke-linecap='round'>" + shape.detail + "</g></symbol>";
}

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", v);
    return text;
}

// The centre of a square in the diagram's units, White at the bottom.
double centreX(int square) { return MARGIN + (square & 7) * SQUARE + SQUARE / 2.0; }
double centreY(int square) { return (7 - (square >> 3)) * SQUARE + SQUARE / 2.0; }

}  // namespace

std::string pieceSymbolsSvg() {
    std::string svg = "<svg width='0' height='0' style='position:absolute' aria-hidden='true'><defs>";
    for (const PieceShape& s : Shapes) svg += symbol(s, true) + symbol(s, false);
    return svg + "</defs></svg>";
}

std::string boardSvg(const std::string& board, const std::vector<BoardArrow>& arrows, int highlightFrom,
                     int highlightTo) {
    const int size = 8 * SQUARE;
    std::string svg = "<svg class='board' viewBox='0 0 " + std::to_string(size + MARGIN) + " " +
                      std::to_string(size + MARGIN) + "' role='img'><defs>";
    for (size_t i = 0; i < arrows.size(); ++i)
        svg += "<marker id='head" + std::to_string(i) +
               "' viewBox='0 0 10 10' refX='5' refY='5' markerWidth='3.2' markerHeight='3.2' orient='auto'>"
               "<path d='M0 0 L10 5 L0 10 Z' fill='" + std::string(arrows[i].colour) + "'/></marker>";
    svg += "</defs>";
    for (int s = 0; s < 64; ++s) {
        const bool light = ((s & 7) + (s >> 3)) % 2 == 1;
        const std::string x = std::to_string(MARGIN + (s & 7) * SQUARE), y = std::to_string((7 - (s >> 3)) * SQUARE);
        svg += "<rect x='" + x + "' y='" + y + "' width='100' height='100' fill='" +
               (light ? LightSquare : DarkSquare) + "'/>";
        if (s == highlightFrom || s == highlightTo)
            svg += "<rect x='" + x + "' y='" + y + "' width='100' height='100' fill='#f5e663' opacity='0.45'/>";
    }
    for (int i = 0; i < 8; ++i) {
        svg += "<text x='" + std::to_string(MARGIN + i * SQUARE + 50) + "' y='" + std::to_string(size + 18) +
               "' text-anchor='middle' font-size='17' fill='#555' font-family='sans-serif'>" +
               std::string(1, static_cast<char>('a' + i)) + "</text>";
        svg += "<text x='11' y='" + std::to_string((7 - i) * SQUARE + 56) +
               "' text-anchor='middle' font-size='17' fill='#555' font-family='sans-serif'>" +
               std::string(1, static_cast<char>('1' + i)) + "</text>";
    }
    for (int s = 0; s < 64 && s < static_cast<int>(board.size()); ++s) {
        const char c = board[static_cast<size_t>(s)];
        if (c == '.') continue;
        const bool white = c >= 'A' && c <= 'Z';
        const char letter = static_cast<char>(white ? c - 'A' + 'a' : c);
        char use[96];
        std::snprintf(use, sizeof use, "<use href='#qx-%c%c' x='%d' y='%d' width='100' height='100'/>",
                      white ? 'w' : 'b', letter, MARGIN + (s & 7) * SQUARE, (7 - (s >> 3)) * SQUARE);
        svg += use;
    }
    for (size_t i = 0; i < arrows.size(); ++i) {
        const BoardArrow& a = arrows[i];
        const double x1 = centreX(a.from), y1 = centreY(a.from), x2 = centreX(a.to), y2 = centreY(a.to);
        // Stop short of the target's centre, so that the head sits on the square.
        const double dx = x2 - x1, dy = y2 - y1, length = std::max(1.0, std::hypot(dx, dy));
        const double shorten = std::min(30.0, length / 3);
        svg += "<line x1='" + number(x1) + "' y1='" + number(y1) + "' x2='" + number(x2 - dx / length * shorten) +
               "' y2='" + number(y2 - dy / length * shorten) + "' stroke='" + a.colour +
               "' stroke-width='15' stroke-linecap='round' opacity='0.8' marker-end='url(#head" + std::to_string(i) +
               ")'/>";
    }
    return svg + "</svg>";
}

std::string evaluationGraphSvg(const std::vector<GraphPoint>& points, int firstMoveNumber, bool whiteStarts) {
    constexpr double Width = 860, Height = 220, Left = 34, Right = 10, Top = 10, Bottom = 26;
    const double plotW = Width - Left - Right, plotH = Height - Top - Bottom;
    const size_t n = points.size();
    const double step = n > 1 ? plotW / static_cast<double>(n - 1) : plotW;
    const auto x = [&](size_t i) { return Left + step * static_cast<double>(i); };
    const auto y = [&](double e) { return Top + (1.0 - e) * plotH; };
    std::string svg = "<svg class='graph' viewBox='0 0 " + number(Width) + " " + number(Height) + "' role='img'>";
    svg += "<rect x='" + number(Left) + "' y='" + number(Top) + "' width='" + number(plotW) + "' height='" +
           number(plotH) + "' fill='#3a3a3a'/>";
    if (n > 0) {
        std::string area = "M" + number(x(0)) + " " + number(y(0));
        std::string curve = "M" + number(x(0)) + " " + number(y(points[0].whiteExpected));
        for (size_t i = 0; i < n; ++i) {
            area += " L" + number(x(i)) + " " + number(y(points[i].whiteExpected));
            if (i > 0) curve += " L" + number(x(i)) + " " + number(y(points[i].whiteExpected));
        }
        area += " L" + number(x(n - 1)) + " " + number(y(0)) + " Z";
        svg += "<path d='" + area + "' fill='#f4f1ea'/>";
        svg += "<path d='" + curve + "' fill='none' stroke='#c08a2d' stroke-width='2'/>";
    }
    svg += "<line x1='" + number(Left) + "' y1='" + number(y(0.5)) + "' x2='" + number(Left + plotW) + "' y2='" +
           number(y(0.5)) + "' stroke='#999' stroke-dasharray='4 4'/>";
    for (const double e : {0.0, 0.5, 1.0})
        svg += "<text x='" + number(Left - 4) + "' y='" + number(y(e) + 4) +
               "' text-anchor='end' font-size='11' fill='#666' font-family='sans-serif'>" +
               std::to_string(static_cast<int>(e * 100)) + "%</text>";
    // Move numbers along the bottom, every tenth move (every fifth in short games).
    const int plies = static_cast<int>(n) - 1;
    const int every = plies > 60 ? 10 : 5;
    for (int ply = 0; ply <= plies; ++ply) {
        const int moveNumber = firstMoveNumber + (ply + (whiteStarts ? 0 : 1)) / 2;
        const bool whiteMove = (ply % 2 == 0) == whiteStarts;
        if (ply == plies || !whiteMove || moveNumber % every != 0) continue;
        svg += "<text x='" + number(x(static_cast<size_t>(ply) + 1)) + "' y='" + number(Height - 8) +
               "' text-anchor='middle' font-size='11' fill='#666' font-family='sans-serif'>" +
               std::to_string(moveNumber) + "</text>";
    }
    for (size_t i = 0; i < n; ++i) {
        const GraphPoint& p = points[i];
        if (!p.markColour) continue;
        std::string dot = "<circle cx='" + number(x(i)) + "' cy='" + number(y(p.whiteExpected)) + "' r='5.5' fill='" +
                          p.markColour + "' stroke='#222' stroke-width='1.2'><title>" + p.label + "</title></circle>";
        svg += p.link.empty() ? dot : "<a href='" + p.link + "'>" + dot + "</a>";
    }
    return svg + "</svg>";
}
