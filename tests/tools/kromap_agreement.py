#!/usr/bin/env python3
"""Differential test of the debug map: for every line-table address of a program and for random addresses in its
code, kromap's unit, function and line must agree with binutils: the function with the nm symbol at or below the
address, the unit and line with the last (outermost) frame that addr2line -f -C -i prints; and the inlined
functions kromap -i lists, innermost first, with addr2line's other frames, function, unit and line.

usage: kromap_agreement.py KROMAP PROGRAM [RANDOM-COUNT]"""
import bisect
import os
import random
import re
import subprocess
import sys


def run(args, stdin=None):
    return subprocess.run(args, input=stdin, capture_output=True, text=True, check=True).stdout


def code_range(program):
    for line in run(["readelf", "-lW", program]).splitlines():
        fields = line.split()
        if fields and fields[0] == "LOAD" and "E" in fields[6:-1]:
            start = int(fields[2], 16)
            return start, start + int(fields[5], 16)
    sys.exit("no executable segment in " + program)


def line_table(program, low, high):
    """The rows of the decoded line tables: their addresses, and the file stem each row names per address."""
    files = {}
    for line in run(["objdump", "--dwarf=decodedline", program]).splitlines():
        fields = line.split()
        if len(fields) >= 3 and fields[1].isdigit() and fields[2].startswith("0x"):
            address = int(fields[2], 16)
            if low <= address < high:
                files.setdefault(address, set()).add(os.path.splitext(fields[0])[0])
    return sorted(files), files


def symbols(program, low, high):
    by_address = {}
    for line in run(["nm", "-C", "--defined-only", program]).splitlines():
        m = re.match(r"([0-9a-f]+) ([TtWwi]) (.*)$", line)
        if m:
            address = int(m.group(1), 16)
            if low <= address < high:
                by_address.setdefault(address, set()).add(m.group(3)[:255])
    addresses = sorted(by_address)
    return addresses, by_address


def frame_of(function, location):
    m = re.match(r"(.*):(\?|\d+)", location)
    file, line = (m.group(1), m.group(2)) if m else ("??", "?")
    unit = None if file == "??" else os.path.splitext(os.path.basename(file))[0]
    return (None if function == "??" else function, unit, None if line in ("?", "0") else line)


def addr2line_frames(program, addresses):
    """addr2line's frames per address, innermost first, the outermost last: (function, unit, line) with None where
    it prints ??."""
    text = run(["addr2line", "-f", "-C", "-i", "-a", "-e", program], "".join("%x\n" % a for a in addresses))
    frames = {}
    current = None
    lines = text.splitlines()
    i = 0
    while i < len(lines):
        if lines[i].startswith("0x") and re.fullmatch(r"0x[0-9a-f]+", lines[i]):
            current = int(lines[i], 16)
            frames[current] = []
            i += 1
            continue
        frames[current].append(frame_of(lines[i], lines[i + 1]))
        i += 2
    return frames


def kromap(tool, program, addresses):
    """kromap -i per address: ((unit, function, line), [(function, unit, line) of each inlined function])."""
    result = {}
    for start in range(0, len(addresses), 20000):
        batch = addresses[start:start + 20000]
        out = run([tool, "-i", program] + ["%x" % a for a in batch]).splitlines()
        answers = []
        for line in out:
            if line.startswith("  "):
                if not answers:
                    sys.exit("kromap printed an inlined function before any address")
                fields = line[2:].split(" ")
                answers[-1][2].append((None if " ".join(fields[1:-1]) == "?" else " ".join(fields[1:-1]),
                                       None if fields[0] == "?" else fields[0], None if fields[-1] == "?" else fields[-1]))
            else:
                fields = line.split(" ")
                answers.append((int(fields[0], 16), (fields[1], " ".join(fields[2:-1]), fields[-1]), []))
        if len(answers) != len(batch):
            sys.exit("kromap answered %d addresses of %d" % (len(answers), len(batch)))
        for address, (answered, outermost, inlined) in zip(batch, answers):
            if answered != address:
                sys.exit("kromap answered %x for %x" % (answered, address))
            result[address] = (outermost, inlined)
    return result


def same_function(mapped, wanted):
    """A name the map had to cut (255 bytes) agrees with the start of the whole one; a function that DWARF knows by
    its plain name alone is named in the namespaces and classes it is declared in, as gdb names it, where addr2line
    gives the plain name."""
    if mapped is None or wanted is None:
        return mapped == wanted
    return (mapped == wanted or mapped.endswith("::" + wanted) or
            (len(mapped.encode()) >= 255 and wanted.encode()[:len(mapped.encode())] == mapped.encode()))


def disagreements(mapped, frames, table, row_files, names, symbol_addresses, address):
    """What kromap says differently from binutils about one address, and whether addr2line misnamed a row's file."""
    (unit, function, line), inlined = mapped
    _, want_unit, want_line = frames[-1]
    misnamed = 0
    row = bisect.bisect_right(table, address) - 1
    row_units = row_files[table[row]] if row >= 0 else set()

    def misnames(unit, want_unit, line, want_line):
        # binutils 2.40 reads a DWARF 5 row that relies on the default file register (file 1) as file 0, the unit's
        # own source: the line is right, the file wrong. The line table row itself names our unit.
        return unit != (want_unit or "?") and line == want_line and unit in row_units

    if not inlined and misnames(unit, want_unit, line, want_line):
        misnamed += 1
        want_unit = unit
    at = bisect.bisect_right(symbol_addresses, address) - 1
    want_functions = names[symbol_addresses[at]] if at >= 0 else {"?"}
    problems = []
    if function not in want_functions:
        problems.append("function %r, nm %r" % (function, sorted(want_functions)))
    if unit != (want_unit or "?"):
        problems.append("unit %r, addr2line %r" % (unit, want_unit))
    if line != (want_line or "?"):
        problems.append("line %r, addr2line %r" % (line, want_line))
    wanted = frames[:-1]
    if len(inlined) != len(wanted):
        problems.append("%d inlined functions, addr2line %d: %r / %r" % (len(inlined), len(wanted), inlined, wanted))
    else:
        for depth, ((function, unit, line), (want_function, want_unit, want_line)) in enumerate(zip(inlined, wanted)):
            if depth == 0 and misnames(unit, want_unit, line, want_line):
                misnamed += 1
                want_unit = unit
            if function != want_function and (want_function or "")[:255] in want_functions and function is not None:
                # addr2line names a function that DWARF knows by its plain name (no linkage name) by the symbol that
                # holds the address, when it first meets it or when the symbol starts where the function does.
                want_function = function
            if not same_function(function, want_function) or (unit, line) != (want_unit, want_line):
                problems.append("inlined %d: %r, addr2line %r" % (depth, (function, unit, line),
                                                                  (want_function, want_unit, want_line)))
    return problems, misnamed


def main():
    tool, program = sys.argv[1], sys.argv[2]
    random_count = int(sys.argv[3]) if len(sys.argv) > 3 else 10000
    low, high = code_range(program)
    table, row_files = line_table(program, low, high)
    rng = random.Random(19)
    randoms = [rng.randrange(low, high) for _ in range(random_count)]
    addresses = sorted(set(table) | set(randoms))
    symbol_addresses, names = symbols(program, low, high)
    frames = addr2line_frames(program, addresses)
    mapped = kromap(tool, program, addresses)

    failures = []
    requeried = misnamed = inlined = 0
    first = {}
    for address in addresses:
        first[address] = disagreements(mapped[address], frames[address], table, row_files, names, symbol_addresses,
                                       address)
        inlined += 1 if mapped[address][1] else 0
    first_answers = sum(1 for a in addresses if first[a][0])
    if first_answers > max(2000, len(addresses) // 20):
        # Asking addr2line again one address at a time is for its few order-dependent answers, not for a broken map.
        print("%s: %d of %d addresses disagree at once; the map is broken" % (program, first_answers, len(addresses)))
        for address in [a for a in addresses if first[a][0]][:int(os.environ.get("KROMAP_SHOW", "40"))]:
            print("  %x: %s" % (address, "; ".join(first[address][0])))
        return 1
    for address in addresses:
        problems, wrong_file = first[address]
        if problems:
            # addr2line's answer for an address can depend on the addresses asked before it (code that several
            # units describe); asked alone it is its best.
            requeried += 1
            problems, wrong_file = disagreements(mapped[address], addr2line_frames(program, [address])[address], table,
                                                 row_files, names, symbol_addresses, address)
        misnamed += wrong_file
        if problems:
            failures.append("%x: %s" % (address, "; ".join(problems)))
    # The misnamed rows are addr2line's fault, but a map that named wrong units on lines that happen to agree would
    # hide among them: they may be no more than 0.5 % of the line table.
    allowed = max(1, len(table) // 200)
    print("%s: %d line-table and %d random addresses checked, %d in inlined code, %d disagree (%d asked again alone,"
          " %d rows whose file addr2line misnames, at most %d allowed)" %
          (os.path.basename(program), len(table), len(randoms), inlined, len(failures), requeried, misnamed, allowed))
    for failure in failures[:int(os.environ.get("KROMAP_SHOW", "40"))]:
        print("  " + failure)
    if misnamed > allowed:
        print("  more rows whose file addr2line misnames than allowed: the map's units are suspect")
    return 1 if failures or misnamed > allowed else 0


if __name__ == "__main__":
    sys.exit(main())
