#!/usr/bin/env bash
# Records the engine's and the tool's outputs on fixed protocol, console and tool runs, with
# times and speeds blanked, so two builds can be compared with diff -r:
#   scripts/output-snapshot.sh build /tmp/before; ...; scripts/output-snapshot.sh build /tmp/after
set -euo pipefail
scripts=$(realpath "$(dirname "$0")")
build=$(realpath "$1")
out=$(mkdir -p "$2" && realpath "$2")
shared=$(realpath "$(dirname "$0")/../../shared" 2>/dev/null || echo /nonexistent)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
printf '[ENGINE]\nHashSize=16\nPawnHashSize=4\nMaxTime=200\n[BOOK]\nBook=0\n[TABLEBASE]\nSyzygy=0\n' >quintarex.ini

# Thinking lines: depth, score, centiseconds, nodes, moves; the time is blanked.
blank() { sed -E 's/^( ?[0-9]+ +-?[0-9]+) +[0-9]+/\1 T/; s/[0-9]+( ?ms)/N\1/g; s/(second:? *)[0-9.]+/\1N/g'; }

session() {  # name, then the lines to send
    local name=$1
    shift
    printf '%s\n' "$@" | "$build/quintarex" 2>&1 | blank >"$out/$name.txt"
}

session xboard-game xboard "protover 2" new post easy "level 0 5 0" "time 30000" "otim 30000" "sd 5" "usermove e2e4" "usermove d2d4" "usermove g1f3" \
    "setboard 4k3/8/8/8/8/8/4P3/4K3 w - - 0 1" go "setboard 8/8/8/8/8/8/8/8 w - - 0 1" "setboard bad" \
    "usermove e9e4" "sd 1" "st 0" "memory 2" "level 40 5 0" "time 100" "otim 90" "ping 3" "frobnicate" quit
session xboard-old xboard easy "time 30000" "otim 30000" force f2f4 "sd 4" go force c2c4 go quit
session console console easy "time 30000" "otim 30000" "sd 4" b e2e4 go undo undo "setboard r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1" b param \
    help draw score val "sd 1" "st 0" "memory 2" quit
# UCI: every go runs to its own end (scripts/uci-session.py paces the lines); times and speeds blanked.
uciblank() { sed -E "s/ time [0-9]+/ time T/; s/ nps [0-9]+/ nps R/; s|$shared|SHARED|g"; }
uci() {  # name, then the script's lines
    local name=$1
    shift
    printf '%s\n' "$@" | "$scripts/uci-session.py" "$build/quintarex" | uciblank >"$out/$name.txt"
}
uci uci-session uci "setoption name Hash value 8" "setoption name Hash value 0" "setoption name Threads value 300" \
    "setoption name MultiPV value x" "setoption name UCI_Elo value 1000" "setoption name Ponder value maybe" \
    "setoption name Nonsense value 1" "setoption name Move Overhead value 10" isready ucinewgame \
    "position startpos moves e2e4 e7e5 g1f3" "go depth 6" "go nodes 20000" \
    "position fen r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3 moves f1c4 g8f6" "go depth 5 searchmoves d2d3 b1c3" \
    "position fen 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1" "go mate 2" \
    "position fen r1b1kb1r/pppp1ppp/5q2/4n3/3KP3/2N3PN/PPP4P/R1BQ1B1R b kq - 0 1" "go mate 3" \
    "position startpos moves e2e4 e7e9" "position fen bad fen" "position startpos" "position" \
    "position startpos moves d2d4 d7d5 c2c4" "setoption name MultiPV value 3" "go depth 5" "setoption name MultiPV value 1" \
    "go wtime 10 btime 10" "go wtime 1000 btime -500" \
    "position startpos moves e2e4" "go infinite depth 4" "=wait info depth 4 " stop \
    "position startpos moves e2e4 c7c5" "go ponder depth 5 wtime 60000 btime 60000" "=wait info depth 5 " ponderhit \
    "position fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1" "go depth 3" \
    "setoption name Clear Hash" "position startpos moves g1f3" "go nodes 5000" quit
"$build/quintarex-tool" search "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3" --depth 7 |
    blank >"$out/tool-search.txt"
"$build/quintarex-tool" eval "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3" >"$out/tool-eval.txt"
"$build/quintarex-tool" perft "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1" 3 --divide \
    >"$out/tool-perft.txt"
"$build/quintarex-tool" bench search 5 | blank >"$out/tool-bench-search.txt"
if [ -d "$shared" ]; then
    "$build/quintarex-tool" book "$shared/books/performance.bin" \
        "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1" >"$out/tool-book.txt"
    "$build/quintarex-tool" probe "8/8/8/4k3/8/8/3QK3/8 w - - 0 1" --path "$shared/syzygy" >"$out/tool-probe.txt"
    "$build/quintarex-tool" probe "8/8/4k3/8/8/4P3/4K3/8 w - - 0 1" --path "$shared/syzygy" >>"$out/tool-probe.txt"
    uci uci-tablebase uci "setoption name SyzygyPath value $shared/syzygy" "position fen 8/8/8/4k3/8/8/3QK3/8 w - - 0 1" \
        "go depth 4" "position fen 8/8/4k3/8/8/4P3/4K3/8 b - - 0 1" "go depth 4" "setoption name SyzygyPath value /nowhere" quit
fi
echo "outputs in $out"
