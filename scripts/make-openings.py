#!/usr/bin/env python3
"""Writes N distinct short openings as a PGN file for xboard's -lgf, drawn at random from a Polyglot
book: each ply is a book move of the position, listed by the engine's console, chosen uniformly.

usage: scripts/make-openings.py ENGINE BOOK PLIES COUNT OUT.pgn
"""
import os
import random
import re
import subprocess
import sys
import tempfile


def main():
    engine, book, plies, count, out = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4]), sys.argv[5]
    work = tempfile.mkdtemp()
    with open(os.path.join(work, "quintarex.ini"), "w") as ini:
        ini.write(f"[ENGINE]\nHashSize=1\nPawnHashSize=1\n[BOOK]\nBookFile={book}\n[TABLEBASE]\nSyzygy=0\n")
    def book_moves(moves):
        # The console lists a position's book moves; the choice is made here, since the engine's own
        # random choice is seeded from the clock's second and repeats within one.
        script = "console\nforce\n" + "".join(m + "\n" for m in moves) + "book\nquit\n"
        done = subprocess.run([engine], input=script, capture_output=True, text=True, cwd=work, timeout=30)
        return re.findall(r"move=(\S+) weight=", done.stdout)

    seen, tries = [], 0
    while len(seen) < count and tries < count * 50:
        tries += 1
        moves = []
        for _ in range(plies):
            choices = book_moves(moves)
            if not choices:
                break
            moves.append(random.choice(choices))
        if len(moves) == plies and moves not in seen:
            seen.append(moves)
    with open(out, "w") as pgn:
        for i, moves in enumerate(seen, 1):
            pgn.write(f'[Event "opening {i}"]\n[Result "*"]\n\n{" ".join(moves)} *\n\n')
    print(f"{len(seen)} openings of {plies} plies in {out}")


if __name__ == "__main__":
    main()
