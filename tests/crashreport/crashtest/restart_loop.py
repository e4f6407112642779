#!/usr/bin/env python3
"""The automatic restart and close rules over many processes: a crashtest whose settings restart after every report
(no box) and close once ten reports fell within a minute, crashing in a worker thread at each start. Exactly ten
processes run, one after the other, each going on only after its predecessor ended and each with one report more in
its history; the last one closes, and no shared memory is left behind by any of them.

With --main-thread the crash is the main thread's, which cannot continue: a crashtest whose settings leave automatic
restart off must restart all the same (no box can offer anything else), and the series ends the same way."""
import argparse
import os
import re
import subprocess
import sys
import tempfile
import time

LINE = re.compile(r"^started (\d+) history (\d+) after (-?\d+) (\w+)$", re.M)


def fail(message, output=""):
    sys.stderr.write("FAILED: " + message + "\n" + (output and "--- output ---\n" + output + "\n"))
    sys.exit(1)


def ended(pid):
    try:
        with open("/proc/%d/stat" % pid) as stream:
            return stream.read().rsplit(")", 1)[1].split()[0] in ("Z", "X")
    except OSError:
        return True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--crashtest", required=True, help="a crashtest built without box and with AutoClose 60")
    parser.add_argument("--main-thread", action="store_true", help="crash in the main thread")
    arguments = parser.parse_args()
    command = [arguments.crashtest, "null-write", "--no-box", "--history"] + ([] if arguments.main_thread else
                                                                              ["--thread"])
    environment = dict(os.environ, QT_QPA_PLATFORM="offscreen", LC_ALL="C")
    environment.pop("DISPLAY", None)
    with tempfile.TemporaryFile() as output:
        first = subprocess.Popen(command, stdout=output, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                                 env=environment)
        first.wait(timeout=60)
        # The later processes are not our children: wait until ten have started and the last one has ended.
        deadline = time.time() + 150
        starts = []
        while time.time() < deadline:
            output.seek(0)
            text = output.read().decode("utf-8", "replace")
            starts = LINE.findall(text)
            if len(starts) >= 10 and ended(int(starts[-1][0])):
                break
            time.sleep(0.2)
        time.sleep(1.0)  # a process too many would have started by now
        output.seek(0)
        text = output.read().decode("utf-8", "replace")
    starts = [(int(p), int(h), int(o), s) for p, h, o, s in LINE.findall(text)]
    if len(starts) != 10:
        fail("%d processes ran, not 10" % len(starts), text)
    if starts[0][0] != first.pid or first.returncode != 0:
        fail("the first process is not ours or did not end with 0 (%s)" % first.returncode, text)
    for index, (pid, history, before, state) in enumerate(starts):
        if history != index:
            fail("process %d has %d reports in its history, not %d" % (index + 1, history, index), text)
        if index > 0 and (before != starts[index - 1][0] or state != "ended"):
            fail("process %d did not wait for its predecessor %d to end" % (index + 1, starts[index - 1][0]), text)
    pids = [pid for pid, _, _, _ in starts]
    if len(set(pids)) != 10:
        fail("a process id came twice", text)
    if text.count("continued\n") != 0:
        fail("a process went on instead of restarting or closing", text)
    if not all(ended(pid) for pid in pids):
        fail("a process still runs", text)
    left = [name for name in os.listdir("/dev/shm") for pid in pids
            if name in ("KroExceptRestart$%x" % pid, "KroExceptThreadNameBuf$%x" % pid)]
    if left:
        fail("shared memory left behind: %s" % left, text)
    print("restart loop: 10 processes, one after the other, the tenth closed")


if __name__ == "__main__":
    main()
