#!/usr/bin/env python3
"""Reports include cycles between source units.

A unit is a header and its .cpp taken together (gl/GLClasses.h and
gl/GLClasses.cpp form the unit gl/GLClasses). Unit A depends on unit B when
A.h or A.cpp has an #include "..." of B.h. Quoted include paths are resolved
against the repository root first, then against the including file's folder.

Prints every strongly connected component of more than one unit, with the
include lines that tie it together, and exits 1 when there is any.

Usage: include-cycles.py [ROOT]   (ROOT defaults to the folder above tools/)
"""

import os
import re
import sys

SOURCE_EXTS = (".h", ".hpp", ".cpp", ".c", ".cc", ".inl", ".in")
SKIP_DIRS = {".git"}
INCLUDE_RE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def unit_of(rel_path):
    """Maps a source path to its unit name (path without the extension)."""
    if rel_path.endswith(".cpp.in"):
        rel_path = rel_path[: -len(".in")]
    return os.path.splitext(rel_path)[0]


def is_build_dir(root, rel_dir):
    """Build folders hold a CMakeCache.txt; generated copies are not the tree."""
    return os.path.isfile(os.path.join(root, rel_dir, "CMakeCache.txt"))


def source_files(root):
    for dirpath, dirnames, filenames in os.walk(root):
        rel_dir = os.path.relpath(dirpath, root)
        keep = []
        for d in sorted(dirnames):
            sub = os.path.normpath(os.path.join(rel_dir, d))
            if d in SKIP_DIRS or d.startswith("build") and rel_dir == ".":
                continue
            if is_build_dir(root, sub):
                continue
            keep.append(d)
        dirnames[:] = keep
        for name in sorted(filenames):
            if name.endswith(SOURCE_EXTS):
                yield os.path.normpath(os.path.join(rel_dir, name)).replace(os.sep, "/")


def build_graph(root):
    """Returns {unit: {dep_unit: [(file, line_no, include_text), ...]}}."""
    files = list(source_files(root))
    known = set(files)
    graph = {}
    for rel in files:
        unit = unit_of(rel)
        edges = graph.setdefault(unit, {})
        try:
            with open(os.path.join(root, rel), encoding="utf-8", errors="replace") as f:
                lines = f.readlines()
        except OSError:
            continue
        for no, line in enumerate(lines, 1):
            m = INCLUDE_RE.match(line)
            if not m:
                continue
            inc = m.group(1)
            candidates = [
                os.path.normpath(inc).replace(os.sep, "/"),
                os.path.normpath(os.path.join(os.path.dirname(rel), inc)).replace(os.sep, "/"),
            ]
            target = next((c for c in candidates if c in known), None)
            if target is None:
                continue
            dep = unit_of(target)
            if dep != unit:
                edges.setdefault(dep, []).append((rel, no, inc))
    return graph


def strongly_connected(graph):
    """Tarjan's algorithm, iterative so deep graphs do not hit the recursion limit."""
    index = {}
    low = {}
    on_stack = set()
    stack = []
    result = []
    counter = 0
    for start in sorted(graph):
        if start in index:
            continue
        work = [(start, iter(sorted(graph.get(start, {}))))]
        index[start] = low[start] = counter
        counter += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            node, it = work[-1]
            advanced = False
            for nxt in it:
                if nxt not in index:
                    index[nxt] = low[nxt] = counter
                    counter += 1
                    stack.append(nxt)
                    on_stack.add(nxt)
                    work.append((nxt, iter(sorted(graph.get(nxt, {})))))
                    advanced = True
                    break
                if nxt in on_stack:
                    low[node] = min(low[node], index[nxt])
            if advanced:
                continue
            work.pop()
            if work:
                parent = work[-1][0]
                low[parent] = min(low[parent], low[node])
            if low[node] == index[node]:
                comp = []
                while True:
                    n = stack.pop()
                    on_stack.discard(n)
                    comp.append(n)
                    if n == node:
                        break
                result.append(sorted(comp))
    return result


def main(argv):
    root = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    root = os.path.abspath(root)
    graph = build_graph(root)
    cycles = sorted((c for c in strongly_connected(graph) if len(c) > 1), key=lambda c: c[0])
    if not cycles:
        print("include-cycles: no cycles among %d units" % len(graph))
        return 0
    for comp in cycles:
        members = set(comp)
        print("include cycle among %d units: %s" % (len(comp), " ".join(comp)))
        for unit in comp:
            for dep in sorted(graph[unit]):
                if dep in members:
                    for rel, no, inc in graph[unit][dep]:
                        print("  %s:%d includes \"%s\"" % (rel, no, inc))
    print("include-cycles: %d cycle(s) found" % len(cycles))
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
