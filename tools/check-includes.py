#!/usr/bin/env python3
"""Checks the include arrows of the source tree.

    check-includes.py [--root DIR] [--layers FOLDER]... [--cycles FOLDER]... [--confine FOLDER HEADERS UNIT]...

--layers FOLDER: every folder below FOLDER whose CMakeLists.txt makes a library (add_library) is a layer. A file may
  include headers of its own layer and of the layers its library links, directly or through others
  (target_link_libraries); an include of any other layer's header is an arrow that points up or sideways. The links
  between the layers must not form a cycle either.
--cycles FOLDER: the units below FOLDER (a header and its source, X.h and X.cpp, are one unit) must not include each
  other in a cycle: A includes B, B includes A (or longer).
--confine FOLDER HEADERS UNIT: below FOLDER only UNIT (a header and its source, named by their path without the
  extension, as editor/shell/KroExceptAdapter) may include a header of the folder HEADERS: the one meeting point of
  FOLDER with a library that FOLDER's files otherwise leave alone.

Quoted includes are resolved against the including file's folder, then against every file below the checked folder
whose path ends in the included name; names that match no file there (system and other libraries' headers) are not
arrows of this tree. Prints every fault and exits 1 when there is one, else 0.
"""

import argparse
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc")
ADD_LIBRARY = re.compile(r"add_library\(\s*([A-Za-z0-9_]+)")
LINK = re.compile(r"target_link_libraries\(\s*([A-Za-z0-9_]+)([^)]*)\)", re.DOTALL)


def source_files(top):
    for folder, subfolders, files in os.walk(top):
        subfolders.sort()
        for name in sorted(files):
            if name.endswith(SOURCE_SUFFIXES):
                yield os.path.join(folder, name)


class Tree:
    """The files below one folder and the includes between them."""

    def __init__(self, top):
        self.top = top
        self.files = list(source_files(top))
        self.by_name = {}
        for path in self.files:
            self.by_name.setdefault(os.path.basename(path), []).append(path)

    def resolve(self, including, name):
        beside = os.path.normpath(os.path.join(os.path.dirname(including), name))
        if os.path.isfile(beside) and beside.startswith(self.top + os.sep):
            return beside
        suffix = os.sep + os.path.normpath(name)
        found = [path for path in self.by_name.get(os.path.basename(name), []) if path.endswith(suffix)]
        return found[0] if len(found) == 1 else None

    def includes(self, path):
        with open(path, encoding="utf-8", errors="replace") as source:
            text = source.read()
        for name in INCLUDE.findall(text):
            target = self.resolve(path, name)
            if target is not None and target != path:
                yield name, target


def relative(path, root):
    return os.path.relpath(path, root)


def check_layers(root, top):
    faults = []
    tree = Tree(top)
    layer_of_folder = {}
    links = {}
    for folder, _, files in os.walk(top):
        if "CMakeLists.txt" not in files:
            continue
        with open(os.path.join(folder, "CMakeLists.txt"), encoding="utf-8") as cmake:
            text = re.sub(r"#[^\n]*", "", cmake.read())
        libraries = ADD_LIBRARY.findall(text)
        if not libraries:
            continue
        layer_of_folder[folder] = libraries[0]
        for target, linked in LINK.findall(text):
            if target in libraries:
                links.setdefault(libraries[0], set()).update(linked.split())
    folder_of_layer = {layer: folder for folder, layer in layer_of_folder.items()}
    layers = set(folder_of_layer)
    below = {layer: links.get(layer, set()) & layers for layer in layers}

    def reachable(layer):
        seen, todo = set(), list(below[layer])
        while todo:
            current = todo.pop()
            if current not in seen:
                seen.add(current)
                todo.extend(below[current])
        return seen

    allowed = {layer: reachable(layer) for layer in layers}
    for layer in sorted(layers):
        if layer in allowed[layer]:
            faults.append(f"{relative(folder_of_layer[layer], root)}: the library {layer} links itself through "
                          "the libraries it links")

    def layer_of(path):
        folder = os.path.dirname(path)
        while folder.startswith(top):
            if folder in layer_of_folder:
                return layer_of_folder[folder]
            folder = os.path.dirname(folder)
        return None

    for path in tree.files:
        own = layer_of(path)
        if own is None:
            continue
        for name, target in tree.includes(path):
            other = layer_of(target)
            if other is None or other == own or other in allowed[own]:
                continue
            faults.append(f"{relative(path, root)} includes {relative(target, root)}: {own} "
                          f"({relative(folder_of_layer[own], root)}) does not link {other} "
                          f"({relative(folder_of_layer[other], root)})")
    return faults


def unit_of(path):
    return os.path.splitext(path)[0]


def check_cycles(root, top):
    tree = Tree(top)
    edges = {}
    for path in tree.files:
        unit = unit_of(path)
        edges.setdefault(unit, set())
        for _, target in tree.includes(path):
            if unit_of(target) != unit:
                edges[unit].add(unit_of(target))
    # Tarjan's strongly connected components, without recursion (a long include chain must not hit Python's limit).
    index, low, on_stack, stack, components = {}, {}, set(), [], []
    counter = 0
    for start in sorted(edges):
        if start in index:
            continue
        work = [(start, iter(sorted(edges[start])))]
        index[start] = low[start] = counter
        counter += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            unit, successors = work[-1]
            advanced = False
            for successor in successors:
                if successor not in index:
                    index[successor] = low[successor] = counter
                    counter += 1
                    stack.append(successor)
                    on_stack.add(successor)
                    work.append((successor, iter(sorted(edges.get(successor, ())))))
                    advanced = True
                    break
                if successor in on_stack:
                    low[unit] = min(low[unit], index[successor])
            if advanced:
                continue
            work.pop()
            if work:
                parent = work[-1][0]
                low[parent] = min(low[parent], low[unit])
            if low[unit] == index[unit]:
                component = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    component.append(member)
                    if member == unit:
                        break
                if len(component) > 1:
                    components.append(sorted(component))
    faults = []
    for component in sorted(components):
        names = ", ".join(relative(unit, root) for unit in component)
        faults.append(f"include cycle between the units {names}")
    return faults


def check_confined(root, top, headers, unit):
    tree, foreign = Tree(top), Tree(headers)
    faults = []
    for path in tree.files:
        if unit_of(path) == unit:
            continue
        with open(path, encoding="utf-8", errors="replace") as source:
            names = INCLUDE.findall(source.read())
        for name in names:
            # A name that finds a header of FOLDER's own is no include of HEADERS, whatever lies there.
            if tree.resolve(path, name) is not None:
                continue
            target = foreign.resolve(path, name)
            if target is not None:
                faults.append(f"{relative(path, root)} includes {relative(target, root)}: below "
                              f"{relative(top, root)} only {relative(unit, root)} may include the headers of "
                              f"{relative(headers, root)}")
    return faults


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", default=os.path.dirname(os.path.dirname(os.path.abspath(__file__))),
                        help="the source tree (default: the one this script lies in)")
    parser.add_argument("--layers", action="append", default=[], metavar="FOLDER")
    parser.add_argument("--cycles", action="append", default=[], metavar="FOLDER")
    parser.add_argument("--confine", action="append", default=[], nargs=3, metavar=("FOLDER", "HEADERS", "UNIT"))
    arguments = parser.parse_args()
    if not arguments.layers and not arguments.cycles and not arguments.confine:
        parser.error("name at least one folder to check")
    root = os.path.abspath(arguments.root)
    faults = []
    for folder in arguments.layers + arguments.cycles + [name for confined in arguments.confine
                                                         for name in confined[:2]]:
        if not os.path.isdir(os.path.join(root, folder)):
            parser.error(f"{folder}: no such folder below {root}")
    for _, _, unit in arguments.confine:
        # A unit that is gone would leave the check nothing to allow and nothing to say about it.
        if not any(os.path.isfile(os.path.join(root, unit) + suffix) for suffix in SOURCE_SUFFIXES):
            parser.error(f"{unit}: no such unit below {root}")
    for folder in arguments.layers:
        faults += check_layers(root, os.path.join(root, folder))
    for folder in arguments.cycles:
        faults += check_cycles(root, os.path.join(root, folder))
    for folder, headers, unit in arguments.confine:
        faults += check_confined(root, os.path.join(root, folder), os.path.join(root, headers),
                                 os.path.normpath(os.path.join(root, unit)))
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
