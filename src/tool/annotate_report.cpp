#include "tool/annotate_report.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tool/boardsvg.h"

namespace {

constexpr const char* Style = R"(<style>
:root{--ink:#222;--muted:#6b6b6b;--line:#e3ded3;--paper:#fbfaf7}
body{margin:0;background:var(--paper);color:var(--ink);font:15px/1.5 system-ui,-apple-system,"Segoe UI",Roboto,"DejaVu Sans",sans-serif}
main{max-width:940px;margin:0 auto;padding:24px 20px 60px}
h1{font-size:26px;margin:0 0 4px}h2{font-size:19px;margin:32px 0 10px;border-bottom:1px solid var(--line);padding-bottom:4px}
.sub{color:var(--muted);margin:0 0 16px}
a{color:#245e9e;text-decoration:none}a:hover{text-decoration:underline}
table{border-collapse:collapse;width:100%}th,td{padding:5px 8px;text-align:left;border-bottom:1px solid var(--line)}
th{font-weight:600;color:var(--muted);font-size:13px}td.n{text-align:right;font-variant-numeric:tabular-nums}
.tags{display:grid;grid-template-columns:max-content 1fr;gap:2px 14px;font-size:14px;margin:10px 0 18px}
.tags dt{color:var(--muted)}.tags dd{margin:0}
.summary{display:flex;gap:14px;flex-wrap:wrap;margin:8px 0 6px}
.card{background:#fff;border:1px solid var(--line);border-radius:8px;padding:10px 14px;min-width:200px}
.card b{font-size:17px}
.graph{width:100%;height:auto;background:#fff;border:1px solid var(--line);border-radius:8px}
.moves{background:#fff;border:1px solid var(--line);border-radius:8px;padding:12px 14px;line-height:1.9}
.moves .num{color:var(--muted);margin-left:6px}
.mv{padding:1px 3px;border-radius:4px}
.inaccuracy{background:#fbeeb0}.mistake{background:#f9c98a}.blunder{background:#f2a0a0}
.moment{display:flex;gap:22px;align-items:flex-start;background:#fff;border:1px solid var(--line);border-radius:8px;padding:14px;margin:14px 0}
.moment .board{width:340px;flex:none}
.moment h3{margin:0 0 6px;font-size:18px}
.moment .line{font-family:ui-monospace,"DejaVu Sans Mono",monospace;font-size:13.5px;background:var(--paper);padding:6px 8px;border-radius:6px}
.key{display:inline-block;width:12px;height:12px;border-radius:3px;vertical-align:-1px;margin-right:4px}
.badge{font-weight:700;padding:0 6px;border-radius:4px}
@media (max-width:700px){.moment{flex-direction:column}.moment .board{width:100%}}
</style>)";

constexpr const char* MarkColours[] = {nullptr, "#e9c63b", "#e98a2b", "#d4363b"};
constexpr const char* PlayedArrow = "#d4363b";
constexpr const char* BetterArrow = "#2f9b47";

std::string escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string tagOr(const PgnGame& g, const char* name, const char* otherwise) {
    const std::string* v = g.tag(name);
    return v && !v->empty() ? *v : otherwise;
}

std::string title(const PgnGame& g) { return tagOr(g, "White", "?") + " – " + tagOr(g, "Black", "?"); }

std::string resultOf(const PgnGame& g) { return g.result.empty() ? tagOr(g, "Result", "*") : g.result; }

std::string pageName(int number) {
    char name[32];
    std::snprintf(name, sizeof name, "game-%03d.html", number);
    return name;
}

std::string moveLabel(const MoveJudgement& j) {
    return std::to_string(j.moveNumber) + (j.white ? ". " : "... ") + j.san + markSymbol(j.mark);
}

const char* markClass(Mark m) {
    return m == Mark::Blunder ? "blunder" : m == Mark::Mistake ? "mistake" : m == Mark::Inaccuracy ? "inaccuracy" : "";
}

std::string signedEval(const PositionVerdict& v) {
    std::string e = evalText(v);
    if (e[0] != '-' && e[0] != '#') e = "+" + e;
    return e;
}

std::string page(const std::string& title, const std::string& body) {
    return "<!DOCTYPE html>\n<html lang='en'><head><meta charset='utf-8'><meta name='viewport' "
           "content='width=device-width,initial-scale=1'><title>" +
           escaped(title) + "</title>" + Style + "</head><body><main>" + body + "</main></body></html>\n";
}

// "1 blunder", "2 blunders".
std::string counted(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string sideCard(const char* side, const std::string& name, const GameJudgement& j, int s) {
    return "<div class='card'>" + std::string(side) + ": <b>" + escaped(name) + "</b><br>average loss <b>" +
           std::to_string(j.averageLoss[s]) + "</b> cp a move<br><span class='key inaccuracy'></span>" +
           counted(j.marks[s][0], "inaccuracy", "inaccuracies") + " <span class='key mistake'></span>" +
           counted(j.marks[s][1], "mistake", "mistakes") + " <span class='key blunder'></span>" +
           counted(j.marks[s][2], "blunder", "blunders") + "</div>";
}

std::string momentSection(const MoveJudgement& j) {
    std::vector<BoardArrow> arrows;
    if (j.better) arrows.push_back(BoardArrow{j.bestFrom, j.bestTo, BetterArrow});
    arrows.push_back(BoardArrow{j.from, j.to, PlayedArrow});
    std::string s = "<section class='moment' id='m" + std::to_string(j.ply) + "'>" +
                    boardSvg(j.boardBefore, arrows, j.from, j.to) + "<div><h3>" + escaped(moveLabel(j)) +
                    " <span class='badge " + markClass(j.mark) + "'>" + markName(j.mark) + "</span></h3>";
    s += "<p>Evaluation " + signedEval(j.before) + " before, " + signedEval(j.after) + " after (White's view); " +
         (j.white ? "White" : "Black") + " gave away " + std::to_string(static_cast<int>(j.drop * 100 + 0.5)) +
         " % of expected score.</p>";
    if (!j.mateNote.empty())
        s += "<p><b>" +
             escaped(j.mateNote.substr(0, 1) == "m" ? "M" + j.mateNote.substr(1) : "A" + j.mateNote.substr(1)) +
             ".</b></p>";
    s += "<p><span class='key' style='background:" + std::string(PlayedArrow) + "'></span>played " + escaped(j.san);
    if (j.better)
        s += " &nbsp; <span class='key' style='background:" + std::string(BetterArrow) + "'></span>better " +
             escaped(j.bestSan) + "</p><p class='line'>" + escaped(j.bestLine) + "</p>";
    else
        s += "</p>";
    return s + "</div></section>";
}

bool writeFile(const std::string& path, const std::string& text) {
    FILE* f = std::fopen(path.c_str(), "w");
    if (!f) return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

std::string gamePage(const ReportGame& report, int number, int count) {
    const PgnGame& g = report.game;
    const GameJudgement& j = report.judged;
    std::string body = "<p class='sub'><a href='index.html'>All games</a> · game " + std::to_string(number) + " of " +
                       std::to_string(count) + "</p><h1>" + escaped(title(g)) + " &nbsp;" + escaped(resultOf(g)) +
                       "</h1><p class='sub'>" + escaped(tagOr(g, "Event", "")) + " " + escaped(tagOr(g, "Date", "")) +
                       "</p>";
    body += "<div class='summary'>" + sideCard("White", tagOr(g, "White", "?"), j, 0) +
            sideCard("Black", tagOr(g, "Black", "?"), j, 1) + "</div>";

    // The graph: White's expected score after every ply.
    std::vector<GraphPoint> points;
    points.push_back(GraphPoint{whiteExpectation(j.start), nullptr, "start", ""});
    for (const MoveJudgement& m : j.moves)
        points.push_back(GraphPoint{whiteExpectation(m.after), MarkColours[static_cast<int>(m.mark)],
                                    escaped(moveLabel(m) + " " + signedEval(m.after)),
                                    m.mark != Mark::None ? "#m" + std::to_string(m.ply) : ""});
    const bool whiteStarts = j.moves.empty() || j.moves[0].white;
    body += "<h2>Evaluation</h2>" +
            evaluationGraphSvg(points, j.moves.empty() ? 1 : j.moves[0].moveNumber, whiteStarts) +
            "<p class='sub'>White's expected score after each move; dots mark <span class='key inaccuracy'></span>"
            "inaccuracies, <span class='key mistake'></span>mistakes and <span class='key blunder'></span>blunders."
            "</p>";

    body += "<h2>Moves</h2><div class='moves'>";
    for (const MoveJudgement& m : j.moves) {
        if (m.white || &m == &j.moves[0])
            body += "<span class='num'>" + std::to_string(m.moveNumber) + (m.white ? "." : "...") + "</span> ";
        const std::string text = escaped(m.san + markSymbol(m.mark));
        const std::string tip =
            " title='" + signedEval(m.after) + (m.book ? " book" : "") + (m.after.tablebase ? " tablebase" : "") + "'";
        if (m.mark != Mark::None)
            body += "<a class='mv " + std::string(markClass(m.mark)) + "' href='#m" + std::to_string(m.ply) + "'" +
                    tip + ">" + text + "</a> ";
        else
            body += "<span class='mv'" + tip + ">" + text + "</span> ";
    }
    body += "<b>" + escaped(resultOf(g)) + "</b></div>";

    std::string moments;
    for (const MoveJudgement& m : j.moves)
        if (m.mark != Mark::None) moments += momentSection(m);
    body += "<h2>Marked moves</h2>" + (moments.empty() ? std::string("<p>None: no move lost much.</p>") : moments);

    body += "<h2>Tags</h2><dl class='tags'>";
    for (const PgnTag& t : g.tags) body += "<dt>" + escaped(t.name) + "</dt><dd>" + escaped(t.value) + "</dd>";
    body += "</dl>";
    return page(title(g), pieceSymbolsSvg() + body);
}

std::string indexPage(const std::string& source, const std::vector<ReportGame>& games) {
    std::string body = "<h1>Annotated games</h1><p class='sub'>" + escaped(source) + " · " +
                       std::to_string(games.size()) + " game" + (games.size() == 1 ? "" : "s") + "</p>";
    body +=
        "<table><tr><th>#</th><th>White</th><th>Black</th><th>Result</th><th>Event</th><th>Date</th>"
        "<th class='n'>Moves</th><th class='n'>Loss W</th><th class='n'>Loss B</th>"
        "<th class='n'>?! ? ?? White</th><th class='n'>?! ? ?? Black</th></tr>";
    for (size_t i = 0; i < games.size(); ++i) {
        const PgnGame& g = games[i].game;
        const GameJudgement& j = games[i].judged;
        const auto counts = [&](int s) {
            return std::to_string(j.marks[s][0]) + " " + std::to_string(j.marks[s][1]) + " " +
                   std::to_string(j.marks[s][2]);
        };
        const std::string link = "<a href='" + pageName(static_cast<int>(i + 1)) + "'>";
        body += "<tr><td class='n'>" + std::to_string(i + 1) + "</td><td>" + link + escaped(tagOr(g, "White", "?")) +
                "</a></td><td>" + link + escaped(tagOr(g, "Black", "?")) + "</a></td><td>" + escaped(resultOf(g)) +
                "</td><td>" + escaped(tagOr(g, "Event", "")) + "</td><td>" + escaped(tagOr(g, "Date", "")) +
                "</td><td class='n'>" + std::to_string((j.moves.size() + 1) / 2) + "</td><td class='n'>" +
                std::to_string(j.averageLoss[0]) + "</td><td class='n'>" + std::to_string(j.averageLoss[1]) +
                "</td><td class='n'>" + counts(0) + "</td><td class='n'>" + counts(1) + "</td></tr>";
    }
    body +=
        "</table><p class='sub'>Loss: average centipawns lost a move out of book. Marks by the drop in "
        "expected score: ?! from 5 %, ? from 9 %, ?? from 15 %.</p>";
    return page("Annotated games", body);
}

bool writeReport(const std::string& dir, const std::string& source, const std::vector<ReportGame>& games) {
    if (mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST) {
        std::fprintf(stderr, "quintarex-tool annotate: cannot make %s: %s\n", dir.c_str(), std::strerror(errno));
        return false;
    }
    const int count = static_cast<int>(games.size());
    for (int i = 0; i < count; ++i) {
        const std::string path = dir + "/" + pageName(i + 1);
        if (!writeFile(path, gamePage(games[static_cast<size_t>(i)], i + 1, count))) {
            std::fprintf(stderr, "quintarex-tool annotate: cannot write %s\n", path.c_str());
            return false;
        }
    }
    if (!writeFile(dir + "/index.html", indexPage(source, games))) {
        std::fprintf(stderr, "quintarex-tool annotate: cannot write %s/index.html\n", dir.c_str());
        return false;
    }
    return true;
}
