#!/usr/bin/env python3
"""Calibrates the engine's playing levels: at each level, a match of the engine limited to that
level (LimitStrength=1, Elo=L in its settings file) against Stockfish limited to the same number
(UCI_LimitStrength, UCI_Elo: a scale anchored to a public rating list), through scripts/match.py,
both through UCI (so both spend the clock as a UCI interface lets them).
Prints a table of level, games, score and Elo difference with its 95 % error bar; a level is on
the scale when its score is 50 % +- 15 %. Run it on an idle machine, after any change to the search.

usage: scripts/calibrate-strength.py [--engine build/quintarex] [--stockfish /usr/games/stockfish]
         [--levels 1350 1480 1620 1750] [--games 100] [--tc 0:05] [--inc 0.05]
         [--openings FILE] [--concurrency 2] [--loss-threshold CP] [--out DIR]
         [--full-strength-against ELO]
"""
import argparse
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--engine", default=os.path.join(HERE, "..", "build", "quintarex"))
    p.add_argument("--stockfish", default="/usr/games/stockfish")
    p.add_argument("--levels", type=int, nargs="*", default=[1350, 1480, 1620, 1750])
    p.add_argument("--games", type=int, default=100)
    p.add_argument("--tc", default="0:05")
    p.add_argument("--inc", type=float, default=0.05)
    p.add_argument("--openings")
    p.add_argument("--concurrency", type=int, default=2)
    # A game one side has lost for good by both engines' reckoning is adjudicated, to save time.
    p.add_argument("--loss-threshold", type=int, default=0)
    p.add_argument("--out", default="calibration")
    # The engine at full strength against Stockfish limited to ELO: where the top of the scale lies.
    p.add_argument("--full-strength-against", type=int)
    args = p.parse_args()
    rows = []
    matches = [(level, level, 1) for level in args.levels]
    if args.full_strength_against:
        matches.append(("full", args.full_strength_against, 0))
    for name, level, limited in matches:
        out = os.path.abspath(os.path.join(args.out, str(name)))
        ini = f"[ENGINE]\\nHashSize=64\\nPawnHashSize=8\\nLimitStrength={limited}\\nElo={level}\\n[TABLEBASE]\\nSyzygy=0\\n"
        cmd = [sys.executable, os.path.join(HERE, "match.py"), args.engine, args.stockfish, "--first-uci", "--second-uci",
               "--games", str(args.games), "--tc", args.tc, "--inc", str(args.inc), "--first-ini", ini,
               "--second-options", f"UCI_LimitStrength=1,UCI_Elo={level},Hash=64",
               "--concurrency", str(args.concurrency), "--loss-threshold", str(args.loss_threshold),
               "--out", out]
        if args.openings:
            cmd += ["--openings", args.openings]
        result = subprocess.run(cmd, capture_output=True, text=True).stdout
        print(result, flush=True)
        found = re.search(r"first's result: (.*)", result)
        rows.append((name, level, found.group(1) if found else "no result"))
    print("\n| level | Stockfish UCI_Elo | result |\n|---|---|---|")
    for name, level, text in rows:
        print(f"| {name} | {level} | {text} |")


if __name__ == "__main__":
    main()
