#!/usr/bin/env python3
"""Plays won endings against a bare king through UCI: random legal positions of K+Q v K, K+R v K,
K+B+B v K and K+B+N v K, each with both sides to move, the stronger side played by ENGINE with the
given settings, the bare king by ENGINE at full strength, at a fixed time a move. A game is won
when the stronger side mates within the fifty-move rule (100 plies from the start, where the
counter is 0); anything else counts as not won (a repetition, the fifty moves, a stalemate).
Not part of CI.

usage: scripts/bare-king-endings.py ENGINE [--positions 20] [--movetime 10,50,200]
           [--endings KQK,KRK,KBBK,KBNK] [--elo N] [--threads N] [--seed 1]
"""
import argparse
import random
import os
import subprocess
import sys
import tempfile

KNIGHT_STEPS = [(1, 2), (2, 1), (-1, 2), (-2, 1), (1, -2), (2, -1), (-1, -2), (-2, -1)]
ROOK_RAYS = [(1, 0), (-1, 0), (0, 1), (0, -1)]
BISHOP_RAYS = [(1, 1), (1, -1), (-1, 1), (-1, -1)]


def attacks(piece, square, target, occupied):
    """Whether `piece` (upper case) on `square` attacks `target`; squares are (file, rank)."""
    df, dr = target[0] - square[0], target[1] - square[1]
    if piece == "K":
        return max(abs(df), abs(dr)) == 1
    if piece == "N":
        return (df, dr) in KNIGHT_STEPS
    rays = {"Q": ROOK_RAYS + BISHOP_RAYS, "R": ROOK_RAYS, "B": BISHOP_RAYS}[piece]
    for sf, sr in rays:
        f, r = square[0] + sf, square[1] + sr
        while 0 <= f < 8 and 0 <= r < 8:
            if (f, r) == target:
                return True
            if (f, r) in occupied:
                break
            f, r = f + sf, r + sr
    return False


def random_position(ending, strong_white, strong_to_move, rng):
    pieces = list(ending[1:-1])  # between the two kings: the stronger side's men
    while True:
        squares = rng.sample([(f, r) for f in range(8) for r in range(8)], 2 + len(pieces))
        strong_king, bare_king, men = squares[0], squares[1], squares[2:]
        # Kings apart, and no man where the bare king could take it: the ending stays what it says.
        if any(max(abs(s[0] - bare_king[0]), abs(s[1] - bare_king[1])) <= 1 for s in [strong_king] + men):
            continue
        if "B" in pieces and pieces.count("B") == 2 and (sum(men[0]) - sum(men[1])) % 2 == 0:
            continue  # two bishops on one colour cannot mate
        occupied = set(squares)
        checked = any(attacks(p, s, bare_king, occupied) for p, s in zip(pieces, men))
        if checked and strong_to_move:
            continue  # the side not to move may not be in check
        board = {}
        board[strong_king] = "K" if strong_white else "k"
        board[bare_king] = "k" if strong_white else "K"
        for p, s in zip(pieces, men):
            board[s] = p if strong_white else p.lower()
        rows = []
        for r in range(7, -1, -1):
            row, empty = "", 0
            for f in range(8):
                if (f, r) in board:
                    row += (str(empty) if empty else "") + board[(f, r)]
                    empty = 0
                else:
                    empty += 1
            rows.append(row + (str(empty) if empty else ""))
        white_to_move = strong_white == strong_to_move
        return "/".join(rows) + (" w" if white_to_move else " b") + " - - 0 1"


class Engine:
    def __init__(self, path, options):
        # A folder of its own with a settings file: a small table, no book, no tablebases.
        folder = tempfile.mkdtemp(prefix="bare-king-")
        with open(os.path.join(folder, "quintarex.ini"), "w") as ini:
            ini.write("[ENGINE]\nHashSize=16\nPawnHashSize=1\n[BOOK]\nBook=0\n[TABLEBASE]\nSyzygy=0\n")
        self.p = subprocess.Popen([os.path.abspath(path)], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True,
                                  bufsize=1, cwd=folder)
        self.send("uci")
        self.wait("uciok")
        for name, value in options:
            self.send(f"setoption name {name} value {value}")
        self.send("isready")
        self.wait("readyok")

    def send(self, line):
        self.p.stdin.write(line + "\n")

    def wait(self, word):
        lines = []
        while True:
            line = self.p.stdout.readline()
            if not line:
                raise RuntimeError("the engine ended")
            lines.append(line.strip())
            if line.split()[:1] == [word]:
                return lines

    def move(self, fen, moves, movetime):
        self.send(f"position fen {fen}" + (" moves " + " ".join(moves) if moves else ""))
        self.send(f"go movetime {movetime}")
        lines = self.wait("bestmove")
        best = lines[-1].split()[1]
        mated = any(" score mate 0" in l or " score mate -0" in l for l in lines)
        return best, mated

    def new_game(self):
        self.send("ucinewgame")
        self.send("isready")
        self.wait("readyok")

    def close(self):
        self.send("quit")
        self.p.wait(timeout=10)


def play(strong, bare, fen, strong_to_move, movetime):
    """Plies to the mate, or None when the game was not won."""
    strong.new_game()
    bare.new_game()
    moves = []
    for ply in range(101):
        mover = strong if (ply % 2 == 0) == strong_to_move else bare
        best, mated = mover.move(fen, moves, movetime)
        if best in ("(none)", "0000"):
            return ply if mated and mover is bare else None
        if ply == 100:
            return None
        moves.append(best)
    return None


def main():
    a = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    a.add_argument("engine")
    a.add_argument("--positions", type=int, default=20)
    a.add_argument("--movetime", default="10,50,200")
    a.add_argument("--endings", default="KQK,KRK,KBBK,KBNK")
    a.add_argument("--elo", type=int, default=0, help="the stronger side at this UCI_Elo level (0: full strength)")
    a.add_argument("--threads", type=int, default=1)
    a.add_argument("--seed", type=int, default=1)
    args = a.parse_args()
    rng = random.Random(args.seed)
    # The interface lag this script has is negligible: all of the move time is the search's.
    common = [("Move Overhead", 0)]
    strong_options = common + [("Threads", args.threads)]
    if args.elo:
        strong_options += [("UCI_LimitStrength", "true"), ("UCI_Elo", args.elo)]
    strong = Engine(args.engine, strong_options)
    bare = Engine(args.engine, common)
    failures = 0
    for ending in args.endings.split(","):
        cases = []
        while len(cases) < 2 * args.positions:
            to_move = len(cases) % 2 == 0
            fen = random_position(ending, rng.random() < 0.5, to_move, rng)
            if bare.move(fen, [], 1)[0] not in ("(none)", "0000"):  # not mate or stalemate already
                cases.append((fen, to_move))
        for movetime in (int(t) for t in args.movetime.split(",")):
            won, plies, lost = 0, [], []
            for fen, to_move in cases:
                result = play(strong, bare, fen, to_move, movetime)
                if result is None:
                    lost.append(fen)
                else:
                    won += 1
                    plies.append(result)
            failures += len(lost)
            average = sum(plies) / len(plies) / 2 if plies else 0
            print(f"{ending} {movetime} ms: {won}/{len(cases)} won, {average:.1f} moves to mate on average"
                  + (f"; not won: {lost}" if lost else ""), flush=True)
    strong.close()
    bare.close()
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
