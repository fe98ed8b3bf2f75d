#!/usr/bin/env python3
"""Drives the engine in UCI mode through a fixed script, one command at a time, and prints what it
says. A line "go ..." that ends by itself is followed by the next command only once its bestmove
has come; "=wait TEXT" waits until an output line starts with TEXT (for go infinite and go ponder,
which hold their bestmove). Used by output-snapshot.sh, so that no search is cut short by the next
line of a pipe and the transcript is the same on every run.
  scripts/uci-session.py ENGINE < script
"""
import subprocess
import sys
import threading

TIMEOUT = 60


def main():
    engine = subprocess.Popen([sys.argv[1]], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT, text=True, bufsize=1)
    seen = []
    cond = threading.Condition()

    def reader():
        for line in engine.stdout:
            with cond:
                seen.append(line.rstrip("\n"))
                cond.notify_all()
        with cond:
            seen.append(None)
            cond.notify_all()

    threading.Thread(target=reader, daemon=True).start()
    start = 0

    def wait_for(prefix):
        nonlocal start
        with cond:
            while True:
                for i in range(start, len(seen)):
                    if seen[i] is None or seen[i].startswith(prefix):
                        start = i + 1
                        return
                if not cond.wait(TIMEOUT):
                    sys.exit(f"uci-session: no line starting with {prefix!r} within {TIMEOUT} s")

    for command in sys.stdin.read().splitlines():
        if command.startswith("=wait "):
            wait_for(command[6:])
            continue
        engine.stdin.write(command + "\n")
        engine.stdin.flush()
        words = command.split()
        if words[:1] == ["uci"]:
            wait_for("uciok")
        elif words[:1] == ["isready"]:
            wait_for("readyok")
        elif words[:1] == ["go"] and "infinite" not in words and "ponder" not in words:
            wait_for("bestmove")
        elif words[:1] in (["stop"], ["ponderhit"]):
            wait_for("bestmove")
    engine.stdin.close()
    engine.wait(TIMEOUT)
    with cond:
        for line in seen:
            if line is not None:
                print(line)


if __name__ == "__main__":
    main()
