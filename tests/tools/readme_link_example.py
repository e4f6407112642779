#!/usr/bin/env python3
"""Builds the README's example of a program that links the crash reporter, exactly as the README gives it (its
CMake and C++ blocks, taken from the README itself), in a project outside this one that pulls this one in with
add_subdirectory; crashes it without a display and checks what its user is promised: the exit code of a SIGSEGV, the
report on standard output and in the report file its settings name, and a trace that names the crashing line through
the debug map the build embedded."""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile


def fail(message):
    print("FAILED: " + message)
    sys.exit(1)


def example_blocks(readme):
    blocks = dict(re.findall(r"```(cmake|cpp)\n(.*?)```", readme, re.S))
    if "cmake" not in blocks or "cpp" not in blocks:
        fail("the README holds no cmake and cpp example blocks")
    return blocks["cmake"], blocks["cpp"]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", required=True, help="this project's source folder")
    parser.add_argument("--work", required=True, help="an empty folder to build the example in")
    parser.add_argument("--generator", default="Ninja")
    args = parser.parse_args()

    with open(os.path.join(args.source, "README.md"), encoding="utf-8") as f:
        cmake_text, cpp_text = example_blocks(f.read())

    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    report_file = os.path.join(args.work, "hello-bugreport.txt")
    # The example names a report file under /tmp; the test keeps its own beside its build.
    cmake_text, replaced = re.subn(r'BugReportFile\s+"[^"]*"', 'BugReportFile "%s"' % report_file, cmake_text)
    if replaced != 1:
        fail("the example's kroexcept_settings call names no BugReportFile")
    subdir = re.search(r"add_subdirectory\((\S+?)\)", cmake_text)
    if not subdir:
        fail("the example does not add this project with add_subdirectory")
    os.symlink(os.path.abspath(args.source), os.path.join(args.work, subdir.group(1)))
    with open(os.path.join(args.work, "CMakeLists.txt"), "w", encoding="utf-8") as f:
        f.write(cmake_text)
    with open(os.path.join(args.work, "hello.cpp"), "w", encoding="utf-8") as f:
        f.write(cpp_text)

    build = os.path.join(args.work, "build")
    for command in (["cmake", "-S", args.work, "-B", build, "-G", args.generator],
                    ["cmake", "--build", build, "--target", "hello"]):
        done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        if done.returncode != 0:
            fail("%s failed:\n%s" % (" ".join(command), done.stdout[-4000:]))

    env = dict(os.environ)
    env.pop("DISPLAY", None)
    env.pop("WAYLAND_DISPLAY", None)
    run = subprocess.run([os.path.join(build, "hello")], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                         env=env, cwd=args.work, timeout=120, text=True, errors="replace")
    if run.returncode != 128 + 11:
        fail("hello ended with %d, not 139 (128 + SIGSEGV):\n%s" % (run.returncode, run.stdout[-3000:]))
    if "Access violation" not in run.stdout or "main thread" not in run.stdout:
        fail("no report on standard output:\n" + run.stdout[-3000:])
    if not os.path.exists(report_file):
        fail("no report file at " + report_file)
    with open(report_file, encoding="utf-8", errors="replace") as f:
        report = f.read()
    # The crashing line of hello.cpp, as the debug map names it: unit, line and function on the first frame.
    crash_line = next(i for i, text in enumerate(cpp_text.splitlines(), 1) if "*Nowhere = 1" in text)
    frame = re.search(r"^[0-9a-f]+ hello\s+hello (\d+) main$", report, re.M)
    if not frame or int(frame.group(1)) != crash_line:
        fail("the trace does not name hello %d main:\n%s" % (crash_line, report))
    print("the README's example builds, and its crash exits 139 with a report naming hello %d main" % crash_line)


if __name__ == "__main__":
    main()
