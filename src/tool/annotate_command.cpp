// quintarex-tool annotate: every game of a PGN file analysed move by move, written back as PGN
// with evaluations, marks and better lines, and (with --report) as HTML pages.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "tool/annotate_jobs.h"
#include "tool/annotate_report.h"
#include "tool/annotate_search.h"
#include "tool/annotation.h"
#include "tool/commands.h"
#include "tool/pgnreader.h"
#include "tool/pgnwriter.h"

namespace {

constexpr const char* Usage =
    "usage: quintarex-tool annotate [--movetime MS | --depth N | --nodes N] [--threads N] [--hash MB]\n"
    "         [--jobs N] [--multipv N] [--syzygy PATH] [--book FILE] [--report DIR] [-o FILE] FILE.pgn\n";
// Without a limit each position gets this long.
constexpr int DEFAULT_MOVETIME_MS = 1000;
// Exit status when some games could not be read, when a worker failed, and when an interrupt cut
// the work short.
constexpr int STATUS_SKIPPED = 1;
constexpr int STATUS_WORKER_FAILED = 3;
constexpr int STATUS_INTERRUPTED = 130;

extern "C" void onInterrupt(int) { stopAnalysis(); }

bool parseNumber(const char* text, long low, long high, long* value) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < low || v > high) return false;
    *value = v;
    return true;
}

struct Options {
    AnnotationSettings settings;
    std::string input, output, reportDir;
    int jobs = 1;
};

// 0 when read; otherwise the exit status.
int parseOptions(int argc, char** argv, Options& o) {
    int limits = 0;
    for (int i = 0; i < argc; ++i) {
        const std::string name = argv[i];
        if (name.size() > 1 && name[0] == '-') {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "quintarex-tool annotate: %s needs a value\n%s", argv[i], Usage);
                return 2;
            }
            const char* value = argv[++i];
            long n = 0;
            const auto number = [&](long low, long high) {
                if (parseNumber(value, low, high, &n)) return true;
                std::fprintf(stderr, "quintarex-tool annotate: %s must be %ld to %ld, not '%s'\n", name.c_str(), low,
                             high, value);
                return false;
            };
            AnalysisSettings& a = o.settings.analysis;
            if (name == "--movetime") {
                if (!number(10, 86400000)) return 2;
                a.moveTimeMs = static_cast<int>(n);
                ++limits;
            } else if (name == "--depth") {
                if (!number(1, 64)) return 2;
                a.depth = static_cast<int>(n);
                ++limits;
            } else if (name == "--nodes") {
                if (!number(1, 1000000000000L)) return 2;
                a.nodes = n;
                ++limits;
            } else if (name == "--threads") {
                if (!number(1, 256)) return 2;
                a.threads = static_cast<int>(n);
            } else if (name == "--jobs") {
                if (!number(1, 256)) return 2;
                o.jobs = static_cast<int>(n);
            } else if (name == "--hash") {
                if (!number(1, 49151)) return 2;
                a.hashMb = static_cast<int>(n);
            } else if (name == "--multipv") {
                if (!number(1, 256)) return 2;
                a.multiPv = static_cast<int>(n);
            } else if (name == "--syzygy") {
                a.syzygyPath = value;
            } else if (name == "--book") {
                o.settings.bookFile = value;
            } else if (name == "--report") {
                o.reportDir = value;
            } else if (name == "-o") {
                o.output = value;
            } else {
                std::fprintf(stderr, "quintarex-tool annotate: unknown option '%s'\n%s", argv[i - 1], Usage);
                return 2;
            }
        } else if (o.input.empty()) {
            o.input = name;
        } else {
            std::fprintf(stderr, "quintarex-tool annotate: one PGN file only ('%s')\n%s", argv[i], Usage);
            return 2;
        }
    }
    if (o.input.empty()) {
        std::fprintf(stderr, "%s", Usage);
        return 2;
    }
    if (limits > 1) {
        std::fprintf(stderr, "quintarex-tool annotate: give one of --movetime, --depth and --nodes\n");
        return 2;
    }
    if (limits == 0) o.settings.analysis.moveTimeMs = DEFAULT_MOVETIME_MS;
    if (!o.settings.bookFile.empty() && access(o.settings.bookFile.c_str(), R_OK) != 0) {
        std::fprintf(stderr, "quintarex-tool annotate: cannot read the book %s\n", o.settings.bookFile.c_str());
        return 2;
    }
    return 0;
}

std::string annotatorName(const AnalysisSettings& a) {
    std::string limit = a.depth > 0      ? "depth " + std::to_string(a.depth)
                        : a.nodes > 0    ? std::to_string(a.nodes) + " nodes"
                                         : std::to_string(a.moveTimeMs) + " ms";
    return "quintarex-tool annotate, " + limit + " a position";
}

// The progress line on a terminal: games and moves done, the game on the board, the time left.
class Progress {
public:
    Progress(int games, long positions) : shown_(isatty(STDERR_FILENO) != 0), games_(games), positions_(positions) {
        start_ = currentTimeMs();
    }
    void update(int game, const PgnGame& g, long done) {
        if (!shown_) return;
        const long elapsed = static_cast<uint32_t>(currentTimeMs()) - static_cast<uint32_t>(start_);
        const long left = done > 0 ? elapsed * (positions_ - done) / done / 1000 : 0;
        const std::string* white = g.tag("White");
        const std::string* black = g.tag("Black");
        std::fprintf(stderr, "\r\033[Kgame %d/%d, positions %ld/%ld, %s - %s, about %ldm%02lds left", game, games_,
                     done, positions_, white ? white->c_str() : "?", black ? black->c_str() : "?", left / 60,
                     left % 60);
    }
    void end() {
        if (shown_) std::fprintf(stderr, "\r\033[K");
    }

private:
    bool shown_;
    int games_;
    long positions_;
    int32_t start_;
};

}  // namespace

int annotateCommand(int argc, char** argv) {
    Options o;
    if (const int status = parseOptions(argc, argv, o); status != 0) return status;
    std::string text;
    if (!readWholeFile(o.input.c_str(), text)) {
        std::fprintf(stderr, "quintarex-tool annotate: cannot read %s\n", o.input.c_str());
        return 2;
    }

    // Every game is read first: the count gives the progress line its end.
    std::vector<PgnGame> games;
    int skipped = 0;
    PgnReader reader(std::move(text));
    for (;;) {
        PgnGame game;
        PgnError error;
        const PgnReader::Outcome outcome = reader.next(game, error);
        if (outcome == PgnReader::Outcome::End) break;
        if (outcome == PgnReader::Outcome::Skipped) {
            std::fprintf(stderr, "%s:%d: %s; game skipped\n", o.input.c_str(), error.line, error.reason.c_str());
            ++skipped;
            continue;
        }
        games.push_back(std::move(game));
    }

    FILE* out = stdout;
    if (!o.output.empty() && !(out = std::fopen(o.output.c_str(), "w"))) {
        std::fprintf(stderr, "quintarex-tool annotate: cannot write %s\n", o.output.c_str());
        return 2;
    }
    std::string tables;
    if (!prepareAnalysis(o.settings.analysis, &tables)) return 2;
    // Of what the set-up says, only the tablebases found matter to a person watching.
    if (const size_t found = tables.find("Found "); found != std::string::npos && isatty(STDERR_FILENO))
        std::fprintf(stderr, "%s\n", tables.substr(found, tables.find('\n', found) - found).c_str());
    if (!o.settings.analysis.syzygyPath.empty() && tablebaseMen() == 0)
        std::fprintf(stderr, "quintarex-tool annotate: no tablebases found in %s\n", o.settings.analysis.syzygyPath.c_str());

    std::signal(SIGINT, onInterrupt);
    long positions = 0;
    for (const PgnGame& g : games) positions += static_cast<long>(g.moves.size()) + 1;
    Progress progress(static_cast<int>(games.size()), positions);
    const std::string annotator = annotatorName(o.settings.analysis);
    // Games are written in the file's order as soon as every one before them is done.
    std::vector<std::optional<GameJudgement>> finished(games.size());
    std::vector<int> analysedOf(games.size(), 0);
    std::vector<ReportGame> reported;
    long done = 0;
    size_t written = 0, nextToWrite = 0;
    bool interrupted = false;
    const auto write = [&](size_t i) {
        const std::string pgn = annotatedPgn(games[i], *finished[i], annotator);
        std::fwrite(pgn.data(), 1, pgn.size(), out);
        std::fflush(out);
        ++written;
        if (!o.reportDir.empty()) reported.push_back(ReportGame{games[i], std::move(*finished[i])});
        finished[i].reset();
    };
    const auto onProgress = [&](size_t i, int analysed) {
        done += analysed - analysedOf[i];
        analysedOf[i] = analysed;
        progress.update(static_cast<int>(i + 1), games[i], done);
    };
    const auto onJudged = [&](size_t i, GameJudgement&& judged) {
        if (!judged.complete) {
            interrupted = true;
            return;
        }
        finished[i] = std::move(judged);
        for (; nextToWrite < games.size() && finished[nextToWrite]; ++nextToWrite) write(nextToWrite);
    };
    bool workersWell = true;
    if (o.jobs > 1 && games.size() > 1) {
        workersWell = judgeGamesInWorkers(games, o.settings, o.jobs, JobReports{onProgress, onJudged});
    } else {
        for (size_t i = 0; i < games.size() && !interrupted; ++i) {
            progress.update(static_cast<int>(i + 1), games[i], done);
            onJudged(i, judgeGame(games[i], o.settings, [&](int analysed) { onProgress(i, analysed); }));
        }
    }
    // After an interrupt, the games finished beyond one left unfinished.
    for (size_t i = nextToWrite; i < games.size(); ++i)
        if (finished[i]) write(i);
    progress.end();
    std::signal(SIGINT, SIG_DFL);
    if (out != stdout) std::fclose(out);
    if (!o.reportDir.empty() && !writeReport(o.reportDir, o.input, reported)) return 2;
    if (interrupted) {
        std::fprintf(stderr, "quintarex-tool annotate: interrupted; %zu of %zu games written\n", written, games.size());
        return STATUS_INTERRUPTED;
    }
    if (!workersWell) {
        std::fprintf(stderr, "quintarex-tool annotate: %zu of %zu games written\n", written, games.size());
        return STATUS_WORKER_FAILED;
    }
    if (skipped > 0) {
        std::fprintf(stderr, "quintarex-tool annotate: %d game%s skipped\n", skipped, skipped == 1 ? "" : "s");
        return STATUS_SKIPPED;
    }
    return 0;
}
