#!/usr/bin/env python3
"""Writes COUNT Chess960 start positions as a PGN file of empty games for xboard's -lgf (with
-variant fischerandom), spread evenly over the 960 starts by their standard numbers (0 to 959; 518
is the standard position), from FIRST on. Each game carries the position in X-FEN and its number.

usage: scripts/make-chess960-openings.py COUNT OUT.pgn [FIRST]
"""
import sys

# Where the two knights go among the five squares left after the bishops and the queen.
KNIGHTS = [(0, 1), (0, 2), (0, 3), (0, 4), (1, 2), (1, 3), (1, 4), (2, 3), (2, 4), (3, 4)]


def back_rank(number):
    rank = [None] * 8
    n, light = divmod(number, 4)
    rank[2 * light + 1] = "B"
    n, dark = divmod(n, 4)
    rank[2 * dark] = "B"
    n, queen = divmod(n, 6)
    rank[[s for s in range(8) if rank[s] is None][queen]] = "Q"
    empty = [s for s in range(8) if rank[s] is None]
    for k in KNIGHTS[n]:
        rank[empty[k]] = "N"
    # The three squares left take rook, king, rook in that order.
    for s, man in zip([s for s in range(8) if rank[s] is None], "RKR"):
        rank[s] = man
    return "".join(rank)


def fen(number):
    white = back_rank(number)
    return f"{white.lower()}/pppppppp/8/8/8/8/PPPPPPPP/{white} w KQkq - 0 1"


def main():
    count, out = int(sys.argv[1]), sys.argv[2]
    first = int(sys.argv[3]) if len(sys.argv) > 3 else 0
    assert back_rank(518) == "RNBQKBNR"
    with open(out, "w") as f:
        for i in range(count):
            number = (first + i * 960 // count) % 960
            f.write(f'[Event "Chess960 start {number}"]\n[Site "?"]\n[Date "????.??.??"]\n[Round "{i + 1}"]\n'
                    f'[White "?"]\n[Black "?"]\n[Result "*"]\n[Variant "fischerandom"]\n[SetUp "1"]\n'
                    f'[FEN "{fen(number)}"]\n\n*\n\n')


if __name__ == "__main__":
    main()
