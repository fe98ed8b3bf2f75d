#!/usr/bin/env python3
"""Time to depth and speed of the parallel search: drives the engine in UCI mode over the
`bench search` positions and the Bratko-Kopec positions with each thread count, and reports per
depth the median ratio of the 1-thread time to the N-thread time and of the nodes the N threads
needed to the nodes of 1, and each count's nodes/second.
Run it on an idle machine: other load changes the figures.

usage: scripts/time-to-depth.py [--engine build/quintarex] [--tool build/quintarex-tool]
                                [--threads 1 2] [--depth 10] [--hash 128] [--epd FILE [--epd-only]]
"""
import argparse
import os
import re
import statistics
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_EPD = os.path.join(HERE, "..", "..", "shared", "testdata", "bratko-kopec.epd")


def positions(tool, epd, bench):
    fens = []
    if bench:
        out = subprocess.run([tool, "bench", "search", "1"], capture_output=True, text=True, check=True).stdout
        fens = re.findall(r"^(\S+ [wb] \S+ \S+ \d+ \d+)", out, re.MULTILINE)
    if os.path.exists(epd):
        with open(epd) as f:
            fens += [" ".join(line.split()[:4]) + " 0 1" for line in f if line.strip()]
    return fens


def search_all(engine, threads, depth, hash_mb, fens):
    """Per position: {depth: (ms, nodes)} of every completed iteration."""
    with tempfile.TemporaryDirectory() as cwd:
        p = subprocess.Popen([os.path.abspath(engine)], cwd=cwd, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                             text=True, bufsize=1)

        def send(line):
            p.stdin.write(line + "\n")
            p.stdin.flush()

        def wait(prefix):
            lines = []
            for line in p.stdout:
                lines.append(line)
                if line.startswith(prefix):
                    return lines
            raise RuntimeError("the engine ended")

        send("uci")
        wait("uciok")
        for option in (f"Threads value {threads}", f"Hash value {hash_mb}", "OwnBook value false"):
            send("setoption name " + option)
        results = []
        for fen in fens:
            send("ucinewgame")
            send("position fen " + fen)
            send(f"go depth {depth}")
            found = {}
            for line in wait("bestmove"):
                m = re.match(r"info depth (\d+) .*time (\d+) nodes (\d+)", line)
                if m:
                    found[int(m.group(1))] = (int(m.group(2)), int(m.group(3)))
            results.append(found)
        send("quit")
        p.wait()
        return results


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--engine", default="build/quintarex")
    parser.add_argument("--tool", default="build/quintarex-tool")
    parser.add_argument("--threads", type=int, nargs="+", default=[1, 2])
    parser.add_argument("--depth", type=int, default=10)
    parser.add_argument("--hash", type=int, default=128)
    parser.add_argument("--epd", default=DEFAULT_EPD)
    parser.add_argument("--epd-only", action="store_true", help="the EPD file's positions without the bench ones")
    args = parser.parse_args()
    fens = positions(args.tool, args.epd, not args.epd_only)
    runs = {t: search_all(args.engine, t, args.depth, args.hash, fens) for t in args.threads}
    base = args.threads[0]
    for t in args.threads:
        ms = sum(r[max(r)][0] for r in runs[t] if r)
        nodes = sum(r[max(r)][1] for r in runs[t] if r)
        print(f"{t:3d} threads: {len(fens)} positions to depth {args.depth} in {ms / 1000:.1f} s, "
              f"{nodes * 1000 // max(ms, 1)} nodes/s")
    for t in args.threads[1:]:
        for d in range(6, args.depth + 1):
            ratios = [a[d][0] / b[d][0] for a, b in zip(runs[base], runs[t])
                      if d in a and d in b and a[d][0] >= 20 and b[d][0] > 0]
            # Nodes to reach the depth, all threads together: the parallel search's overhead, which
            # a busy machine changes less than the times.
            overhead = [b[d][1] / a[d][1] for a, b in zip(runs[base], runs[t]) if d in a and d in b and a[d][1] > 0]
            if ratios:
                print(f"depth {d:2d}: time {base} thread(s) / {t} threads, median {statistics.median(ratios):.2f} "
                      f"over {len(ratios)} positions; nodes {t} / {base}, median {statistics.median(overhead):.2f}")


if __name__ == "__main__":
    main()
