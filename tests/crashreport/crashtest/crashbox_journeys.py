#!/usr/bin/env python3
"""Journeys through the exception box of a crashing program: crashtest crashes in its main thread or in a worker
thread under Xvfb, the journey finds the box, reads the report through the clipboard and presses the box's buttons
with xdotool, checking what each one does to the process: continue lets a worker thread's crash go on, close ends
the process, restart starts a new process that receives the exception history, show enlarges the box to the report,
mail sends the report to a loopback mail server, and the countdown presses its button by itself.

    crashbox_journeys.py JOURNEY --crashtest PATH --source crashtest.cpp --mailpeers mailpeers.py --shots DIR
"""
import argparse
import glob
import os
import re
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "box"))
from exceptbox_journeys import Xvfb, check, FAILURES, PASSES  # noqa: E402

JOURNEYS = ("main", "worker", "restart", "countdown", "lock")
BOX = ("--class", "KroExceptWndClass")
MESSAGE_BOX = ("--class", "KroExceptMessageBox")


def markers(source):
    found = {}
    with open(source, encoding="utf-8") as stream:
        for number, line in enumerate(stream, 1):
            match = re.search(r"crash-mark: (\w+)", line)
            if match:
                found[match.group(1)] = number
    return found


class Crash:
    """crashtest started on the display, its output going to a file (a restarted process writes there too)."""

    def __init__(self, a, x, *args):
        self.output_path = tempfile.mktemp(prefix="crashbox-", suffix=".out", dir=a.work)
        self.output = open(self.output_path, "wb")
        env = dict(x.env, QT_QPA_PLATFORM="offscreen", LC_ALL="C")
        self.process = subprocess.Popen([a.crashtest] + list(args), env=env, stdout=self.output,
                                        stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)

    def text(self):
        with open(self.output_path, "rb") as stream:
            return stream.read().decode("utf-8", "replace")

    def wait_line(self, pattern, timeout=30.0):
        deadline = time.time() + timeout
        while time.time() < deadline:
            match = re.search(pattern, self.text(), re.M)
            if match:
                return match
            time.sleep(0.1)
        return None

    def finish(self, timeout=30):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            return None

    def running(self):
        return self.process.poll() is None


def ended(pid):
    """Gone, or a zombie nobody has collected yet (a restarted process's parent is not us)."""
    try:
        with open("/proc/%d/stat" % pid) as stream:
            return stream.read().rsplit(")", 1)[1].split()[0] in ("Z", "X")
    except OSError:
        return True


def wait_gone(pid, timeout=20.0):
    deadline = time.time() + timeout
    while time.time() < deadline:
        if ended(pid):
            return True
        time.sleep(0.1)
    return False


def shared_blocks(pid):
    return [p for p in ("/dev/shm/KroExceptThreadNameBuf$%x" % pid, "/dev/shm/KroExceptRestart$%x" % pid)
            if os.path.exists(p)]


def find_box(x):
    box = x.wait_window(*BOX, timeout=30.0)
    if box is not None:
        time.sleep(0.5)  # the clipboard is claimed as the box maps
    return box


def report_checks(report, marks, failing_title, what):
    """The report read back through the clipboard: the failing thread first with the crashing line, the exception,
    the modules and the disassembly."""
    check(report is not None and report.startswith("date/time         : "), "%s: the clipboard holds the report" %
          what)
    if report is None:
        return None
    check("exception class   : KroException\r\n" in report and
          re.search(r"exception message : Access violation at address \$[0-9A-F]+ in module 'crashtest'\. "
                    r"Write of address \$0\.\r\n", report) is not None, "%s: the exception class and message" % what)
    body = report.split("\r\n\r\nmodules:")[0].split("\r\n\r\n")
    title = body[1].split("\r\n")[0] if len(body) > 1 else ""
    check(re.fullmatch(failing_title + r" \(\$[0-9a-f]+\):", title) is not None,
          "%s: the failing thread comes first (%s)" % (what, title))
    first = [line for line in body[1].split("\r\n")[1:] if " crashtest " in line][:1] if len(body) > 1 else []
    check(bool(first) and re.search(r" crashtest\s+crashtest\s+%d " % marks["NullWrite"], first[0]) is not None,
          "%s: its trace starts at the crashing line %d: %s" % (what, marks["NullWrite"], first))
    listing = report.split("\r\n\r\ndisassembling:\r\n")
    check(len(listing) == 2 and sum("\u00bb" in line for line in listing[1].split("\r\n")) == 1,
          "%s: the disassembly marks the faulting instruction" % what)
    pid = re.search(r"process id        : \$([0-9a-f]+)", report)
    return int(pid.group(1), 16) if pid else None


def start_mail_peers(a):
    outdir = tempfile.mkdtemp(prefix="crashbox-mail-", dir=a.work)
    peers = subprocess.Popen([sys.executable, a.mailpeers, outdir], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL)
    ports = {}
    deadline = time.time() + 30
    while time.time() < deadline:
        line = peers.stdout.readline().decode().split()
        if not line or line[0] == "ready":
            break
        if line[0] == "dns":
            ports["dns"] = int(line[1])
        elif line[0] == "smtp":
            ports[line[1]] = int(line[2])
    return peers, outdir, ports


def main_journey(a, x, marks):
    """A crash in the main thread: the report on the clipboard, show, mail, then close ends the process."""
    peers, outdir, ports = start_mail_peers(a)
    if not check("dns" in ports and "plain" in ports, "the loopback mail peers run: %s" % ports):
        return
    crash = Crash(a, x, "null-write", "--box", "--mail", str(ports["dns"]), str(ports["plain"]))
    try:
        box = find_box(x)
        if not check(box is not None, "main: the box appears"):
            return
        report = (x.clipboard() or b"").decode("utf-8", "replace") or None
        pid = report_checks(report, marks, "main thread", "main")
        check(pid == crash.process.pid, "main: the report is this process's")
        small = x.geometry(box)
        x.screenshot(os.path.join(a.shots, "crashbox-main.png"), box)
        check(x.button("continue application") is not None, "main: the box has its continue button (disabled)")
        x.click(x.button("continue application"))
        time.sleep(0.6)
        check(crash.running() and x.search(*BOX), "main: continue does nothing when the main thread crashed")

        x.click(x.button("show bug report"))
        time.sleep(0.8)
        large = x.geometry(box)
        check(large["Height"] >= small["Height"] + 300 and large["Width"] >= small["Width"],
              "show enlarges the box to the report (%dx%d to %dx%d)" %
              (small["Width"], small["Height"], large["Width"], large["Height"]))
        x.screenshot(os.path.join(a.shots, "crashbox-report.png"), box)

        x.click(x.button("mail bug report"))
        message = x.wait_window(*MESSAGE_BOX, timeout=30.0)
        check(message is not None, "mail: a message box tells how the send went")
        sent = sorted(glob.glob(os.path.join(outdir, "plain-*.eml")))
        check(len(sent) == 1, "mail: the loopback server received one mail: %s" % sent)
        if sent:
            with open(sent[0], "rb") as stream:
                mail = stream.read().decode("utf-8", "replace")
            check(re.search(r"^To: .*bugs@crashtest\.example", mail, re.M | re.I) is not None,
                  "mail: it is addressed to the settings' recipient")
            bodies = glob.glob(os.path.join(outdir, "plain-*.body"))
            body = open(bodies[0], "rb").read().decode("utf-8", "replace") if bodies else mail
            check(report is not None and report.replace("\r\n", "\n").strip() in body.replace("\r\n", "\n"),
                  "mail: its text is the report on the clipboard")
        if message is not None:
            x.key("Return")
            check(x.wait_window(*MESSAGE_BOX, present=False) == -1, "mail: Return dismisses the message box")
        check(crash.running(), "main: the process waits in its box after mail and show")

        x.click(x.button("close application"))
        code = crash.finish()
        check(code == 128 + signal.SIGSEGV, "close ends the crashed process with its failure code, 139 (%s)" % code)
        check(x.wait_window(*BOX, present=False) == -1, "close: the box is gone")
        check("continued" not in crash.text(), "close: the program did not go on")
        check(not shared_blocks(crash.process.pid), "close: no shared memory left behind")
    finally:
        if crash.running():
            crash.process.kill()
        peers.stdin.close()
        peers.wait(timeout=10)


def worker_journey(a, x, marks):
    """A crash in a worker thread: continue keeps the process running; a second run is closed from the box."""
    crash = Crash(a, x, "null-write", "--thread", "--box")
    try:
        box = find_box(x)
        if not check(box is not None, "worker: the box appears"):
            return
        report = (x.clipboard() or b"").decode("utf-8", "replace") or None
        report_checks(report, marks, "crash worker", "worker")
        check(report is not None and ">> created by main thread ($%x) at:" % crash.process.pid in report,
              "worker: the report names the worker's creator")
        x.click(x.button("continue application"))
        code = crash.finish()
        check(code == 0 and "continued\n" in crash.text(),
              "continue keeps a worker thread's crash's process running (it goes on and ends by itself: %s)" % code)
    finally:
        if crash.running():
            crash.process.kill()

    crash = Crash(a, x, "null-write", "--thread", "--box")
    try:
        if not check(find_box(x) is not None, "worker: the box appears again"):
            return
        x.click(x.button("close application"))
        code = crash.finish()
        check(code == 128 + signal.SIGSEGV and "continued" not in crash.text(),
              "close ends a worker thread's crash's process at once, with its failure code (%s)" % code)
        check(not shared_blocks(crash.process.pid), "close: no shared memory left behind")
    finally:
        if crash.running():
            crash.process.kill()


def restart_journey(a, x, marks):
    """Restart: the process ends, a new one starts with the same command line once the old one has gone, and it has
    the old one's exception history; it crashes too, and close ends it."""
    crash = Crash(a, x, "null-write", "--thread", "--box", "--history")
    second = None
    try:
        first = crash.wait_line(r"^started (\d+) history (\d+) after -?\d+ \w+$")
        check(first is not None and int(first.group(2)) == 0, "restart: a fresh process has no history")
        if not check(find_box(x) is not None, "restart: the box appears"):
            return
        x.click(x.button("restart application"))
        code = crash.finish()
        check(code == 0, "restart ends the old process with exit code 0 (%s)" % code)
        match = crash.wait_line(r"^started (\d+) history (\d+) .*$\n(?:.*\n)*?"
                                r"^started (\d+) history (\d+) after (\d+) (\w+)$")
        if not check(match is not None, "restart starts a new process: %r" % crash.text()[-300:]):
            return
        second = int(match.group(3))
        check(second != crash.process.pid, "restart: the new process is another one")
        check(int(match.group(5)) == crash.process.pid and match.group(6) == "ended",
              "restart: the new process went on only after the old one had ended")
        check(int(match.group(4)) == 1, "restart: the new process received the history (%s report)" %
              match.group(4))
        check(not os.path.exists("/dev/shm/KroExceptRestart$%x" % second),
              "restart: the hand-over block is gone once taken over")
        box = find_box(x)
        if not check(box is not None, "restart: the new process's crash shows its box"):
            return
        report = (x.clipboard() or b"").decode("utf-8", "replace")
        check("process id        : $%x\r\n" % second in report, "restart: the new box shows the new process's report")
        check(re.search(r"^command line      : .*null-write --thread --box --history", report, re.M) is not None,
              "restart: the new process has the old one's command line")
        x.click(x.button("close application"))
        check(wait_gone(second), "restart: close ends the new process")
        check(not shared_blocks(second) and not shared_blocks(crash.process.pid),
              "restart: no shared memory left behind")
    finally:
        if crash.running():
            crash.process.kill()
        if second is not None and not ended(second):
            os.kill(second, 9)


def countdown_journey(a, x, marks):
    """With a countdown on "continue", the box presses it by itself."""
    crash = Crash(a, x, "null-write", "--thread", "--box", "--countdown", "2")
    try:
        if not check(find_box(x) is not None, "countdown: the box appears"):
            return
        started = time.time()
        gone = x.wait_window(*BOX, present=False, timeout=30.0)
        took = time.time() - started
        check(gone == -1 and took >= 1.0, "countdown: the box closes by itself after its delay (%.1f s)" % took)
        code = crash.finish()
        check(code == 0 and "continued\n" in crash.text(), "countdown: it pressed continue (%s)" % code)
    finally:
        if crash.running():
            crash.process.kill()


def lock_journey(a, x, marks):
    """A crash while another thread is paused inside the allocator (holding its lock): the box still appears and
    serves its report through the clipboard, since the box's own allocations (the X library's among them) go to the
    report's heap; close ends the process."""
    crash = Crash(a, x, "lock", "--box")
    try:
        box = find_box(x)
        if not check(box is not None, "lock: the box appears while a thread is paused in the allocator"):
            return
        report = (x.clipboard() or b"").decode("utf-8", "replace") or None
        pid = report_checks(report, marks, "main thread", "lock")
        check(pid == crash.process.pid, "lock: the report is this process's")
        check(report is not None and re.search(r"\r\nheap worker \(\$[0-9a-f]+\):\r\n", report) is not None,
              "lock: the report lists the heap worker")
        x.click(x.button("show bug report"))
        time.sleep(0.8)
        check(crash.running() and x.search(*BOX), "lock: the box answers its buttons")
        x.click(x.button("close application"))
        code = crash.finish()
        check(code == 128 + signal.SIGSEGV and "continued" not in crash.text(),
              "lock: close ends the process with its failure code (%s)" % code)
        check(not shared_blocks(crash.process.pid), "lock: no shared memory left behind")
    finally:
        if crash.running():
            crash.process.kill()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("journey", choices=JOURNEYS)
    parser.add_argument("--crashtest", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("--mailpeers", required=True)
    parser.add_argument("--shots", default=tempfile.gettempdir())
    a = parser.parse_args()
    os.makedirs(a.shots, exist_ok=True)
    a.work = tempfile.mkdtemp(prefix="crashbox-")
    marks = markers(a.source)
    x = Xvfb()
    try:
        {"main": main_journey, "worker": worker_journey, "restart": restart_journey,
         "countdown": countdown_journey, "lock": lock_journey}[a.journey](a, x, marks)
    finally:
        x.stop()
    print("%d passed, %d failed" % (len(PASSES), len(FAILURES)))
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
