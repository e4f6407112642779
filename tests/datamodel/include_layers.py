#!/usr/bin/python3
"""Checks the include structure of the data model folder given as the argument; prints each breach, exits 1 on any.

The folder stands in five layers, each including only its own and lower ones: the streams and small tools, the
data folder and the save, the entity base classes, the entity kinds, and on top the database, which so only its own
sources include. No header includes itself back, and below the kinds no two file pairs include each other (the kinds
refer to one another by design: a club names its nation, a nation lists its teams).
"""

import os
import re
import sys

LAYERS = [
    {"PyxExceptions", "PyxSupportClasses", "Hashtable", "PyxRecordPool", "PyxDate", "PyxFileHeader", "PyxFoldTable",
     "PyxText", "PyxQuickSort", "PyxJobs"},
    {"PyxSaveTarget", "PyxSaveTransaction", "PyxDataFolder"},
    {"PyxObject", "PyxObjects", "PyxList", "PyxObjectList", "PyxYearHistories", "PyxHandOver"},
    None,  # the entity kinds: every file not named in another layer
    {"PyxDatabase", "PyxDatabaseAdd", "PyxDatabaseDelete", "PyxDatabaseSave"},
]
KINDS = 3


def layer_of(component):
    for level, names in enumerate(LAYERS):
        if names is not None and component in names:
            return level
    return KINDS


def read_includes(folder):
    files = sorted(f for f in os.listdir(folder) if f.endswith((".h", ".cpp")))
    includes = {}
    for name in files:
        with open(os.path.join(folder, name), encoding="utf-8") as source:
            includes[name] = re.findall(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', source.read(), re.MULTILINE)
    return includes


def find_cycle(graph):
    """A list of nodes forming a cycle of graph, or None."""
    state = {}

    def visit(node, path):
        state[node] = "open"
        path.append(node)
        for target in sorted(graph.get(node, ())):
            if state.get(target) == "open":
                return path[path.index(target):] + [target]
            if target not in state:
                found = visit(target, path)
                if found:
                    return found
        path.pop()
        state[node] = "done"
        return None

    for node in sorted(graph):
        if node not in state:
            found = visit(node, [])
            if found:
                return found
    return None


def breaches(folder):
    includes = read_includes(folder)
    component = {name: os.path.splitext(name)[0] for name in includes}
    problems = []
    headers = {}
    pairs = {}
    for name, found in includes.items():
        for kind, target in found:
            if kind == "<":
                if target.startswith("Q"):
                    problems.append(f"{name} includes Qt ({target}): the data model is Qt-free")
                continue
            if target not in includes:
                problems.append(f"{name} includes {target}, which is not in the data model")
                continue
            if layer_of(component[target]) > layer_of(component[name]):
                problems.append(f"{name} includes {target}, which stands in a higher layer")
            if name.endswith(".h"):
                headers.setdefault(name, set()).add(target)
            if component[target] != component[name] and layer_of(component[name]) < KINDS:
                pairs.setdefault(component[name], set()).add(component[target])
    cycle = find_cycle(headers)
    if cycle:
        problems.append("headers include each other: " + " -> ".join(cycle))
    cycle = find_cycle(pairs)
    if cycle:
        problems.append("file pairs include each other: " + " -> ".join(cycle))
    return problems


def main():
    if len(sys.argv) != 2:
        print("usage: include_layers.py DATAMODEL_DIR", file=sys.stderr)
        return 2
    problems = breaches(sys.argv[1])
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
