#!/usr/bin/env python3
"""Writes N distinct short openings as a PGN file for xboard's -lgf, drawn at random from a Polyglot
book by the engine itself (UCI mode, its own book with random choice).

usage: scripts/make-openings.py ENGINE BOOK PLIES COUNT OUT.pgn
"""
import os
import subprocess
import sys
import tempfile


def main():
    engine, book, plies, count, out = sys.argv[1], os.path.abspath(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4]), sys.argv[5]
    work = tempfile.mkdtemp()
    with open(os.path.join(work, "quintarex.ini"), "w") as ini:
        ini.write(f"[ENGINE]\nHashSize=1\nPawnHashSize=1\n[BOOK]\nBookFile={book}\nRandBook=1\n[TABLEBASE]\nSyzygy=0\n")
    p = subprocess.Popen([engine], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1, cwd=work)

    def send(line):
        p.stdin.write(line + "\n")
        p.stdin.flush()

    def until(prefix):
        while True:
            line = p.stdout.readline()
            if not line:
                sys.exit("the engine ended")
            if line.startswith(prefix):
                return line

    send("uci")
    until("uciok")
    seen, tries = [], 0
    while len(seen) < count and tries < count * 50:
        tries += 1
        moves = []
        for _ in range(plies):
            send("position startpos moves " + " ".join(moves))
            send("go wtime 60000 btime 60000")
            booked = False
            while True:
                line = until("")
                booked = booked or line.startswith("info string book move ")
                if line.startswith("bestmove "):
                    break
            if not booked:
                break
            moves.append(line.split()[1])
        if len(moves) == plies and moves not in seen:
            seen.append(moves)
    send("quit")
    with open(out, "w") as pgn:
        for i, moves in enumerate(seen, 1):
            pgn.write(f'[Event "opening {i}"]\n[Result "*"]\n\n{" ".join(moves)} *\n\n')
    print(f"{len(seen)} openings of {plies} plies in {out}")


if __name__ == "__main__":
    main()
