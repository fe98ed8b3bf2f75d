#!/usr/bin/env bash
# Plays a short headless xboard match of quintarex against another xboard engine (QX_GUI_OPPONENT,
# else fairymax when installed, else a second quintarex): two games at a fast time control without pondering, then
# one game with pondering on, and one in UCI mode through the polyglot adapter. quintarex searches at most 8 plies here so that a game takes a minute
# or two. Passes (0) when every game ends with a proper result and xboard's debug
# log shows no illegal move, crash, time loss of quintarex's or protocol error; exits 77 (skipped) when xboard,
# xvfb-run or the opponent is not installed. Installs nothing.
#
# usage: scripts/xboard-match.sh [path/to/quintarex]
set -u

engine=$(readlink -f "${1:-build/quintarex}")
scripts=$(cd "$(dirname "$0")" && pwd)
export PATH="$PATH:/usr/games"
opponent=${QX_GUI_OPPONENT:-}
if [ -z "$opponent" ]; then
    if command -v fairymax >/dev/null; then opponent=fairymax; else opponent=$engine; fi
fi

skip() {
    echo "SKIP: $1"
    exit 77
}
command -v xboard >/dev/null || skip "xboard is not installed (Debian package xboard)"
command -v xvfb-run >/dev/null || skip "xvfb-run is not installed (Debian package xvfb)"
command -v "${opponent%% *}" >/dev/null || skip "the opponent $opponent is not installed"
[ -x "$engine" ] || { echo "FAIL: no engine at $engine"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/quintarex" "$work/opponent"
# The same settings for a second quintarex as the opponent; other engines ignore the file.
cat >"$work/quintarex/quintarex.ini" <<'INI'
[ENGINE]
MaxDepth=8
HashSize=16
PawnHashSize=4
[LOG]
LogGame=1
[TABLEBASE]
Syzygy=0
INI
cp "$work/quintarex/quintarex.ini" "$work/opponent/"

failed=0
fail() {
    echo "FAIL: $1"
    failed=1
}

# match NAME GAMES PONDER(-ponder|-xponder) TIME-CONTROL INCREMENT MOVES-TO-DRAW [XBOARD-FLAGS...]
match() {
    local name=$1 games=$2 ponder=$3 tc=$4 inc=$5 drawMoves=$6
    shift 6
    local extra=("$@")
    local pgn="$work/$name.pgn" debug="$work/$name.debug"
    # xboard reads the user's ~/.xboardrc whatever HOME says: the match neither saves to it nor
    # takes its tablebase paths (a path without tables is reported to the user as trouble).
    HOME="$work" timeout 300 xvfb-run -a xboard -noGUI -xexit -autoCallFlag true -saveSettingsOnExit false -egtFormats "" \
        -fcp "$engine" -fd "$work/quintarex" "${extra[@]}" -scp "$opponent" -sd "$work/opponent" \
        -mg "$games" -tc "$tc" -inc "$inc" "$ponder" -adjudicateDrawMoves "$drawMoves" \
        -sgf "$pgn" -debug -nameOfDebugFile "$debug" >"$work/$name.out" 2>&1
    local status=$?
    # fairymax 5.0b crashes now and then while it ponders; a crashed opponent ends the match
    # early and, like its time losses, says nothing about this engine.
    local crashed=0
    if grep -qE 'Error writing to second chess program|second chess program.*(exited|died)' "$debug" 2>/dev/null; then
        crashed=1
        echo "$name: the opponent crashed (not counted)"
    fi
    [ $status -eq 0 ] || [ $crashed -eq 1 ] || fail "$name: xboard ended with status $status"
    [ -f "$pgn" ] || { fail "$name: no games were saved"; return; }

    local played proper
    played=$(grep -c '^\[Result ' "$pgn")
    proper=$(grep -cE '^\[Result "(1-0|0-1|1/2-1/2)"\]' "$pgn")
    [ "$played" -eq "$games" ] || [ $crashed -eq 1 ] || fail "$name: $played of $games games were played"
    [ "$proper" -eq "$played" ] || fail "$name: a game ended without a result"
    if grep -qiE '\{[^}]*(illegal|crash|exited|disconnect|false)[^}]*\}' "$pgn"; then
        fail "$name: a game ended badly: $(grep -oiE '\{[^}]*(illegal|crash|exited|disconnect|false)[^}]*\}' "$pgn" | tr '\n' ' ')"
    fi
    # Only quintarex's own flag fails the match: an opponent starved of time by a loaded machine
    # says nothing about this engine.
    local losers
    losers=$(awk -f "$scripts/pgn-time-losses.awk" "$pgn")
    if grep -qE '^(quintarex|\?)' <<<"$losers"; then
        fail "$name: quintarex lost on time"
    elif [ -n "$losers" ]; then
        echo "$name: the opponent lost on time (not counted): $(tr '\n' ' ' <<<"$losers")"
    fi
    # quintarex is the first engine: its replies appear as "<first :" lines of the debug log.
    local bad
    bad=$(grep -E '<first *:' "$debug" | grep -E 'Illegal move|Error \(|tellusererror|telluser ' | head -5)
    [ -z "$bad" ] || fail "$name: protocol trouble: $bad"
    if grep -qiE 'first chess program.*(exited|died)|Illegal move.*first|first.*illegal move' "$debug"; then
        fail "$name: xboard reports: $(grep -iE 'exited|died|illegal move' "$debug" | head -3)"
    fi
    if [ "$ponder" = "-ponder" ] && [ ${#extra[@]} -eq 0 ] && [ $crashed -eq 0 ] && ! grep -qE '<first *: *Hint:' "$debug"; then
        fail "$name: quintarex never pondered"
    fi
    echo "$name: $played games: $(grep -oE '^\[Result "[^"]*"\]' "$pgn" | tr '\n' ' ')"
    if [ $failed -ne 0 ]; then
        echo "--- $name: end of the debug log ---"
        tail -40 "$debug"
        cp "$pgn" "$debug" "${QX_GUI_KEEP:-/dev/null}" 2>/dev/null || true
    fi
}

# Games longer than the given number of moves are adjudicated drawn, to keep the run short.
match plain 2 -xponder 0:15 1 60
# Three seconds of increment is no fast game to quintarex, and an opponent clock above ten seconds
# keeps its pondering on.
match ponder 1 -ponder 0:20 3 40
# quintarex in UCI mode through Debian's polyglot adapter, when it is installed.
if command -v polyglot >/dev/null; then
    match uci 1 -ponder 0:15 1 60 -fUCI
else
    echo "uci: skipped, polyglot is not installed (Debian package polyglot)"
fi

[ $failed -eq 0 ] && echo "PASS" || exit 1
