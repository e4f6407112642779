#!/usr/bin/env python3
"""kromap as a user runs it: help, and bad arguments named in the error.

usage: kromap_cli.py KROMAP PROGRAM-WITH-MAP"""
import subprocess
import sys
import tempfile


def run(*args):
    done = subprocess.run(list(args), capture_output=True, text=True)
    return done.returncode, done.stdout, done.stderr


def main():
    tool, program = sys.argv[1], sys.argv[2]
    failures = []

    def expect(condition, what):
        if not condition:
            failures.append(what)

    code, out, _ = run(tool, "--help")
    expect(code == 0 and "usage: kromap [-i] FILE ADDRESS..." in out, "--help prints the usage")
    code, _, err = run(tool, "--bogus")
    expect(code == 2 and "--bogus" in err, "an unknown option is named")
    code, _, err = run(tool, program)
    expect(code == 2 and "usage:" in err, "no address is refused with the usage")
    code, out, err = run(tool, program, "0x10", "12zz")
    expect(code == 2 and "12zz" in err and out == "", "a bad address is named and nothing is printed")
    with tempfile.NamedTemporaryFile() as text:
        text.write(b"not a program")
        text.flush()
        code, _, err = run(tool, text.name, "0")
        expect(code == 1 and text.name in err, "a file that is no program is named")
    code, _, err = run(tool, "/nonexistent/program", "0")
    expect(code == 1 and "/nonexistent/program" in err, "a missing file is named")
    code, out, _ = run(tool, program, "0", "0xffffffffffff")
    expect(code == 0 and out.splitlines() == ["0x0 ? ? ?", "0xffffffffffff ? ? ?"],
           "addresses outside the code resolve to nothing")
    code, out, _ = run(tool, "-i", program, "0", "0xffffffffffff")
    expect(code == 0 and out.splitlines() == ["0x0 ? ? ?", "0xffffffffffff ? ? ?"],
           "addresses outside the code have no inlined functions")
    code, _, err = run(tool, "-i", program)
    expect(code == 2 and "usage:" in err, "-i without an address is refused with the usage")
    for failure in failures:
        print("FAILED: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
