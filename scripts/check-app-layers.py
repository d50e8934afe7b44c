#!/usr/bin/env python3
"""Checks the levels of app/ (app/README.md) on the built target graph and on the sources.

Usage: scripts/check-app-layers.py [BUILD_DIR]   (default: build/debug, configured)

1. Asks CMake for the target graph (cmake --graphviz) and refuses a cycle among the app/ folder libraries
   (vistrel_app_<folder>). Static libraries link in any order, so a cycle among them would otherwise go unseen.
2. Refuses an #include from one app/ folder into another that the first does not reach through the graph: every
   #include "<folder>/..." must follow the links, so a lower folder never includes a higher one.
Exits 1 and lists what it found when either fails.
"""
import os
import re
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
APP = os.path.join(ROOT, "app")
PREFIX = "vistrel_app_"
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^">]+)[">]')
EDGE = re.compile(r'^\s*"(node\d+)"\s*->\s*"(node\d+)"')
NODE = re.compile(r'^\s*"(node\d+)"\s*\[\s*label\s*=\s*"([^"]+)"')


def target_graph(build_dir):
    with tempfile.TemporaryDirectory() as folder:
        dot = os.path.join(folder, "targets.dot")
        subprocess.run(["cmake", "--graphviz=" + dot, build_dir], check=True, stdout=subprocess.DEVNULL)
        names, edges = {}, []
        with open(dot, encoding="utf-8") as lines:
            for line in lines:
                if m := NODE.match(line):
                    names[m.group(1)] = m.group(2)
                elif m := EDGE.match(line):
                    edges.append((m.group(1), m.group(2)))
    graph = {name[len(PREFIX):]: set() for name in names.values() if name.startswith(PREFIX)}
    for source, target in edges:
        a, b = names.get(source, ""), names.get(target, "")
        if a.startswith(PREFIX) and b.startswith(PREFIX) and a != b:
            graph[a[len(PREFIX):]].add(b[len(PREFIX):])
    return graph


def find_cycle(graph):
    state, path = {}, []

    def visit(node):
        state[node] = "open"
        path.append(node)
        for nxt in sorted(graph.get(node, ())):
            if state.get(nxt) == "open":
                return path[path.index(nxt):] + [nxt]
            if nxt not in state and (cycle := visit(nxt)):
                return cycle
        path.pop()
        state[node] = "done"
        return None

    for node in sorted(graph):
        if node not in state and (cycle := visit(node)):
            return cycle
    return None


def reach(graph, start):
    seen, todo = set(), [start]
    while todo:
        for nxt in graph.get(todo.pop(), ()):
            if nxt not in seen:
                seen.add(nxt)
                todo.append(nxt)
    return seen


def folders():
    return sorted(d for d in os.listdir(APP) if os.path.isdir(os.path.join(APP, d)) and d != "tests")


def wrong_includes(graph):
    known = set(folders())
    found = []
    for folder in known:
        allowed = reach(graph, folder) | {folder}
        for where, dirs, files in os.walk(os.path.join(APP, folder)):
            dirs[:] = [d for d in dirs if d != "tests"]
            for name in sorted(files):
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.join(where, name)
                with open(path, encoding="utf-8", errors="replace") as lines:
                    for number, line in enumerate(lines, 1):
                        m = INCLUDE.match(line)
                        used = m.group(1).split("/")[0] if m else None
                        if used in known and used not in allowed:
                            found.append(f"{os.path.relpath(path, ROOT)}:{number}: includes {m.group(1)}, "
                                         f"but app/{folder} does not use app/{used}")
    return found


def main():
    build_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "debug")
    graph = target_graph(build_dir)
    missing = [f for f in folders() if f not in graph]
    if missing:
        print("no library found for app/" + ", app/".join(missing) + " in the target graph")
        return 1
    failed = False
    if cycle := find_cycle(graph):
        print("cycle among the app/ libraries: " + " -> ".join(cycle))
        failed = True
    for line in wrong_includes(graph):
        print(line)
        failed = True
    if not failed:
        edges = sum(len(v) for v in graph.values())
        print(f"app/: {len(folders())} folder libraries, {edges} links, no cycle; every include follows the links")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
