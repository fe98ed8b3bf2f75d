#!/usr/bin/env python3
"""The include graph of src/: which room (directory) includes which, and every cycle among the
files of one room (a .cpp counts with its own header, so a file and the header it implements
are one node).
  scripts/include-graph.py [--files]   (--files: every file's includes as well)
"""
import collections
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent / "src"
INCLUDE = re.compile(r'^#include "([^"]+)"', re.M)


def node(path):
    """A file's node: its path below src/ without the extension."""
    return str(path.relative_to(ROOT).with_suffix(""))


def main():
    edges = collections.defaultdict(set)
    for path in sorted(ROOT.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        here = node(path)
        for target in INCLUDE.findall(path.read_text()):
            there = str(pathlib.Path(target).with_suffix(""))
            if there != here:
                edges[here].add(there)
    rooms = collections.defaultdict(set)
    for a, targets in edges.items():
        for b in targets:
            ra, rb = a.split("/")[0], b.split("/")[0]
            if ra != rb:
                rooms[ra].add(rb)
    print("rooms (each includes the rooms after its colon):")
    for room in sorted(rooms):
        print(f"  {room}: {' '.join(sorted(rooms[room]))}")
    if "--files" in sys.argv:
        print("files:")
        for a in sorted(edges):
            print(f"  {a}: {' '.join(sorted(edges[a]))}")
    cycles = find_cycles(edges)
    print("file cycles:" if cycles else "file cycles: none")
    for cycle in cycles:
        print("  " + " -> ".join(cycle))


def find_cycles(edges):
    """One cycle per strongly connected component with more than one node (Tarjan)."""
    index, low, stack, on, found = {}, {}, [], set(), []
    counter = [0]

    def visit(v):
        index[v] = low[v] = counter[0]
        counter[0] += 1
        stack.append(v)
        on.add(v)
        for w in edges.get(v, ()):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            component = []
            while True:
                w = stack.pop()
                on.discard(w)
                component.append(w)
                if w == v:
                    break
            if len(component) > 1:
                found.append(sorted(component))

    sys.setrecursionlimit(10000)
    for v in list(edges):
        if v not in index:
            visit(v)
    return found


if __name__ == "__main__":
    main()
