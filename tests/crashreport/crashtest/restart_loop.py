#!/usr/bin/env python3
"""The automatic restart and close rules over many processes: a crashtest whose settings restart after every report
(no box) and close once ten reports fell within a minute, crashing in a worker thread at each start. Exactly ten
processes run, one after the other, each going on only after its predecessor ended and each with one report more in
its history; the last one closes, and no shared memory is left behind by any of them.

With --main-thread the crash is the main thread's, which cannot continue: a crashtest whose settings leave automatic
restart off must restart all the same (no box can offer anything else), and the series ends the same way.

With --limit the crashtest has no AutoClose rule at all (only the box off): the restart limit ends the series after
five starts within ten seconds. Each restarted process is collected here (this script makes itself the subreaper of
its descendants): the first four end with 0 (they hand over to the next), the fifth with the failure's code, 139, and
its report, the last in the report file, says that the restart was refused."""
import argparse
import ctypes
import os
import re
import signal
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


REFUSED = ("The application was restarted 4 times within 10 seconds, failing each time: it is closed instead of "
           "restarted once more.")


def limit_journey(arguments):
    libc = ctypes.CDLL(None, use_errno=True)
    if libc.prctl(36, 1, 0, 0, 0) != 0:  # PR_SET_CHILD_SUBREAPER
        fail("cannot become the subreaper of the restarted processes")
    report_file = tempfile.mktemp(prefix="restart-limit-", suffix=".txt")
    environment = dict(os.environ, QT_QPA_PLATFORM="offscreen", LC_ALL="C")
    environment.pop("DISPLAY", None)
    codes = {}
    with tempfile.TemporaryFile() as output:
        first = subprocess.Popen([arguments.crashtest, "null-write", "--no-box", "--history", "--file", report_file],
                                 stdout=output, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL, env=environment)
        deadline = time.time() + 120
        quiet_since = None
        while time.time() < deadline:
            try:
                pid, status = os.waitpid(-1, os.WNOHANG)
            except ChildProcessError:
                pid = 0  # between one process's end and its successor's coming to us
            if pid > 0:
                codes[pid] = os.waitstatus_to_exitcode(status)
                quiet_since = None
                continue
            output.seek(0)
            starts = LINE.findall(output.read().decode("utf-8", "replace"))
            if starts and all(int(p) in codes for p, _, _, _ in starts):
                # Every process that started has ended: wait a little for one too many.
                quiet_since = quiet_since or time.time()
                if time.time() - quiet_since > 2.0:
                    break
            time.sleep(0.05)
        output.seek(0)
        text = output.read().decode("utf-8", "replace")
    first.returncode = codes.get(first.pid)
    starts = [(int(p), int(h), int(o), s) for p, h, o, s in LINE.findall(text)]
    if len(starts) != 5:
        fail("%d processes ran, not 5" % len(starts), text)
    pids = [pid for pid, _, _, _ in starts]
    if pids[0] != first.pid:
        fail("the first process is not ours", text)
    for index, (pid, history, before, state) in enumerate(starts):
        if history != index:
            fail("process %d has %d reports in its history, not %d" % (index + 1, history, index), text)
        if index > 0 and (before != pids[index - 1] or state != "ended"):
            fail("process %d did not wait for its predecessor to end" % (index + 1), text)
    expected = [0, 0, 0, 0, 128 + signal.SIGSEGV]
    if [codes.get(pid) for pid in pids] != expected:
        fail("exit codes %s, not %s" % ([codes.get(pid) for pid in pids], expected), text)
    with open(report_file, "rb") as stream:
        reports = [r for r in stream.read().decode("utf-8").split("\r\n\r\ndate/time") if r]
    os.remove(report_file)
    if len(reports) != 5:
        fail("%d reports in the report file, not 5" % len(reports))
    if not reports[-1].endswith("\r\n\r\n" + REFUSED + "\r\n\r\n"):
        fail("the last report does not say that the restart was refused", reports[-1][-400:])
    if any(REFUSED in report for report in reports[:-1]):
        fail("a report of a restart that happened says it was refused")
    left = [name for name in os.listdir("/dev/shm") for pid in pids
            if name in ("KroExceptRestart$%x" % pid, "KroExceptThreadNameBuf$%x" % pid)]
    if left:
        fail("shared memory left behind: %s" % left, text)
    print("restart loop: 5 starts, the fifth closed with exit code 139 and said why")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--crashtest", required=True, help="a crashtest built without box and with AutoClose 60")
    parser.add_argument("--main-thread", action="store_true", help="crash in the main thread")
    parser.add_argument("--limit", action="store_true", help="a crashtest without any AutoClose rule")
    arguments = parser.parse_args()
    if arguments.limit:
        return limit_journey(arguments)
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
