#!/usr/bin/env python3
"""Latency of `isready` and `stop` while quintarex searches in UCI mode (go infinite).

usage: scripts/uci-latency.py [path/to/quintarex] [tries]   (default build/quintarex, 100)
Prints the median and the worst of each, in milliseconds."""
import os
import statistics
import subprocess
import sys
import tempfile
import time

engine = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/quintarex")
tries = int(sys.argv[2]) if len(sys.argv) > 2 else 100
work = tempfile.mkdtemp()
with open(os.path.join(work, "quintarex.ini"), "w") as ini:
    ini.write("[ENGINE]\nHashSize=64\nPawnHashSize=8\n[BOOK]\nBook=0\n[TABLEBASE]\nSyzygy=0\n")
p = subprocess.Popen([engine], cwd=work, stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1)


def send(line):
    p.stdin.write(line + "\n")
    p.stdin.flush()


def wait(prefix):
    for line in p.stdout:
        if line.startswith(prefix):
            return line
    raise SystemExit("engine ended")


send("uci")
wait("uciok")
send("isready")
wait("readyok")
ready, stop = [], []
positions = ["startpos", "startpos moves e2e4 e7e5 g1f3",
             "fen r1bq1rk1/pp2bppp/2n1pn2/2pp4/2PP4/2N1PN2/PP2BPPP/R1BQ1RK1 w - - 0 8"]
for i in range(tries):
    send("position " + positions[i % len(positions)])
    send("go infinite")
    wait("info depth 4 ")
    t = time.perf_counter()
    send("isready")
    wait("readyok")
    ready.append((time.perf_counter() - t) * 1000)
    t = time.perf_counter()
    send("stop")
    wait("bestmove")
    stop.append((time.perf_counter() - t) * 1000)
send("quit")
p.wait()
for name, values in (("isready", ready), ("stop", stop)):
    print(f"{name}: median {statistics.median(values):.2f} ms, worst {max(values):.2f} ms over {len(values)} tries")
