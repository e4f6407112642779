#!/usr/bin/env python3
"""What the debug map costs a build: the time of the map step (kromapgen and objcopy, run again here on a copy of
every program that carries a map) against the work of the whole build (the durations of every step ninja logged for
the build folder), and the maps' size against the programs' size, as built and stripped.

usage: debug_map_figures.py BUILD-FOLDER   (after a full build of that folder from scratch)"""
import os
import shutil
import subprocess
import sys
import tempfile
import time


def logged_steps(build):
    """Output file -> duration in seconds of its last build step, from .ninja_log."""
    steps = {}
    with open(os.path.join(build, ".ninja_log")) as log:
        for line in log:
            if line.startswith("#"):
                continue
            start, end, _, output, _ = line.rstrip("\n").split("\t")
            steps[output] = (int(end) - int(start)) / 1000.0
    return steps


def map_size(program):
    """The size of the program's .kroexcept section, 0 when it has none."""
    sections = subprocess.run(["readelf", "-SW", program], capture_output=True, text=True).stdout
    for line in sections.splitlines():
        if "] .kroexcept " in line:
            return int(line.split("]")[1].split()[4], 16)
    return 0


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    build = sys.argv[1]
    generator = os.path.join(build, "tools", "kromapgen", "kromapgen")
    steps = logged_steps(build)
    programs = []
    for output in steps:
        path = os.path.join(build, output)
        if os.path.isfile(path) and os.access(path, os.X_OK) and map_size(path) > 0:
            programs.append(path)
    if not programs:
        sys.exit("no program with a debug map in " + build)

    work = tempfile.mkdtemp()
    map_seconds = 0.0
    map_bytes = program_bytes = stripped_bytes = 0
    print("%-50s %10s %12s %7s %12s %7s" % ("program", "map", "as built", "", "stripped", ""))
    try:
        for program in programs:
            copy = os.path.join(work, "program")
            shutil.copy(program, copy)
            started = time.monotonic()
            subprocess.run([generator, copy, copy + ".kromap"], check=True)
            subprocess.run(["objcopy", "--remove-section=.kroexcept", "--add-section", ".kroexcept=" + copy + ".kromap",
                            copy], check=True)
            map_seconds += time.monotonic() - started
            size = map_size(program)
            built = os.path.getsize(program) - size
            subprocess.run(["strip", "-R", ".kroexcept", copy, "-o", copy + ".stripped"], check=True)
            stripped = os.path.getsize(copy + ".stripped")
            map_bytes += size
            program_bytes += built
            stripped_bytes += stripped
            print("%-50s %10d %12d %6.2f%% %12d %6.2f%%" % (os.path.relpath(program, build), size, built,
                                                           100.0 * size / built, stripped, 100.0 * size / stripped))
    finally:
        shutil.rmtree(work)
    build_seconds = sum(steps.values())
    print("%d programs: map step %.1f s of %.1f s of build work (%.2f %%); maps %d bytes, %.2f %% of the programs as"
          " built, %.2f %% of them stripped" % (len(programs), map_seconds, build_seconds,
                                                100.0 * map_seconds / build_seconds, map_bytes,
                                                100.0 * map_bytes / program_bytes, 100.0 * map_bytes / stripped_bytes))


if __name__ == "__main__":
    main()
