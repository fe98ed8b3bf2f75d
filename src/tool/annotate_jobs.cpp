#include "tool/annotate_jobs.h"

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/workerprocess.h"
#include "tool/annotate_search.h"
#include "tool/judgement_wire.h"

namespace {

constexpr int32_t NO_MORE_GAMES = -1;
enum : int32_t { PROGRESS = 1, JUDGED = 2 };

// What a worker says: a game's positions done (value), or its judgement (value bytes follow).
struct Message {
    int32_t kind;
    int32_t game;
    int64_t value;
};

void serve(int input, int output, const std::vector<PgnGame>& games, const AnnotationSettings& settings) {
    int32_t game = 0;
    while (readAll(input, &game, sizeof game) && game >= 0 && static_cast<size_t>(game) < games.size()) {
        GameJudgement judged = judgeGame(games[static_cast<size_t>(game)], settings, [&](int analysed) {
            const Message m{PROGRESS, game, analysed};
            writeAll(output, &m, sizeof m);
        });
        const std::string bytes = encodeJudgement(judged);
        const Message m{JUDGED, game, static_cast<int64_t>(bytes.size())};
        if (!writeAll(output, &m, sizeof m) || !writeAll(output, bytes.data(), bytes.size())) return;
        if (!judged.complete) return;
    }
}

struct Running {
    WorkerProcess process;
    int32_t game = NO_MORE_GAMES;  // the game it works on
};

}  // namespace

bool judgeGamesInWorkers(const std::vector<PgnGame>& games, const AnnotationSettings& settings, int jobs,
                         const JobReports& reports) {
    // A worker that died must not take this process with it when it is sent its next game.
    const auto oldPipe = std::signal(SIGPIPE, SIG_IGN);
    std::vector<Running> workers;
    std::vector<WorkerProcess> started;
    bool whole = true;
    size_t next = 0;
    const size_t wanted = std::min(games.size(), static_cast<size_t>(std::max(jobs, 1)));
    for (size_t k = 0; k < wanted; ++k) {
        WorkerProcess w;
        if (!startWorker(w, started.data(), static_cast<int>(started.size()),
                         [&](int in, int out) { serve(in, out, games, settings); })) {
            std::fprintf(stderr, "quintarex-tool annotate: could not start worker %zu\n", k + 1);
            if (k == 0) whole = false;
            break;
        }
        started.push_back(w);
        workers.push_back(Running{w, NO_MORE_GAMES});
    }
    const auto handOut = [&](Running& r) {
        r.game = NO_MORE_GAMES;
        if (next < games.size() && !analysisStopped()) r.game = static_cast<int32_t>(next++);
        const int32_t game = r.game;
        if (!writeAll(r.process.toWorker, &game, sizeof game) && game != NO_MORE_GAMES) {
            std::fprintf(stderr, "quintarex-tool annotate: a worker is gone; game %d not annotated\n", game + 1);
            whole = false;
            r.game = NO_MORE_GAMES;
        }
    };
    for (Running& r : workers) handOut(r);

    bool forwarded = false;
    for (;;) {
        std::vector<int> fds;
        std::vector<size_t> which;
        for (size_t k = 0; k < workers.size(); ++k)
            if (workers[k].game != NO_MORE_GAMES) {
                fds.push_back(workers[k].process.fromWorker);
                which.push_back(k);
            }
        if (fds.empty()) break;
        if (analysisStopped() && !forwarded) {
            for (const Running& r : workers) interruptWorker(r.process);
            forwarded = true;
        }
        const int ready = waitReadable(fds.data(), static_cast<int>(fds.size()));
        if (ready < 0) continue;  // a signal: the loop looks at the stop flag again
        Running& r = workers[which[static_cast<size_t>(ready)]];
        Message m{};
        std::string bytes;
        bool heard = readAll(r.process.fromWorker, &m, sizeof m) && m.game == r.game;
        if (heard && m.kind == JUDGED) {
            bytes.resize(static_cast<size_t>(m.value));
            heard = m.value >= 0 && readAll(r.process.fromWorker, bytes.data(), bytes.size());
        }
        GameJudgement judged;
        if (heard && m.kind == JUDGED) heard = decodeJudgement(bytes, &judged);
        if (!heard) {
            std::fprintf(stderr, "quintarex-tool annotate: the worker on game %d ended without its result\n",
                         r.game + 1);
            whole = false;
            r.game = NO_MORE_GAMES;
            continue;
        }
        if (m.kind == PROGRESS) {
            if (reports.progress) reports.progress(static_cast<size_t>(m.game), static_cast<int>(m.value));
            continue;
        }
        const bool complete = judged.complete;
        if (reports.judged) reports.judged(static_cast<size_t>(m.game), std::move(judged));
        if (complete) {
            handOut(r);
        } else {
            r.game = NO_MORE_GAMES;  // interrupted: the worker has ended
        }
    }
    for (Running& r : workers)
        if (!endWorker(r.process) && !analysisStopped()) whole = false;
    std::signal(SIGPIPE, oldPipe);
    return whole;
}
