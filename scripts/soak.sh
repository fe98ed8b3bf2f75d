#!/usr/bin/env bash
# Unattended soak: plays a long series of fast games of quintarex through a real, headless xboard,
# against itself (and against fairymax when QX_SOAK_FAIRYMAX=1 and it is installed), with pondering
# on and off in alternate matches. Reports games played, results, and every crash, illegal move,
# time loss of quintarex's or protocol error. Not part of CI.
#
# With QX_SOAK_UCI=1 quintarex plays in UCI mode through Debian's polyglot adapter (xboard -fUCI).
# QX_SOAK_THREADS=N gives both quintarex engines N search threads (default 1).
#
# usage: scripts/soak.sh [games] [path/to/quintarex]   (default 100 games, build/quintarex)
set -u
games=${1:-100}
engine=$(readlink -f "${2:-build/quintarex}")
scripts=$(cd "$(dirname "$0")" && pwd)
per_match=${QX_SOAK_MATCH_GAMES:-10}
tc=${QX_SOAK_TC:-0:08}
inc=${QX_SOAK_INC:-0.1}
export PATH="$PATH:/usr/games"
command -v xboard >/dev/null || { echo "xboard is not installed (Debian package xboard)"; exit 2; }
command -v xvfb-run >/dev/null || { echo "xvfb-run is not installed (Debian package xvfb)"; exit 2; }
uci=()
if [ "${QX_SOAK_UCI:-0}" = 1 ]; then
    command -v polyglot >/dev/null || { echo "polyglot is not installed (Debian package polyglot)"; exit 2; }
    uci=(-fUCI)
fi
[ -x "$engine" ] || { echo "no engine at $engine"; exit 2; }

work=${QX_SOAK_DIR:-$(mktemp -d)}
mkdir -p "$work/first" "$work/second"
for dir in first second; do
    cat >"$work/$dir/quintarex.ini" <<INI
[ENGINE]
HashSize=64
PawnHashSize=8
Threads=${QX_SOAK_THREADS:-1}
[LOG]
LogGame=1
[TABLEBASE]
Syzygy=0
INI
done
opponents=("$engine")
[ "${QX_SOAK_FAIRYMAX:-0}" = 1 ] && command -v fairymax >/dev/null && opponents+=(fairymax)

played=0 matches=0 crashes=0 illegal=0 timeouts=0 others_timeouts=0 protocol=0 unfinished=0
declare -A results
while [ "$played" -lt "$games" ]; do
    n=$per_match
    [ $((games - played)) -lt "$n" ] && n=$((games - played))
    opponent=${opponents[$((matches % ${#opponents[@]}))]}
    # Every opponent meets quintarex with pondering off and on in turn.
    if [ $((matches / ${#opponents[@]} % 2)) -eq 0 ]; then ponder=-xponder; else ponder=-ponder; fi
    name="match$matches"
    pgn="$work/$name.pgn" debug="$work/$name.debug"
    HOME="$work" timeout $((n * 120 + 60)) xvfb-run -a xboard -noGUI -xexit -autoCallFlag true \
        -fcp "$engine" -fd "$work/first" "${uci[@]}" -scp "$opponent" -sd "$work/second" \
        -mg "$n" -tc "$tc" -inc "$inc" "$ponder" -adjudicateDrawMoves 150 \
        -sgf "$pgn" -debug -nameOfDebugFile "$debug" >"$work/$name.out" 2>&1
    status=$?
    got=$(grep -c '^\[Result ' "$pgn" 2>/dev/null || echo 0)
    proper=$(grep -cE '^\[Result "(1-0|0-1|1/2-1/2)"\]' "$pgn" 2>/dev/null || echo 0)
    [ "$status" -ne 0 ] && echo "$name: xboard ended with status $status"
    unfinished=$((unfinished + got - proper + n - got))
    played=$((played + got))
    matches=$((matches + 1))
    while read -r r; do results[$r]=$(( ${results[$r]:-0} + 1 )); done < <(grep -oE '^\[Result "[^"]*"\]' "$pgn" 2>/dev/null | cut -d'"' -f2)
    c=$(grep -ciE '\{[^}]*(crash|exited|died|disconnect)[^}]*\}' "$pgn" 2>/dev/null); crashes=$((crashes + ${c:-0}))
    c=$(grep -ciE '\{[^}]*illegal[^}]*\}' "$pgn" 2>/dev/null); illegal=$((illegal + ${c:-0}))
    # A flag that falls for another opponent is reported, not counted against quintarex.
    losers=$(awk -f "$scripts/pgn-time-losses.awk" "$pgn" 2>/dev/null)
    c=$(grep -cE '^(quintarex|\?)' <<<"$losers"); timeouts=$((timeouts + c))
    c=$(grep -cvE '^(quintarex|\?|$)' <<<"$losers"); others_timeouts=$((others_timeouts + c))
    # quintarex is always the first engine; another opponent's own complaints are not counted.
    who='first'
    [ "$opponent" = "$engine" ] && who='(first|second)'
    c=$(grep -E "<$who *:" "$debug" 2>/dev/null | grep -cE 'Illegal move|Error \(|tellusererror')
    protocol=$((protocol + ${c:-0}))
    echo "$name ($(basename "$opponent") $ponder): $got games: $(grep -oE '^\[Result "[^"]*"\] *$' "$pgn" 2>/dev/null | cut -d'"' -f2 | tr '\n' ' ')"
    [ "$got" -eq 0 ] && { echo "no game was played; stopping (see $work/$name.out)"; break; }
done

echo "=== soak report"
echo "games played: $played in $matches matches (time control $tc + $inc s${uci:+, quintarex in UCI mode})"
for r in "${!results[@]}"; do echo "  $r: ${results[$r]}"; done
echo "crashes: $crashes"
echo "illegal moves: $illegal"
echo "time losses: $timeouts"
echo "time losses of the other engine (not counted): $others_timeouts"
echo "protocol errors: $protocol"
echo "games without a proper result: $unfinished"
echo "logs: $work"
[ $((crashes + illegal + timeouts + protocol + unfinished)) -eq 0 ]
