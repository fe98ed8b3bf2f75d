#!/usr/bin/env python3
"""Searches the 24 Bratko-Kopec positions to a fixed depth with quintarex-tool and reports,
per position, the time taken and whether the engine's move is a listed best move. With
--movetime, the engine itself searches each position for that long over UCI, on --threads threads.

usage: scripts/bratko-kopec.py [--tool build/quintarex-tool] [--depth 8] [--epd FILE]
                               [--movetime MS --engine build/quintarex --threads N]
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_EPD = os.path.join(HERE, "..", "..", "shared", "testdata", "bratko-kopec.epd")


def board_of(fen):
    """Square name -> piece letter for the FEN's placement field."""
    board = {}
    for rank_index, row in enumerate(fen.split()[0].split("/")):
        file = 0
        for ch in row:
            if ch.isdigit():
                file += int(ch)
            else:
                board["abcdefgh"[file] + str(8 - rank_index)] = ch
                file += 1
    return board


def legal_moves(tool, fen):
    out = subprocess.run([tool, "perft", fen, "1", "--divide"], capture_output=True, text=True, check=True).stdout
    return re.findall(r"^([a-h][1-8][a-h][1-8][nbrq]?):", out, re.MULTILINE)


def san_to_coordinates(san, fen, moves):
    """The legal coordinate move that the SAN text names, or None."""
    board = board_of(fen)
    white = fen.split()[1] == "w"
    san = san.rstrip("+#!?")
    if san in ("O-O", "0-0", "O-O-O", "0-0-0"):
        rank = "1" if white else "8"
        target = ("g" if len(san) == 3 else "c") + rank
        return next((m for m in moves if m[:2] == "e" + rank and m[2:4] == target), None)
    promotion = ""
    if "=" in san:
        san, promotion = san.split("=")
        promotion = promotion.lower()
    piece = san[0] if san[0] in "KQRBN" else "P"
    body = san[1:] if piece != "P" else san
    body = body.replace("x", "")
    target, hint = body[-2:], body[:-2]
    for m in moves:
        if m[2:4] != target or m[4:] != promotion:
            continue
        mover = board.get(m[:2], "")
        if mover.upper() != piece:
            continue
        if any(h not in m[:2] for h in hint):
            continue
        return m
    return None


class UciEngine:
    def __init__(self, path, threads):
        self.cwd = tempfile.TemporaryDirectory()
        self.p = subprocess.Popen([os.path.abspath(path)], cwd=self.cwd.name, stdin=subprocess.PIPE,
                                  stdout=subprocess.PIPE, text=True, bufsize=1)
        self.send("uci")
        self.wait("uciok")
        for option in (f"Threads value {threads}", "Hash value 64", "OwnBook value false"):
            self.send("setoption name " + option)

    def send(self, line):
        self.p.stdin.write(line + "\n")
        self.p.stdin.flush()

    def wait(self, prefix):
        for line in self.p.stdout:
            if line.startswith(prefix):
                return line
        raise RuntimeError("the engine ended")

    def move(self, fen, movetime):
        self.send("ucinewgame")
        self.send("position fen " + fen)
        self.send(f"go movetime {movetime}")
        return self.wait("bestmove").split()[1]

    def quit(self):
        self.send("quit")
        self.p.wait()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tool", default=os.path.join(HERE, "..", "build", "quintarex-tool"))
    parser.add_argument("--depth", type=int, default=8)
    parser.add_argument("--epd", default=DEFAULT_EPD)
    parser.add_argument("--movetime", type=int, default=0)
    parser.add_argument("--engine", default=os.path.join(HERE, "..", "build", "quintarex"))
    parser.add_argument("--threads", type=int, default=1)
    args = parser.parse_args()
    engine = UciEngine(args.engine, args.threads) if args.movetime > 0 else None

    solved = 0
    total_time = 0.0
    count = 0
    for line in open(args.epd):
        line = line.strip()
        if not line:
            continue
        fields = line.split()
        fen = " ".join(fields[:4]) + " 0 1"
        ops = " ".join(fields[4:])
        bm = re.search(r"bm ([^;]+);", ops).group(1).split()
        ident = re.search(r'id "([^"]+)"', ops).group(1)
        moves = legal_moves(args.tool, fen)
        wanted = [san_to_coordinates(s, fen, moves) for s in bm]
        if None in wanted:
            print(f"{ident}: cannot read best move {bm}", file=sys.stderr)
            return 1
        start = time.monotonic()
        if engine:
            played = engine.move(fen, args.movetime)
        else:
            out = subprocess.run([args.tool, "search", fen, "--depth", str(args.depth)], capture_output=True,
                                 text=True, check=True).stdout
            played = re.search(r"^move (\S+)$", out, re.MULTILINE).group(1)
        elapsed = time.monotonic() - start
        ok = played in wanted
        solved += ok
        total_time += elapsed
        count += 1
        print(f"{ident:6} {elapsed:8.2f}s  played {played:6} best {' '.join(bm):12} {'ok' if ok else '--'}")
    if engine:
        engine.quit()
    limit = f"{args.movetime} ms, {args.threads} thread(s)" if engine else f"depth {args.depth}"
    print(f"{limit}: {solved}/{count} best moves, total time {total_time:.1f}s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
