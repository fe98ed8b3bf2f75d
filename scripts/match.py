#!/usr/bin/env python3
"""A match between two engines through headless xboard instances running side by side, from a file of
openings each played with both colours. Reports the first engine's score with its Elo difference and
95 % error bar, and every crash, illegal move, time loss and protocol error. Not part of CI.

usage: scripts/match.py FIRST SECOND --games N [options]
  FIRST, SECOND        engine programs; quintarex reads quintarex.ini from its own folder under --out
  --first-uci, --second-uci   speak UCI (through Debian's polyglot adapter, xboard -fUCI)
  --first-ini TEXT, --second-ini TEXT   the quintarex.ini written for that engine
  --first-options TEXT, --second-options TEXT   xboard -firstOptions/-secondOptions (e.g. "Threads=2")
  --tc 0:05 --inc 0.5 --mps 0  the clock (xboard's -tc, -inc, -mps)
  --ponder             pondering on (off by default: one engine thinks at a time)
  --draw-moves N, --loss-threshold CP   xboard's adjudication (defaults 200 moves, none)
  --openings FILE      PGN of openings (scripts/make-openings.py); each is played twice, colours reversed
  --variant NAME       xboard's -variant (e.g. fischerandom, with scripts/make-chess960-openings.py)
  --concurrency K      xboard instances at once (default 1)
  --out DIR            where folders, PGN files and debug logs go
"""
import argparse
import math
import os
import re
import subprocess
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor

NAMES = ("first", "second")


def elo(score):
    score = min(max(score, 1e-6), 1 - 1e-6)
    return -400 * math.log10(1 / score - 1)


def summary(wins, draws, losses):
    n = wins + draws + losses
    if n == 0:
        return "no games"
    s = (wins + draws / 2) / n
    var = (wins * (1 - s) ** 2 + draws * (0.5 - s) ** 2 + losses * s ** 2) / n
    margin = 1.96 * math.sqrt(var / n)
    return (f"{n} games: +{wins} ={draws} -{losses}, score {100 * s:.1f} %, "
            f"Elo {elo(s):+.0f} (95 %: {elo(s - margin):+.0f} to {elo(s + margin):+.0f})")


def split_openings(path, parts):
    text = open(path).read()
    games = [g for g in re.split(r"(?=\[Event )", text) if g.strip()]
    return [games[i::parts] for i in range(parts)]


def play(args, index, games, openings):
    out = os.path.join(args.out, f"run{index}")
    os.makedirs(out, exist_ok=True)
    dirs = []
    for name, ini in zip(NAMES, (args.first_ini, args.second_ini)):
        d = os.path.join(out, name)
        os.makedirs(d, exist_ok=True)
        with open(os.path.join(d, "quintarex.ini"), "w") as f:
            f.write(ini.replace("\\n", "\n"))
        dirs.append(d)
    pgn, debug = os.path.join(out, "games.pgn"), os.path.join(out, "xboard.debug")
    # xboard reads and saves ~root/.xboardrc whatever HOME says: neither its settings nor its tablebase path.
    cmd = ["xvfb-run", "-a", "xboard", "-noGUI", "-xexit", "-autoCallFlag", "true",
           "-saveSettingsOnExit", "false", "-egtFormats", "",
           "-fcp", args.first, "-fd", dirs[0], "-scp", args.second, "-sd", dirs[1],
           "-fn", "first", "-sn", "second", "-mg", str(games), "-tc", args.tc,
           "-ponder" if args.ponder else "-xponder", "-adjudicateDrawMoves", str(args.draw_moves),
           "-adjudicateLossThreshold", str(-abs(args.loss_threshold)),
           "-sgf", pgn, "-debug", "-nameOfDebugFile", debug]
    # xboard takes any increment, even 0, for an incremental clock that replaces the move count.
    cmd += ["-mps", str(args.mps)] if args.mps > 0 else ["-inc", str(args.inc)]
    if args.variant:
        cmd += ["-variant", args.variant]
    if args.first_uci:
        cmd += ["-fUCI"]
    if args.second_uci:
        cmd += ["-sUCI"]
    if args.first_options:
        cmd += ["-firstOptions", args.first_options]
    if args.second_options:
        cmd += ["-secondOptions", args.second_options]
    if openings:
        path = os.path.join(out, "openings.pgn")
        with open(path, "w") as f:
            f.write("".join(openings))
        cmd += ["-lgf", path, "-lgi", "-2", "-rewindIndex", str(len(openings))]
    env = dict(os.environ, HOME=out, PATH=os.environ.get("PATH", "") + ":/usr/games")
    with open(os.path.join(out, "xboard.out"), "w") as log:
        subprocess.run(cmd, env=env, stdout=log, stderr=subprocess.STDOUT, timeout=games * 1800 + 120)
    return pgn, debug


def tally(pgn, debug):
    counts = {"wins": 0, "draws": 0, "losses": 0, "unfinished": 0, "crashes": 0, "illegal": 0,
              "time losses first": 0, "time losses second": 0, "protocol errors": 0}
    if not os.path.exists(pgn):
        return counts
    for game in re.split(r"(?=\[Event )", open(pgn).read()):
        white = re.search(r'\[White "([^"]*)"\]', game)
        result = re.search(r'\[Result "([^"]*)"\]', game)
        if not white or not result:
            continue
        first_white = white.group(1) == "first"
        r = result.group(1)
        if r == "1/2-1/2":
            counts["draws"] += 1
        elif r in ("1-0", "0-1"):
            counts["wins" if (r == "1-0") == first_white else "losses"] += 1
        else:
            counts["unfinished"] += 1
        for comment in re.findall(r"\{([^}]*)\}", game):
            low = comment.lower()
            if re.search(r"crash|exited|died|disconnect", low):
                counts["crashes"] += 1
            if "illegal" in low:
                counts["illegal"] += 1
            if re.search(r"on time|time forfeit|flag", low):
                white_lost = "black wins" in low or ("white" in low and "wins" not in low)
                loser_first = white_lost == first_white
                counts["time losses first" if loser_first else "time losses second"] += 1
    if os.path.exists(debug):
        for line in open(debug, errors="replace"):
            if re.match(r"<(first|second)\s*:", line) and re.search(r"Illegal move|Error \(|tellusererror", line):
                counts["protocol errors"] += 1
    return counts


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("first")
    p.add_argument("second")
    p.add_argument("--games", type=int, required=True)
    p.add_argument("--first-uci", action="store_true")
    p.add_argument("--second-uci", action="store_true")
    p.add_argument("--first-ini", default="[ENGINE]\\nHashSize=64\\nPawnHashSize=8\\n")
    p.add_argument("--second-ini", default="[ENGINE]\\nHashSize=64\\nPawnHashSize=8\\n")
    p.add_argument("--first-options", default="")
    p.add_argument("--second-options", default="")
    p.add_argument("--tc", default="0:05")
    p.add_argument("--inc", type=float, default=0.5)
    p.add_argument("--mps", type=int, default=0)
    p.add_argument("--ponder", action="store_true")
    p.add_argument("--draw-moves", type=int, default=200, help="a game still running after this many moves is drawn")
    p.add_argument("--loss-threshold", type=int, default=0,
                   help="centipawns: a game both engines score beyond this for 6 plies is adjudicated (0: never)")
    p.add_argument("--openings")
    p.add_argument("--variant")
    p.add_argument("--concurrency", type=int, default=1)
    p.add_argument("--out", default=None)
    args = p.parse_args()
    args.first, args.second = os.path.abspath(args.first), os.path.abspath(args.second)
    args.out = os.path.abspath(args.out or tempfile.mkdtemp(prefix="match-"))
    k = max(1, args.concurrency)
    shares = [args.games // k + (1 if i < args.games % k else 0) for i in range(k)]
    openings = split_openings(args.openings, k) if args.openings else [None] * k
    with ThreadPoolExecutor(k) as pool:
        runs = list(pool.map(lambda i: play(args, i, shares[i], openings[i]), range(k)))
    total = {}
    for pgn, debug in runs:
        for key, value in tally(pgn, debug).items():
            total[key] = total.get(key, 0) + value
    clock = f"{args.tc} for {args.mps} moves, repeating" if args.mps else f"{args.tc} + {args.inc} s"
    print(f"first: {args.first}\nsecond: {args.second}\nclock: {clock}" + (", pondering" if args.ponder else ""))
    print("first's result: " + summary(total["wins"], total["draws"], total["losses"]))
    for key in ("unfinished", "crashes", "illegal", "time losses first", "time losses second", "protocol errors"):
        print(f"{key}: {total[key]}")
    print(f"logs: {args.out}")
    bad = total["crashes"] + total["illegal"] + total["time losses first"] + total["protocol errors"]
    sys.exit(1 if bad else 0)


if __name__ == "__main__":
    main()
