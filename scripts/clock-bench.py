#!/usr/bin/env python3
"""Time used and depth reached by UCI engines over a table of clock situations, at move 25 and at
move 8 of a middlegame position: one fresh engine per situation, warmed up by a short search of
the position, nothing else running meanwhile.

usage: scripts/clock-bench.py ENGINE [ENGINE ...]
"""
import os
import subprocess
import sys
import tempfile
import threading
import time

LONGEST_S = 70
POSITION = "r2q1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP1B1PPP/R2QKB1R w KQ - 0 {move}"
SITUATIONS = [
    "wtime 10 btime 10",
    "wtime -500 btime 1000",
    "wtime 100 btime 100",
    "wtime 250 btime 250 winc 100 binc 100",
    "wtime 1000 btime 1000 winc 10 binc 10",
    "wtime 2000 btime 2000 winc 2000 binc 2000",
    "wtime 3000 btime 3000 movestogo 1",
    "wtime 5000 btime 5000 winc 500 binc 500",
    "wtime 10000 btime 10000 movestogo 20",
    "wtime 10000 btime 10000 movestogo 10",
    "wtime 30000 btime 30000 winc 300 binc 300",
    "wtime 60000 btime 60000",
    "wtime 60000 btime 60000 movestogo 1",
    "wtime 120000 btime 120000 movestogo 2",
    "wtime 180000 btime 180000 winc 2000 binc 2000",
    "wtime 300000 btime 300000",
    "wtime 600000 btime 600000",
    "wtime 600000 btime 600000 movestogo 40",
    "movetime 2000",
    "movetime 4000",
]


def measure(engine, position, go, work):
    p = subprocess.Popen([engine], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1, cwd=work)

    def send(line):
        p.stdin.write(line + "\n")
        p.stdin.flush()

    def until(prefix):
        while True:
            line = p.stdout.readline()
            if not line or line.startswith(prefix):
                return line

    send("uci")
    until("uciok")
    # A first search touches the tables' pages: the measured one should not pay for that.
    send("position fen " + position)
    send("go depth 4")
    until("bestmove")
    send("ucinewgame")
    send("position fen " + position)
    send("isready")
    until("readyok")
    start = time.monotonic()
    send("go " + go)
    # An engine that would think without end is stopped, and the row says so.
    timer = threading.Timer(LONGEST_S, lambda: send("stop"))
    timer.start()
    depth = 0
    while True:
        line = p.stdout.readline()
        if not line or line.startswith("bestmove"):
            break
        words = line.split()
        if line.startswith("info depth"):
            depth = int(words[2])
    used = (time.monotonic() - start) * 1000
    timer.cancel()
    send("quit")
    p.wait()
    return used, depth


def main():
    engines = [os.path.abspath(e) for e in sys.argv[1:]]
    if not engines:
        sys.exit(__doc__)
    work = tempfile.mkdtemp()
    with open(os.path.join(work, "quintarex.ini"), "w") as ini:
        ini.write("[ENGINE]\nHashSize=256\nPawnHashSize=16\n[BOOK]\nBook=0\n[TABLEBASE]\nSyzygy=0\n")
    header = f"{'go':46s}" + "".join(f" | {os.path.basename(e)[:10]:>10s} ms  d"
                                     for e in engines for _ in (25, 8))
    print("move 25, then move 8, per engine")
    print(header)
    for go in SITUATIONS:
        cells = []
        for engine in engines:
            for move in (25, 8):
                used, depth = measure(engine, POSITION.format(move=move), go, work)
                stopped = used >= LONGEST_S * 1000
                cells.append(f" | {'stop@' if stopped else '':>5s}{used:8.1f} {depth:2d}")
        print(f"{go:46s}" + "".join(cells), flush=True)


if __name__ == "__main__":
    main()
