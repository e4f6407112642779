#!/usr/bin/env python3
"""Crash reports under hostile conditions, each with a real crashtest process: an address-space limit (the Qt modes
under the offscreen platform and under a real X server), signals that another process sends (kill, sigqueue, tgkill
to one thread), shared memory left by killed processes and blocks of another user under the program's own names, an
X server killed while the exception box shows or just before it, children of fork and faults in the program's last
steps (atexit, a static destructor), a sandbox whose shared-memory folder cannot be written. Every report must be
complete and the process must end with its documented exit code: 128 + the signal, 70 for an exception nobody caught,
71 when the reporter itself cannot start, 0 only for a program that went on.

    hostile_journeys.py JOURNEY --crashtest PATH --source crashtest.cpp
JOURNEY: memory-limit, sent-signal, shared-memory, x-server-gone, fork-and-exit
"""
import argparse
import ctypes
import os
import re
import resource
import signal
import struct
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "box"))
import crashtest_journeys as cj  # noqa: E402
from exceptbox_journeys import Xvfb  # noqa: E402

ERROR_TEXT = cj.ERROR_TEXT
UNCAUGHT_EXCEPTION = 70
INTERNAL_ERROR = 71
BOX = ("--class", "KroExceptWndClass")
SHM = "/dev/shm"
NOBODY = 65534
READ_NULL = r"Access violation at address \$[0-9A-F]+ in module 'crashtest'\. Read of address \$0\."
WRITE_NULL = r"Access violation at address \$[0-9A-F]+ in module 'crashtest'\. Write of address \$0\."
OPTIMISED = False


def fail(message, output=""):
    cj.fail(message, output)


def environment(display=None, platform="offscreen"):
    env = dict(os.environ, QT_QPA_PLATFORM=platform, LC_ALL="C")
    env.pop("DISPLAY", None)
    env.pop("KROEXCEPT_RESTART_OF", None)
    if display:
        env["DISPLAY"] = display
    return env


class Run:
    """crashtest running with its output in a file, optionally under an address-space limit (KiB, as ulimit -v)."""

    def __init__(self, command, env, limit_kib=None):
        handle, self.path = tempfile.mkstemp(prefix="hostile-", suffix=".out")
        os.close(handle)
        self.output = open(self.path, "wb")

        def limit():
            resource.setrlimit(resource.RLIMIT_AS, (limit_kib * 1024, limit_kib * 1024))
        self.process = subprocess.Popen(command, env=env, stdout=self.output, stderr=subprocess.STDOUT,
                                        stdin=subprocess.DEVNULL, preexec_fn=limit if limit_kib else None)
        self.pid = self.process.pid

    def text(self):
        with open(self.path, "rb") as stream:
            return stream.read().decode("utf-8", "replace")

    def wait_for(self, pattern, timeout=60.0):
        deadline = time.time() + timeout
        while time.time() < deadline:
            match = re.search(pattern, self.text(), re.M)
            if match:
                return match
            if self.poll() is not None:
                break
            time.sleep(0.05)
        fail("crashtest did not print %r" % pattern, self.text())

    def poll(self):
        return self.process.poll()

    def finish(self, timeout=60.0):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            fail("crashtest did not end within %d s (a report hung)" % timeout, self.text())


class PlantedRun(Run):
    """crashtest started by fork and exec, so that its process id is known before it runs: Plant(pid) lays blocks
    under the new process's own names first."""

    def __init__(self, command, env, plant):
        handle, self.path = tempfile.mkstemp(prefix="hostile-", suffix=".out")
        os.close(handle)
        read_end, write_end = os.pipe()
        self.pid = os.fork()
        if self.pid == 0:
            os.close(write_end)
            os.read(read_end, 1)
            output = os.open(self.path, os.O_WRONLY)
            os.dup2(output, 1)
            os.dup2(output, 2)
            os.execve(command[0], command, env)
        os.close(read_end)
        plant(self.pid)
        os.write(write_end, b"go")
        os.close(write_end)
        self.code = None

    def poll(self):
        if self.code is None:
            pid, status = os.waitpid(self.pid, os.WNOHANG)
            if pid == self.pid:
                self.code = os.waitstatus_to_exitcode(status)
        return self.code

    def finish(self, timeout=60.0):
        deadline = time.time() + timeout
        while self.poll() is None:
            if time.time() > deadline:
                os.kill(self.pid, signal.SIGKILL)
                fail("crashtest did not end within %d s (a report hung)" % timeout, self.text())
            time.sleep(0.05)
        return self.code


def check_report(report, marks, what, failing="main thread", marker=None, message=None,
                 exception_class="KroException", disassembly=True, origin=None):
    """A complete report: the header's labels, the exception, the failing thread first with its crashing line first
    among crashtest's (and the line the crash was set off from, when given), the modules, and the disassembly when
    something faulted (none for a signal that faulted nowhere)."""
    for label in cj.REQUIRED_LABELS:
        if not re.search("^" + re.escape(label), report, re.M):
            fail("%s: the header lacks '%s'" % (what, label.strip()), report)
    if "exception class   : %s\r\n" % exception_class not in report:
        fail("%s: the exception class is not %s" % (what, exception_class), report)
    found = re.search(r"exception message : (.*)\r\n", report)
    if message and (not found or not re.fullmatch(message, found.group(1))):
        fail("%s: the exception message does not match %s" % (what, message), report)
    threads = cj.sections(report)
    if not threads or not re.fullmatch(failing + r" \(\$[0-9a-f]+\)", threads[0][0]):
        fail("%s: the failing thread (%s) does not come first" % (what, failing), report)
    ours = program_lines(threads[0][1])
    if not ours:
        fail("%s: the failing thread's trace has no line of the program's" % what, report)
    # Optimised code may fold the crashing function into its callers: the lines are then the tracer's concern, not
    # this journey's.
    if OPTIMISED:
        marker = origin = None
    if marker and int(ours[0].group(4)) != marks[marker]:
        fail("%s: the failing thread's trace does not start with %s (line %d)" % (what, marker, marks[marker]),
             report)
    if origin and not any(int(m.group(4)) == marks[origin] for m in ours):
        fail("%s: the failing thread's trace does not reach %s (line %d)" % (what, origin, marks[origin]), report)
    modules = report.split("\r\n\r\nmodules:")
    if len(modules) != 2 or not re.search(r"^[0-9a-f]{16} crashtest\s", modules[1], re.M) or \
            not re.search(r"^[0-9a-f]{16} libc\.so\.6\s", modules[1], re.M):
        fail("%s: the modules section is missing or lacks the program or the C library" % what, report)
    listing = report.split("\r\n\r\ndisassembling:\r\n")
    if disassembly and (len(listing) != 2 or sum("\u00bb" in line for line in listing[1].split("\r\n")) != 1):
        fail("%s: no disassembly with the faulting instruction marked" % what, report)
    if not disassembly and len(listing) != 1:
        fail("%s: a disassembly of a place where nothing faulted" % what, report)
    if "An exception occurred during composing the bug report." in report:
        fail("%s: composing the report failed" % what, report)
    return threads


def program_lines(trace):
    """The trace lines in crashtest's own source file."""
    return [m for m in (cj.TRACE_LINE.match(line) for line in trace)
            if m and m.group(2) == "crashtest" and m.group(3) == "crashtest"]


def one_report(text, what):
    reports = cj.reports_of(text, ERROR_TEXT)
    if len(reports) != 1:
        fail("%s: %d reports on the console, not one" % (what, len(reports)), text)
    return reports[0]


def expect_code(code, expected, what, text):
    if code != expected:
        fail("%s: exit code %s, not %s" % (what, code, expected), text)


def no_blocks_of(pid, what):
    left = [name for name in ("KroExceptThreadNameBuf$%x" % pid, "KroExceptRestart$%x" % pid)
            if os.path.exists(os.path.join(SHM, name))]
    if left:
        fail("%s: shared memory left behind: %s" % (what, left))


# --- an address-space limit -------------------------------------------------------------------------------------

def memory_limit_journey(a, marks):
    """Under `ulimit -v 3000000`, as batch systems set it, every kind of report is made whole: a fault in the main
    thread and in a worker, an exception nobody caught, a Qt slot's exception in a worker thread, offscreen and under
    a real X server; under a much tighter limit too."""
    cases = [
        (["null-read"], cj.FAULT + signal.SIGSEGV, "main thread", "NullRead", READ_NULL, "KroException"),
        (["null-write", "--thread"], 0, "crash worker", "NullWrite", WRITE_NULL, "KroException"),
        (["throw"], UNCAUGHT_EXCEPTION, "main thread", "Throw", r"Nobody catches this\.", "std::runtime_error"),
        (["qt-slot", "--thread"], 0, "crash worker", "SlotThrow", r"The slot failed\.", "std::runtime_error"),
    ]
    for limit in (3000000, 250000):
        for arguments, code, failing, marker, message, exception_class in cases:
            if limit < 1000000 and code != 0:
                continue
            what = "ulimit -v %d, %s" % (limit, " ".join(arguments))
            run = Run([a.crashtest] + arguments + ["--console"], environment(), limit_kib=limit)
            expect_code(run.finish(), code, what, run.text())
            check_report(one_report(run.text(), what), marks, what, failing, marker, message, exception_class)
            if (code == 0) != ("continued\n" in run.text()):
                fail("%s: the program %s after the report" % (what, "did not go on" if code == 0 else "went on"),
                     run.text())
            print("ok: %s: a whole report, exit code %d" % (what, code))
    # The Qt mode under a real X server: the toolkit's connection and the reporter's heap share the limit. (With the
    # slot in a worker thread, xcb runs can still hang on the loader's lock, which is mended elsewhere.)
    x = Xvfb()
    try:
        for arguments in (["qt-slot"],):
            what = "ulimit -v 3000000, xcb, %s" % " ".join(arguments)
            saved = tempfile.mktemp(prefix="hostile-", suffix=".txt")
            run = Run([a.crashtest] + arguments + ["--no-box", "--file", saved],
                      environment(x.display, "xcb"), limit_kib=3000000)
            expect_code(run.finish(), 0, what, run.text())
            if "continued\n" not in run.text():
                fail("%s: the program did not go on after the slot's exception" % what, run.text())
            with open(saved, "rb") as stream:
                report = stream.read().decode("utf-8").rstrip("\r\n")
            os.remove(saved)
            check_report(report, marks, what, "crash worker" if "--thread" in arguments else "main thread",
                         "SlotThrow", r"The slot failed\.", "std::runtime_error")
            print("ok: %s: a whole report in the report file" % what)
    finally:
        x.process.kill()
        x.process.wait()


# --- signals from another process -------------------------------------------------------------------------------

def waiting(a, marks):
    run = Run([a.crashtest, "wait", "--console"], environment())
    pid = int(run.wait_for(r"^waiting (\d+)$").group(1))
    if pid != run.pid:
        fail("the waiting process is not the one started", run.text())
    # The idle worker has named itself once it waits.
    for _ in range(200):
        if thread_named(pid, "idle worker"):
            break
        time.sleep(0.02)
    return run


def thread_named(pid, name):
    for tid in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/comm" % (pid, tid)) as stream:
                if stream.read().strip() == name:
                    return int(tid)
        except OSError:
            pass
    return None


def sent_signal_journey(a, marks):
    """A signal that this script sends is reported as sent, by this process and its command name: no fault address,
    no disassembly, and the process ends with 128 + the signal, whichever thread the signal came to. A signal the
    program raises itself (abort) is its own."""
    with open("/proc/self/comm") as stream:
        sender = "sent by process %d \\(%s\\)" % (os.getpid(), re.escape(stream.read().strip()))
    libc = ctypes.CDLL(None, use_errno=True)

    def kill(pid):
        os.kill(pid, signal.SIGSEGV)

    def queue(pid):
        if libc.sigqueue(pid, signal.SIGBUS, ctypes.c_void_p(0)) != 0:
            fail("sigqueue failed: errno %d" % ctypes.get_errno())

    def tgkill(pid):
        worker = thread_named(pid, "idle worker")
        if worker is None:
            fail("the idle worker was not found")
        if libc.syscall(234, pid, worker, signal.SIGILL) != 0:  # SYS_tgkill on x86-64
            fail("tgkill failed: errno %d" % ctypes.get_errno())

    cases = [
        ("kill SIGSEGV", kill, signal.SIGSEGV, r"Signal SIGSEGV \(Segmentation fault\) " + sender + r"\.",
         "main thread", "Wait", "StartWait"),
        ("sigqueue SIGBUS", queue, signal.SIGBUS, r"Signal SIGBUS \(Bus error\) " + sender + r"\.",
         "main thread", "Wait", "StartWait"),
        ("tgkill SIGILL to a worker", tgkill, signal.SIGILL,
         r"Signal SIGILL \(Illegal instruction\) " + sender + r"\.", "idle worker", "IdleWorker", None),
    ]
    for what, send, number, message, failing, marker, origin in cases:
        run = waiting(a, marks)
        send(run.pid)
        expect_code(run.finish(), cj.FAULT + number, what, run.text())
        if "continued\n" in run.text():
            fail("%s: the program went on after a signal meant to end it" % what, run.text())
        report = one_report(run.text(), what)
        if "Access violation" in report:
            fail("%s: a sent signal is reported as an access violation" % what, report)
        threads = check_report(report, marks, what, failing, None, message, disassembly=False)
        # The trace starts where the thread stood (inside the C library), and reaches the program's own wait.
        ours = program_lines(threads[0][1])
        if not OPTIMISED and not any(int(m.group(4)) == marks[marker] for m in ours):
            fail("%s: the trace does not show where the thread waited (line %d)" % (what, marks[marker]), report)
        if not OPTIMISED and origin and not any(int(m.group(4)) == marks[origin] for m in ours):
            fail("%s: the trace does not reach line %d" % (what, marks[origin]), report)
        no_blocks_of(run.pid, what)
        print("ok: %s: reported as sent, exit code %d" % (what, cj.FAULT + number))
    # abort() is the program's own signal: named so, with the place it was raised disassembled.
    run = Run([a.crashtest, "abort", "--thread", "--console"], environment())
    expect_code(run.finish(), 0, "abort in a worker", run.text())
    check_report(one_report(run.text(), "abort"), marks, "abort in a worker", "crash worker", None,
                 r"Signal SIGABRT \(Aborted\) raised by the program itself\.", disassembly=True, origin="Abort")
    print("ok: abort() is the program's own signal")


# --- shared memory ----------------------------------------------------------------------------------------------

def shm_path(prefix, pid):
    return os.path.join(SHM, "%s$%x" % (prefix, pid))


def plant(path, content, owner=None, mode=0o600):
    with open(path, "wb") as stream:
        stream.write(content)
    if owner is not None:
        os.chown(path, owner, owner)
    os.chmod(path, mode)


def unused_pid():
    with open("/proc/sys/kernel/pid_max") as stream:
        pid = int(stream.read()) - 1
    while os.path.exists("/proc/%d" % pid):
        pid -= 1
    return pid


def shared_memory_journey(a, marks):
    """A process killed with SIGKILL leaves its thread registry behind; the next start removes it and a restart
    hand-over nobody read, but neither a running process's block nor another user's. The blocks are this user's
    alone (mode 0600). A process whose own names another user holds refuses those blocks and still reports
    whole, with its threads named."""
    root = os.geteuid() == 0
    alive = waiting(a, marks)
    # Every process of ours that starts removes the blocks of processes that are gone, as the start below should:
    # one of another journey running beside this one (or of another suite) may come first, between the kill and the
    # look. A block gone at once is so tried again with another process; only a kill that never leaves it fails.
    for attempt in range(5):
        killed = waiting(a, marks)
        own = shm_path("KroExceptThreadNameBuf", killed.pid)
        status = os.stat(own)
        if status.st_mode & 0o777 != 0o600 or status.st_uid != os.geteuid():
            fail("the registry block is not the user's alone: mode %o, owner %d" % (status.st_mode & 0o777,
                                                                                    status.st_uid))
        os.kill(killed.pid, signal.SIGKILL)
        killed.process.wait()
        if os.path.exists(own):
            break
        print("note: the block of killed process %d was gone at once (another start came first); again" %
              killed.pid)
    else:
        fail("SIGKILL should have left the registry block (nothing ran to remove it), in %d tries" % (attempt + 1))
    stale_handover = shm_path("KroExceptRestart", killed.pid)
    plant(stale_handover, struct.pack("<iI10q", 1, 0, *([0] * 10)))
    foreign_stale = shm_path("KroExceptThreadNameBuf", unused_pid())
    # Blocks of another user under the new process's own names: a registry open to all, a hand-over with a history.
    foreign = []
    history = [int(time.time()) + 11644473600 - second for second in (1, 2, 3)] + [0] * 7

    def lay(pid):
        if not root:
            return
        plant(foreign_stale, b"\x5a" * 120, NOBODY, 0o644)
        for path, content in ((shm_path("KroExceptThreadNameBuf", pid), b"\x5a" * 4096),
                              (shm_path("KroExceptRestart", pid), struct.pack("<iI10q", killed.pid, 7, *history))):
            plant(path, content, NOBODY, 0o666)
            foreign.append((path, content))

    env = dict(environment(), KROEXCEPT_RESTART_OF=str(killed.pid))
    run = PlantedRun([a.crashtest, "wait", "--console", "--history"], env, lay)
    started = run.wait_for(r"^started (\d+) history (\d+) after (-?\d+) (\w+)$")
    run.wait_for(r"^waiting \d+$")
    for path in (own, stale_handover):
        if os.path.exists(path):
            fail("the start did not remove %s, left by a process that is gone" % path)
    if not os.path.exists(shm_path("KroExceptThreadNameBuf", alive.pid)):
        fail("the start removed the block of a process that still runs")
    if root:
        if not os.path.exists(foreign_stale) or os.stat(foreign_stale).st_uid != NOBODY:
            fail("the start removed another user's block")
        if int(started.group(2)) != 0:
            fail("the process took over another user's hand-over (history %s)" % started.group(2), run.text())
    os.kill(run.pid, signal.SIGSEGV)
    expect_code(run.finish(), cj.FAULT + signal.SIGSEGV, "foreign blocks", run.text())
    report = one_report(re.sub(r"^(started|waiting) .*\n", "", run.text(), flags=re.M), "foreign blocks")
    threads = check_report(report, marks, "foreign blocks", "main thread", None,
                           r"Signal SIGSEGV \(Segmentation fault\) sent by process \d+ \(.*\)\.", disassembly=False)
    main_title = "main thread ($%x)" % run.pid
    idle = [t for t in threads if t[0].startswith("idle worker ($")]
    if threads[0][0] != main_title or len(idle) != 1:
        fail("the threads are not named without the registry's block", report)
    cj.check_creator(idle[0][0], idle[0][1], main_title, marks["StartIdle"], report)
    for path, content in foreign:
        with open(path, "rb") as stream:
            if stream.read() != content or os.stat(path).st_uid != NOBODY:
                fail("another user's block was changed: %s" % path)
        os.remove(path)
    if root:
        os.remove(foreign_stale)
    os.kill(alive.pid, signal.SIGSEGV)
    expect_code(alive.finish(), cj.FAULT + signal.SIGSEGV, "the process left running", alive.text())
    for pid in (killed.pid, alive.pid, run.pid):
        no_blocks_of(pid, "after the journey")
    sandbox = internal_error_without_shared_memory(a)
    print("ok: stale blocks removed, live and foreign ones kept, foreign names refused%s%s" %
          ("" if root else " (not the superuser: another user's blocks could not be made)", sandbox))


def internal_error_without_shared_memory(a):
    """In a sandbox whose shared-memory folder cannot be written the thread registry cannot be made: the reporter
    says so on the console and the program ends at once with the internal error's exit code, before it runs at all
    (no report, nothing of the program's). Returns a note for the journey's line."""
    namespace = ["unshare", "--mount", "--propagation", "private"]
    if os.geteuid() != 0:
        namespace[1:1] = ["--user", "--map-root-user"]
    probe = subprocess.run(namespace + ["mount", "-t", "tmpfs", "-o", "ro", "tmpfs", SHM],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if probe.returncode != 0:
        return "; no mount namespace here: the internal error was not tried"
    command = namespace + ["sh", "-c", 'mount -t tmpfs -o ro tmpfs %s && exec "$0" "$@"' % SHM,
                           a.crashtest, "null-read", "--console"]
    run = Run(command, environment())
    code = run.finish()
    expect_code(code, INTERNAL_ERROR, "a read-only shared-memory folder", run.text())
    if run.text() != "KroExcept: internal error (the thread registry cannot be created)\n":
        fail("a read-only shared-memory folder: the console does not show the internal error alone", run.text())
    return "; a read-only shared-memory folder ends the program with the internal error"


# --- the X server goes away -------------------------------------------------------------------------------------

def x_server_gone_journey(a, marks):
    """The X server is killed while the exception box shows, or just after the report is saved and before the box
    is up: the box counts as closed with its default button (close for the main thread's fault, continue for a
    worker's), the report file and the console output are whole, and the process ends with its code."""
    cases = [
        ("box shown, main thread", ["null-write"], "box", cj.FAULT + signal.SIGSEGV, "main thread", "offscreen"),
        ("box shown, worker thread", ["null-write", "--thread"], "box", 0, "crash worker", "offscreen"),
        ("before the box", ["null-write"], "file", cj.FAULT + signal.SIGSEGV, "main thread", "offscreen"),
        ("box shown, Qt under xcb", ["qt-slot"], "box", None, "main thread", "xcb"),
    ]
    for what, arguments, moment, code, failing, platform in cases:
        x = Xvfb()
        saved = tempfile.mktemp(prefix="hostile-", suffix=".txt")
        try:
            run = Run([a.crashtest] + arguments + ["--box", "--file", saved], environment(x.display, platform))
            if moment == "box":
                if x.wait_window(*BOX, timeout=60.0) is None:
                    fail("%s: the box did not appear" % what, run.text())
            else:
                deadline = time.time() + 60
                while not (os.path.exists(saved) and os.path.getsize(saved) > 0) and time.time() < deadline:
                    time.sleep(0.005)
            x.process.kill()
            x.process.wait()
            ended = run.finish(timeout=30)
        finally:
            if x.process.poll() is None:
                x.process.kill()
        text = run.text()
        if code is not None:
            expect_code(ended, code, what, text)
            if (code == 0) != ("continued\n" in text):
                fail("%s: the program %s" % (what, "did not go on" if code == 0 else "went on"), text)
        with open(saved, "rb") as stream:
            report = stream.read().decode("utf-8")
        os.remove(saved)
        if not report.endswith("\r\n\r\n"):
            fail("%s: the report file is not whole" % what, report)
        report = report[:-4]
        marker = "SlotThrow" if "qt-slot" in arguments else "NullWrite"
        message = r"The slot failed\." if "qt-slot" in arguments else WRITE_NULL
        check_report(report, marks, what, failing, marker, message,
                     "std::runtime_error" if "qt-slot" in arguments else "KroException")
        if ERROR_TEXT + "\n\n" + report not in text:
            fail("%s: the console does not carry the box's text and the whole report" % what, text)
        no_blocks_of(run.pid, what)
        print("ok: %s: report file and console whole, exit code %s" % (what, ended))


# --- fork, atexit, a static destructor --------------------------------------------------------------------------

def fork_and_exit_journey(a, marks):
    """A child of fork that ends normally leaves its parent's reporter whole; a child that crashes gets its own
    complete report (its forking thread is its main thread) and so does the parent's crash afterwards. A fault in a
    function that atexit() runs, and one in a static object's destructor, are reported whole after the program's
    normal end."""
    run = Run([a.crashtest, "fork", "--console"], environment())
    expect_code(run.finish(), cj.FAULT + signal.SIGSEGV, "fork", run.text())
    text = run.text()
    children = re.findall(r"^child (\d+) ended (\d+)$", text, re.M)
    if [int(code) for _, code in children] != [0, cj.FAULT + signal.SIGSEGV]:
        fail("the children did not end with 0 and 139: %s" % children, text)
    reports = cj.reports_of(re.sub(r"^child .*\n", "", text, flags=re.M), ERROR_TEXT)
    if len(reports) != 2:
        fail("%d reports, not the child's and the parent's" % len(reports), text)
    child = int(children[1][0])
    threads = check_report(reports[0], marks, "the child's crash", "main thread", "NullWrite", WRITE_NULL,
                           origin="ChildCrash")
    if threads[0][0] != "main thread ($%x)" % child:
        fail("the child's report is not about the child's main thread", reports[0])
    threads = check_report(reports[1], marks, "the parent's crash", "main thread", "NullRead", READ_NULL,
                           origin="AfterFork")
    main_title = "main thread ($%x)" % run.pid
    idle = [t for t in threads if t[0].startswith("idle worker ($")]
    if threads[0][0] != main_title or len(idle) != 1:
        fail("the parent's registry did not survive its children", reports[1])
    cj.check_creator(idle[0][0], idle[0][1], main_title, marks["StartIdle"], reports[1])
    for pid in [run.pid] + [int(p) for p, _ in children]:
        no_blocks_of(pid, "fork")
    print("ok: fork: the child's and the parent's reports whole, exit codes 0, 139 and 139")

    for mode, marker in (("atexit", "AtExit"), ("destructor", "Destructor")):
        run = Run([a.crashtest, mode, "--console"], environment())
        expect_code(run.finish(), cj.FAULT + signal.SIGSEGV, mode, run.text())
        if not run.text().startswith("continued\n"):
            fail("%s: the program did not reach its end before the fault" % mode, run.text())
        check_report(one_report(run.text(), mode), marks, mode, "main thread", marker, WRITE_NULL)
        no_blocks_of(run.pid, mode)
        print("ok: %s: a fault after the program's end is reported whole, exit code 139" % mode)


JOURNEYS = {
    "memory-limit": memory_limit_journey,
    "sent-signal": sent_signal_journey,
    "shared-memory": shared_memory_journey,
    "x-server-gone": x_server_gone_journey,
    "fork-and-exit": fork_and_exit_journey,
}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("journey", choices=sorted(JOURNEYS))
    parser.add_argument("--crashtest", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("--optimised", action="store_true", help="crashtest is an optimised build")
    arguments = parser.parse_args()
    global OPTIMISED
    OPTIMISED = arguments.optimised
    JOURNEYS[arguments.journey](arguments, cj.markers(arguments.source))


if __name__ == "__main__":
    main()
