#!/usr/bin/env bash
# Builds revision REV and the working tree in Release side by side in a temporary directory,
# runs `bench search` and `bench perft` of both alternately for ROUNDS rounds (default 5) and
# prints each one's median speed, the ratio working tree / REV, and whether the trees are
# identical: every iteration (depth, score, nodes, line) of the bench positions and of the
# Bratko-Kopec positions at depth 8.
#   scripts/bench-compare.sh 60dbb10 [ROUNDS]
# QX_BENCH_PERFT=0 skips the perft benchmark (it takes about a minute a run).
set -euo pipefail
rev=${1:?usage: scripts/bench-compare.sh REV [ROUNDS]}
rounds=${2:-5}
perft=${QX_BENCH_PERFT:-1}
root=$(git -C "$(dirname "$0")/.." rev-parse --show-toplevel)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/base-src"
git -C "$root" archive "$rev" | tar -x -C "$work/base-src"
build() {  # source dir, build dir
    cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
    cmake --build "$2" -j2 --target quintarex-tool >/dev/null
}
echo "building $rev and the working tree..."
build "$work/base-src" "$work/base"
build "$root" "$work/work"

# The per-position lines of bench search: FEN, move, nodes.
positions() { grep -E '^[^ ]+ [wb] [^ ]+ [^ ]+ [0-9]+ [0-9]+ +[a-h][1-8]' "$1" | sed -E 's/ +/ /g'; }
median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : int((v[NR / 2] + v[NR / 2 + 1]) / 2)}'; }

# Every iteration of every tree, without the time column.
trees() {  # tool
    local fen
    {
        positions "$work/search-base-1.txt" | cut -d' ' -f1-6
        [ -f "$bk" ] && sed -E 's/^(([^ ]+ ){3}[^ ]+).*/\1 0 1/' "$bk"
    } | while read -r fen; do
        echo "$fen"
        "$1" search "$fen" --depth 8 | awk '/^ *[0-9]+ / {$3 = ""; print}'
    done
}
bk="$root/../shared/testdata/bratko-kopec.epd"

identical=yes
for ((i = 1; i <= rounds; i++)); do
    for side in base work; do
        "$work/$side/quintarex-tool" bench search >"$work/search-$side-$i.txt"
        grep '^Nodes/second:' "$work/search-$side-$i.txt" | awk '{print $2}' >>"$work/search-$side.nps"
        if [ "$perft" != 0 ]; then
            "$work/$side/quintarex-tool" bench perft >"$work/perft-$side-$i.txt"
            grep '^Raw nodes per second:' "$work/perft-$side-$i.txt" | awk '{print $5}' >>"$work/perft-$side.nps"
        fi
    done
    if ! diff <(positions "$work/search-base-$i.txt") <(positions "$work/search-work-$i.txt") >/dev/null; then
        identical=no
    fi
    line="round $i: search $(tail -1 "$work/search-base.nps") / $(tail -1 "$work/search-work.nps") nodes/s"
    [ "$perft" != 0 ] && line+=", perft $(tail -1 "$work/perft-base.nps") / $(tail -1 "$work/perft-work.nps") leaves/s"
    echo "$line"
done

report() {  # name, unit
    local old new
    old=$(median <"$work/$1-base.nps")
    new=$(median <"$work/$1-work.nps")
    printf '%-7s median %s %12s  working tree %12s %s  ratio %s\n' "$1" "$rev" "$old" "$new" "$2" \
        "$(awk -v a="$new" -v b="$old" 'BEGIN {printf "%.3f", a / b}')"
}
if ! diff <(trees "$work/base/quintarex-tool") <(trees "$work/work/quintarex-tool") >/dev/null; then
    identical=no
fi
[ -f "$bk" ] || echo "($bk absent: Bratko-Kopec trees not compared)"
report search nodes/s
if [ "$perft" != 0 ]; then report perft leaves/s; fi
echo "trees identical (every iteration, bench positions and Bratko-Kopec at depth 8): $identical"
[ "$identical" = yes ]
