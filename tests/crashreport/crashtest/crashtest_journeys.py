#!/usr/bin/env python3
"""Runs crashtest in one crash mode, in the main thread or a worker thread, with console output, and checks the bug
report it writes: the header's labels in order, the exception class and message, every thread with its title and
creator, the crashing function first with its unit and the line its "crash-mark" comment marks, the modules and the
disassembly with the faulting instruction marked. A report that does not come within the time limit has hung."""

import argparse
import os
import re
import signal
import subprocess
import sys
import tempfile
import time

HEADER_LABELS = ["date/time         : ", "computer name     : ", "user name         : ", "operating system  : ",
                 "system language   : ", "system up time    : ", "physical memory   : ", "free disk space   : ",
                 "process id        : ", "command line      : ", "executable        : ", "exec. date/time   : ",
                 "version           : ", "KroExcept version : ", "exception class   : ", "exception message : "]
REQUIRED_LABELS = {"date/time         : ", "computer name     : ", "user name         : ", "operating system  : ",
                   "physical memory   : ", "free disk space   : ", "process id        : ", "command line      : ",
                   "executable        : ", "KroExcept version : "}
ERROR_TEXT = "An error occurred in the application. Please mail the bug report."
TRACE_LINE = re.compile(r"^([0-9a-f]+) (\S+)\s+(\S+)\s+(\d+) (.*)$")

# mode: (class, message or a pattern, marker of the crashing line, exit code in the main thread, in a worker)
FAULT = 128
UNCAUGHT_EXCEPTION = 70
MODES = {
    "null-read": ("KroException", r"Access violation at address \$[0-9A-F]+ in module 'crashtest'\. Read of address \$0\.",
                  "NullRead", FAULT + signal.SIGSEGV, 0),
    "null-write": ("KroException",
                   r"Access violation at address \$[0-9A-F]+ in module 'crashtest'\. Write of address \$0\.",
                   "NullWrite", FAULT + signal.SIGSEGV, 0),
    "divide": ("KroException", r"Division by zero\.", "Divide", FAULT + signal.SIGFPE, 0),
    "illegal": ("KroException", r"Illegal instruction \(SIGILL\)\.", "Illegal", FAULT + signal.SIGILL, 0),
    "breakpoint": ("KroException", r"Trace/breakpoint trap \(SIGTRAP\)\.", "Breakpoint", FAULT + signal.SIGTRAP, 0),
    # abort() sends the signal to its own thread: the program's own, not another process's.
    "abort": ("KroException", r"Signal SIGABRT \(Aborted\) raised by the program itself\.", "Abort",
              FAULT + signal.SIGABRT, 0),
    # An exception nobody caught ends the process with the reporter's fixed code for it.
    "throw": ("std::runtime_error", r"Nobody catches this\.", "Throw", UNCAUGHT_EXCEPTION, 0),
    "thread-routine": ("std::runtime_error", r"The thread's routine failed\.", "RoutineThrow", 0, 0),
    "qt-slot": ("std::runtime_error", r"The slot failed\.", "SlotThrow", 0, 0),
    "stack-overflow": ("KroException", r"Stack overflow\.", "Recurse", FAULT + signal.SIGSEGV, 0),
    "lock": ("KroException",
             r"Access violation at address \$[0-9A-F]+ in module 'crashtest'\. Write of address \$0\.",
             "NullWrite", FAULT + signal.SIGSEGV, 0),
    "reporter": ("KroException",
                 r"Access violation at address \$[0-9A-F]+ in module 'crashtest'\. Write of address \$0\.",
                 "FaultInReporter", FAULT + signal.SIGSEGV, 0),
    "trace": (None, None, "Trace", 0, 0),
    "two-threads": ("KroException",
                    r"Access violation at address \$[0-9A-F]+ in module 'crashtest'\. Write of address \$0\.",
                    "NullWrite", 0, 0),
    "freeze": (None, None, "Freeze", 0, 0),
    "mail": (None, None, "NullWrite", 0, 0),
    "three-faults": (None, None, "NullWrite", 0, 0),
    "qt-x11": (None, None, "SlotThrow", 0, 0),
}
FROZEN_TEXT = "The application seems to be frozen."
UNPAUSABLE = "- ??? (the thread could not be paused)"
CREATOR_UNKNOWN = ">> creator unknown"
FAULTERS = ("faulter one", "faulter two", "faulter three")


def fail(message, output=""):
    sys.stderr.write("FAILED: " + message + "\n")
    if output:
        sys.stderr.write("--- output ---\n" + output + "\n")
    sys.exit(1)


def markers(source):
    found = {}
    with open(source, encoding="utf-8") as stream:
        for number, line in enumerate(stream, 1):
            match = re.search(r"crash-mark: (\w+)", line)
            if match:
                found[match.group(1)] = number
    return found


def sections(report):
    """The thread sections: (title, trace lines) in order, from the text between the exception lines and
    "modules:"."""
    body = report.split("\r\n\r\nmodules:")[0]
    parts = body.split("\r\n\r\n")[1:]
    result = []
    for part in parts:
        # A section whose stack could not be read ends with a line end of its own.
        lines = part.strip("\r\n").split("\r\n")
        if not lines[0].endswith(":"):
            fail("a thread section does not start with its title: " + lines[0], report)
        result.append((lines[0][:-1], lines[1:]))
    return result


def check_creator(title, lines, creator_title, creator_line, report):
    """The section ends with ">> created by CREATOR at:" and the creator's line in crashtest."""
    if len(lines) < 2 or lines[-2] != ">> created by " + creator_title + " at:":
        fail("thread '%s' does not name its creator %s" % (title, creator_title), report)
    match = TRACE_LINE.match(lines[-1])
    if not match or match.group(3) != "crashtest" or int(match.group(4)) != creator_line:
        fail("thread '%s' was not created at crashtest line %d: %s" % (title, creator_line, lines[-1]), report)


def has_line(lines, line):
    """Whether a trace (before its creator, if any) lists crashtest at that line."""
    own = lines[:-2] if len(lines) >= 2 and lines[-2].startswith(">> created by ") else lines
    return any(m and m.group(2) == "crashtest" and m.group(3) == "crashtest" and int(m.group(4)) == line
               for m in (TRACE_LINE.match(entry) for entry in own))


def check_heap_worker(lines, marks, report):
    """The heap worker stands wherever it was paused, mostly inside the allocator: its own function is listed, and
    when the pause came inside the C library, the worker's line that frees or allocates called it, through the
    program's interposed allocator where that keeps a frame (optimised, it passes the call on by a jump and keeps
    none)."""
    lines = [line for i, line in enumerate(lines[:-2]) if i not in inlined_lines(lines[:-2])]
    modules = [line.split()[1] for line in lines]
    path = [TRACE_LINE.match(line) for line in lines]
    worker = next((i for i, m in enumerate(path) if m and m.group(5) == "CrashTest::HeapWorker()"), None)
    if worker is None:
        fail("the heap worker's trace lost the worker's own function", report)
    if "libc.so.6" in modules[:worker]:
        below = worker - 1
        if below >= 0 and path[below] and path[below].group(3) == "KroInterposeHeap":
            below -= 1
        if below < 0 or modules[below] != "libc.so.6":
            fail("the heap worker's trace has other frames between the C library's allocator and the worker", report)
        if int(path[worker].group(4)) not in (marks["HeapFree"], marks["HeapWorker"]):
            fail("the heap worker's allocator call is not at crashtest lines %d-%d" %
                 (marks["HeapFree"], marks["HeapWorker"]), report)


def inlined_lines(lines):
    """The positions of the lines that list a function inlined where the next line's function stands: they share
    its address."""
    addresses = [line.split(" ", 1)[0] for line in lines]
    return {i for i in range(len(lines) - 1)
            if re.fullmatch(r"[0-9a-f]+", addresses[i]) and addresses[i] == addresses[i + 1]}


def check_inlined_frames(crashtest, report):
    """Every address of the program in the report is listed as addr2line -f -C -i lists it: each inlined function
    (innermost first, with the unit and line where the address stands in it), then the function they were inlined
    into, at the line of the outermost inlined call."""
    base = re.search(r"\r\n([0-9a-f]{16}) crashtest\s", report)
    if not base:
        fail("the program is not among the modules", report)
    groups = []
    for _, trace in sections(report):
        previous = None
        for line in trace:
            fields = line.split()
            if len(fields) < 2 or fields[1] != "crashtest" or not re.fullmatch(r"[0-9a-f]+", fields[0]):
                previous = None
                continue
            match = TRACE_LINE.match(line)
            # A line of the program without unit or line number says nothing to compare.
            frame = (match.group(5), match.group(3), match.group(4)) if match else None
            if previous == fields[0]:
                groups[-1][1].append(frame)
            else:
                groups.append((int(fields[0], 16) - int(base.group(1), 16), [frame]))
            previous = fields[0]
    groups = [(address, frames) for address, frames in groups if None not in frames]
    text = subprocess.run(["addr2line", "-f", "-C", "-i", "-a", "-e", crashtest], capture_output=True, text=True,
                          input="".join("%x\n" % address for address, _ in groups)).stdout.splitlines()
    wanted = {}
    i = 0
    while i < len(text):
        if re.fullmatch(r"0x[0-9a-f]+", text[i]):
            current = int(text[i], 16)
            wanted[current] = []
            i += 1
            continue
        location = re.match(r"(.*):(\?|\d+)", text[i + 1]) if i + 1 < len(text) else None
        unit = os.path.splitext(os.path.basename(location.group(1)))[0] if location else "??"
        line = location.group(2) if location and location.group(2) not in ("?", "0") else None
        wanted[current].append((text[i], None if unit == "??" else unit, line))
        i += 2
    for address, frames in groups:
        expected = wanted.get(address, [])
        listed = [(unit, line) for _, unit, line in frames]
        if expected and len(expected) == len(frames) and listed[0][1] == expected[0][2]:
            # binutils 2.40 reads a DWARF 5 line row that relies on the default file (file 1) as file 0, the unit's
            # own source: where the first frame stands (the row's own line) it may name that file with the right
            # line.
            listed[0] = (expected[0][1], listed[0][1])
        if listed != [(unit, line) for _, unit, line in expected]:
            fail("the program's address %x is listed as %s, addr2line -i gives %s" % (address, frames, expected),
                 report)
        for (function, _, _), (want, _, _) in zip(frames[:-1], expected[:-1]):
            # A function that DWARF knows only by its plain name is named in its namespaces and classes, as gdb
            # names it; addr2line gives the plain name, or the name of the symbol that holds the address (as the
            # outermost line does).
            plain = function == want or function.endswith("::" + want)
            if not plain and want.split(" [clone")[0] not in frames[-1][0]:
                fail("the program's address %x lists the inlined function %r, addr2line %r" % (address, function, want),
                     report)


def run_crashtest(command, timeout=60):
    environment = dict(os.environ, QT_QPA_PLATFORM="offscreen", LC_ALL="C")
    environment.pop("DISPLAY", None)
    try:
        run = subprocess.run(command, capture_output=True, timeout=timeout, env=environment)
    except subprocess.TimeoutExpired as timeout_error:
        fail("crashtest did not finish within %d s (a report hung)" % timeout,
             (timeout_error.stdout or b"").decode("utf-8", "replace"))
    return run.returncode, run.stdout.decode("utf-8"), run.stderr.decode("utf-8", "replace")


def reports_of(output, box_text):
    """The reports in crashtest's console output: each follows the box's text and an empty line."""
    pieces = output.split(box_text + "\n\n")[1:]
    return [re.sub(r"(continued|thread result -?\d+)\n", "", piece).rstrip("\n") for piece in pieces]


def first_trace_line(lines, module):
    for line in lines:
        match = TRACE_LINE.match(line)
        if match and match.group(2) == module:
            return match
    return None


def two_threads_journey(arguments, marks):
    """Two worker threads fault at the same moment: two whole reports, one after the other, and the program goes
    on."""
    code, output, errors = run_crashtest([arguments.crashtest, "two-threads", "--console"])
    if code != 0 or "continued\n" not in output:
        fail("the program did not go on after both reports (exit code %d)" % code, output + errors)
    reports = reports_of(output, ERROR_TEXT)
    if len(reports) != 2:
        fail("%d reports, not two" % len(reports), output)
    failing = []
    for report in reports:
        threads = sections(report)
        title, trace = threads[0]
        if not re.fullmatch(r"(first|second) faulter \(\$[0-9a-f]+\)", title):
            fail("a report does not start with a faulting thread: " + title, report)
        match = first_trace_line(trace, "crashtest")
        if not match or int(match.group(4)) != marks["NullWrite"]:
            fail("the failing thread's trace does not start at NullWrite", report)
        if "\r\n\r\ndisassembling:\r\n" not in report:
            fail("a report has no disassembly", report)
        failing.append(title)
    if failing[0] == failing[1]:
        fail("both reports are about the same thread: " + failing[0], output)
    print("crashtest two-threads: two reports, one after the other")


def freeze_journey(arguments, marks):
    """The main thread's event loop stops answering for 2.5 s: with the watchdog on it is reported as frozen, with
    its trace at the place it hangs, and the program goes on; with the built-in settings nothing is reported."""
    code, output, errors = run_crashtest([arguments.crashtest, "freeze", "--console"])
    if code != 0 or "continued\n" not in output:
        fail("the frozen program did not go on (exit code %d)" % code, output + errors)
    reports = reports_of(output, FROZEN_TEXT)
    if arguments.no_watchdog:
        if reports or ERROR_TEXT in output:
            fail("the built-in settings report a frozen main thread", output)
        print("crashtest freeze: no watchdog with the built-in settings")
        return
    if not reports:
        fail("the frozen main thread was not reported", output + errors)
    module = os.path.basename(arguments.crashtest)
    at_freeze = 0
    for report in reports:
        if "exception message : %s\r\n" % FROZEN_TEXT not in report:
            fail("the report is not a frozen one", report)
        process_id = int(re.search(r"process id        : \$([0-9a-f]+)", report).group(1), 16)
        threads = sections(report)
        if threads[0][0] != "main thread ($%x)" % process_id:
            fail("a frozen report does not start with the main thread", report)
        # A start-up slowed down by a loaded machine may count as frozen too; one report shows the hang itself.
        if any(m.group(2) == module and int(m.group(4)) == marks["Freeze"]
               for m in (TRACE_LINE.match(line) for line in threads[0][1]) if m):
            at_freeze += 1
    if at_freeze == 0:
        fail("no report's main thread trace shows where it hangs (line %d)" % marks["Freeze"], output)
    print("crashtest freeze: reported as frozen, %d report(s)" % len(reports))


def mail_journey(arguments, marks):
    """A crash whose report is saved and then mailed silently to the loopback mail exchanger: the envelope, the
    headers, the body (the report) and the attached report file byte for byte; the file goes with the mail. With
    --login the mail goes through the configured server instead, which demands AUTH LOGIN."""
    server = "auth" if arguments.login else "plain"
    outdir = tempfile.mkdtemp(prefix="crashtest-mail-")
    peers = subprocess.Popen([sys.executable, arguments.mailpeers, outdir], stdin=subprocess.PIPE,
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    try:
        ports = {}
        for _ in range(20):
            line = peers.stdout.readline().decode().split()
            if not line or line[0] == "ready":
                break
            ports[line[0] if line[0] == "dns" else line[1]] = int(line[-1])
        if "dns" not in ports or server not in ports:
            fail("the loopback mail peers did not start")
        report_file = os.path.join(outdir, "crash-report.txt")
        way = (["--mail-login", str(ports[server]), "reporter", "s3cret"] if arguments.login else
               ["--mail", str(ports["dns"]), str(ports[server])])
        code, output, errors = run_crashtest([arguments.crashtest, "null-write", "--thread", "--console", "--file",
                                              report_file, "--automail"] + way)
    finally:
        peers.stdin.close()
        peers.wait(timeout=10)
    if code != 0 or "continued\n" not in output:
        fail("the program did not go on after mailing (exit code %d)" % code, output + errors)
    reports = reports_of(output, ERROR_TEXT)
    if len(reports) != 1:
        fail("%d reports, not one" % len(reports), output)
    report = reports[0]

    def peer_file(name):
        with open(os.path.join(outdir, name), "rb") as stream:
            return stream.read()
    try:
        log = peer_file(server + "-1.log").decode().splitlines()
        mail = peer_file(server + "-1.eml")
        body = peer_file(server + "-1.body")
        attachment = peer_file(server + "-1.attachment")
    except OSError as error:
        fail("the mail did not arrive whole: %s" % error, output)
    if arguments.login:
        if log[1:4] != ["C: AUTH LOGIN", "U: reporter", "P: s3cret"]:
            fail("the reporter did not log in with the settings' account: %s" % log)
        log = log[:1] + log[4:]
    if log[1:4] != ["C: MAIL FROM:<bugs@crashtest.example>", "C: RCPT TO:<bugs@crashtest.example>", "C: DATA"]:
        fail("the envelope is not the settings' recipient: %s" % log)
    head = mail.split(b"\r\n\r\n")[0].decode()
    for line in ("TO: <bugs@crashtest.example>", "FROM: KroExcept <bugs@crashtest.example>",
                 "Content-Type: multipart/mixed; boundary=\"CrashReport SMTP Boundary\""):
        if line not in head.split("\r\n"):
            fail("header missing: " + line, head)
    subject = "SUBJECT: =?ISO-8859-1?Q?Pyx=20Pregame=20Editor=200=2E10=20Alpha=204=20Bug=20Report?="
    if subject not in head.split("\r\n"):
        fail("the subject is not the settings' one, encoded", head)
    # The report is UTF-8 (a middle dot in the memory line, a guillemet in the listing): the text part says so, and
    # travels in quoted-printable, which the loopback server decodes strictly (hard line breaks as CR LF).
    text_part = mail.split(b"--CrashReport SMTP Boundary\r\n")[1].split(b"\r\n\r\n")[0].decode().split("\r\n")
    if text_part != ["Content-Type: text/plain; charset=UTF-8", "Content-Transfer-Encoding: quoted-printable"]:
        fail("the text part does not declare UTF-8 in quoted-printable: %s" % text_part, head)
    if any(byte > 126 for byte in mail):
        fail("the mail holds bytes beyond 7-bit ASCII")
    if "\u00b7" not in report or "\u00bb" not in report:
        fail("the report has lost the characters beyond ASCII the text part must carry", report)
    if body.decode("utf-8") != report:
        fail("the mail's text is not the report: %r" % body[:200])
    if attachment.decode("utf-8") != report + "\r\n\r\n":
        fail("the attachment is not the saved report file byte for byte")
    if os.path.exists(report_file):
        fail("the report file stayed after the mail that carried it")
    print("crashtest mail%s: the crash's report arrived with its file" % (" with login" if arguments.login else ""))


GDB_FRAME = re.compile(r"^GDBFRAME (\d+) \d+ (\w+) ([0-9a-f]+) (.*)$")
# Any line of a trace: the address, then the module, unit, line and function as far as known.
ANY_TRACE_LINE = re.compile(r"^([0-9a-f]+) (\S+)")
THROWING_MODES = {"throw", "qt-slot", "thread-routine"}


def gdb_journey(arguments, mode):
    """Runs crashtest under gdb, which stops at the fault (or, for an exception, at its throw) and prints the backtrace
    of every thread; then the program goes on and reports. Every real frame of gdb's backtrace of the failing thread
    (not inlined code, not a call gdb reconstructs where a tail jump left no frame) appears in the failing thread's
    trace in the same order, and the trace lists nothing else: the fault stands where gdb's innermost frame stands,
    the throw's call and every caller's call return where gdb's frames resume."""
    frames_script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "trace", "gdb_frames.py")
    # gdb needs SIGTRAP for itself (to start the program, and at the throw's catchpoint), and stops at the program's
    # own as well; only the program's own breakpoint goes on to the program.
    faults = "SIGSEGV SIGFPE SIGILL SIGABRT SIGBUS"
    command = ["gdb", "-batch", "-nx", "-x", frames_script, "-ex", "set backtrace past-main on",
               "-ex", "handle all nostop noprint pass", "-ex", "handle %s stop print pass" % faults]
    if mode in THROWING_MODES:
        command += ["-ex", "catch throw"]
    command += ["-ex", "run", "-ex", "frames", "-ex", "delete", "-ex", "handle all nostop noprint pass",
                "-ex", "handle %s%s nostop noprint pass" % (faults, " SIGTRAP" if mode == "breakpoint" else ""),
                "-ex", "continue", "--args", arguments.crashtest, mode,
                "--console"] + (["--thread"] if arguments.thread else [])
    code, output, errors = run_crashtest(command, timeout=100)
    stop = re.search(r"^GDBSTOP (\d+)$", output, re.M)
    if not stop:
        fail("gdb did not stop at the crash", output + errors)
    thread = int(stop.group(1))
    gdb_frames = [m for m in (GDB_FRAME.match(line) for line in output.split("\n")) if m and int(m.group(1)) == thread]
    # The throw stops inside the throw routine (the reporter's and the C++ runtime's): the program's frames start at
    # the call of it.
    while mode in THROWING_MODES and gdb_frames and "__cxa_throw" in gdb_frames[0].group(4):
        gdb_frames.pop(0)
    real = []
    real_inlined = []  # the functions gdb lists as inlined where each real frame stands, innermost first
    inlined = []
    interrupted = mode not in THROWING_MODES
    for frame in gdb_frames:
        kind = frame.group(2)
        if kind == "sigtramp":
            interrupted = True
        if kind == "inline":
            inlined.append(frame.group(4))
        if kind in ("inline", "tailcall", "sigtramp"):
            continue
        real.append((int(frame.group(3), 16), frame.group(4), interrupted))
        real_inlined.append(inlined)
        inlined = []
        interrupted = False
    report_start = output.find(ERROR_TEXT + "\n\n")
    if report_start < 0 or not real:
        fail("no report, or no frame in gdb's backtrace", output + errors)
    report = output[report_start + len(ERROR_TEXT) + 2:]
    trace = sections(report)[0][1]
    if len(trace) >= 2 and trace[-2].startswith(">> created by "):
        trace = trace[:-2]
    # A function inlined where the next line's function stands shares its address and precedes it.
    lines = [m for m in (ANY_TRACE_LINE.match(line) for line in trace) if m]
    inlined_at = inlined_lines([m.string for m in lines])
    traced = [m for i, m in enumerate(lines) if i not in inlined_at]
    traced_inlined = []
    pending = []
    for i, m in enumerate(lines):
        if i in inlined_at:
            pending.append(m.string)
        else:
            traced_inlined.append(pending)
            pending = []
    listing = "gdb:\n" + "\n".join("".join("    (inlined) %s\n" % name for name in names) +
                                    "  %x%s %s" % (pc, " (exact)" if exact else "", name)
                                    for (pc, name, exact), names in zip(real, real_inlined))
    listing += "\ntrace:\n" + "\n".join("  " + m.string for m in lines)
    if len(traced) != len(real):
        fail("the failing thread's trace has %d frames, gdb's backtrace %d" % (len(traced), len(real)), listing)
    for index, ((pc, name, exact), entry) in enumerate(zip(real, traced)):
        address = int(entry.group(1), 16)
        # A breakpoint is reported at its instruction; gdb stands after it, where the processor stopped.
        if index == 0 and mode == "breakpoint":
            address += 1
        if (address != pc) if exact else not (address < pc <= address + 15):
            fail("frame %d is not gdb's %s at %x: %s" % (index, name, pc, entry.string), listing)
        # The functions inlined there, as many as gdb lists and in its order, each named as gdb names it (gdb
        # leaves out the parameters). gdb knows those of libraries with debug information, the trace names a
        # library's frames by its exports alone; and at a breakpoint gdb stands after the instruction.
        ours, gdbs = traced_inlined[index], real_inlined[index]
        if entry.group(2) != os.path.basename(arguments.crashtest) or (index == 0 and mode == "breakpoint"):
            continue
        if len(ours) != len(gdbs) or any(want not in line for line, want in zip(ours, gdbs)):
            fail("frame %d does not list the functions inlined there as gdb does" % index, listing)
    print("crashtest %s%s under gdb: %d frames, as gdb shows them" %
          (mode, " in a worker thread" if arguments.thread else "", len(real)))


def creators_are_the_programs(threads, module, report, what):
    """Every thread's creator is a call of the program's own code: never the reporter's (a value left on the stack by
    its interposed allocator), never the C++ library's (a std::thread constructor)."""
    for title, lines in threads:
        own = [i for i, line in enumerate(lines) if line.startswith(">> created by ")]
        for index in own:
            match = TRACE_LINE.match(lines[index + 1]) if index + 1 < len(lines) else None
            if not match or match.group(2) != module or match.group(3).startswith("Kro") or \
                    match.group(5).startswith(("std::", "void std::")):
                fail("%s: thread '%s' names a creator outside the program's own code: %s" %
                     (what, title, lines[index + 1] if index + 1 < len(lines) else "(none)"), report)


def start_crashtest(command, environment):
    return subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, env=environment)


def kill_left(processes):
    """Ends the runs still going when a journey stops early (a failure), so that none outlives the test."""
    for process in processes:
        if process.poll() is None:
            process.kill()
            process.wait()


def finish_crashtest(process, timeout, what):
    try:
        output, _ = process.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        output, _ = process.communicate()
        fail("%s did not finish within %d s (a report hung)" % (what, timeout), output.decode("utf-8", "replace"))
    return process.returncode, output.decode("utf-8", "replace")


def three_faults_journey(arguments, marks):
    """Three worker threads fault at the same moment while two threads that a library's constructor started before
    the reporter stand by (one named, one not), once with a thread that blocks every signal standing by too: three
    reports, one after the other. In each, the failing thread comes first with its creator's line; the faulters still
    waiting for their own reports are shown where they faulted, those already reported (and ended) are gone; the early
    threads carry the names the system keeps for them and an unknown creator; every creator is a call of the program's
    own code. The thread that blocks every signal is named as not paused and costs each report well under half a
    second. Then a report whose listing step waits for good on a lock that a paused thread holds: the failing thread
    stops waiting for the exception thread and reports by itself."""
    module = os.path.basename(arguments.crashtest)
    environment = dict(os.environ, QT_QPA_PLATFORM="offscreen", LC_ALL="C")
    environment.pop("DISPLAY", None)

    def run_both():
        # Both at once, so that a loaded machine slows both alike.
        runs = {mode: start_crashtest([arguments.crashtest, mode, "--console"], environment)
                for mode in ("three-faults", "deaf-faults")}
        outputs, took = {}, {}
        try:
            for mode, process in runs.items():
                code, output = finish_crashtest(process, 90, "crashtest " + mode)
                if code != 0 or "continued\n" not in output:
                    fail("%s: the program did not go on after the reports (exit code %d)" % (mode, code), output)
                outputs[mode] = output
                took[mode] = int(re.search(r"reports took (\d+) ms", output).group(1))
        finally:
            kill_left(runs.values())
        return outputs, (took["deaf-faults"] - took["three-faults"]) / 3.0

    outputs, cost = run_both()
    # The cost is measured again while it seems too high: a loaded machine makes one run slower than the other.
    for _ in range(2):
        if cost < 500:
            break
        cost = min(cost, run_both()[1])
    if cost >= 500:
        fail("a thread that blocks every signal costs each report %d ms" % cost)

    def check_reports(outputs):
        """Checks every report of both runs; the number of reports that show a faulter waiting where it faulted."""
        shown_anywhere = 0
        for mode, output in outputs.items():
            reports = reports_of(re.sub(r"reports took \d+ ms\n", "", output), ERROR_TEXT)
            if len(reports) != 3:
                fail("%s: %d reports, not three" % (mode, len(reports)), output)
            reported = []
            shown_where_faulted = 0
            for number, report in enumerate(reports, 1):
                what = "%s, report %d" % (mode, number)
                process_id = int(re.search(r"process id        : \$([0-9a-f]+)", report).group(1), 16)
                main_title = "main thread ($%x)" % process_id
                threads = sections(report)
                titles = [title for title, _ in threads]
                failing, trace = threads[0]
                name = re.sub(r" \(\$[0-9a-f]+\)$", "", failing)
                if name not in FAULTERS or name in reported:
                    fail("%s does not start with a faulter not reported before: %s" % (what, failing), report)
                match = first_trace_line(trace, module)
                if not match or int(match.group(4)) != marks["NullWrite"]:
                    fail("%s: the failing thread's trace does not start at NullWrite" % what, report)
                start = "StartFaulter" + name.split()[1].capitalize()
                check_creator(failing, trace, main_title, marks[start], report)
                reported.append(name)
                for faulter in FAULTERS:
                    listed = [t for t in threads[1:] if t[0].startswith(faulter + " ($")]
                    if faulter in reported and listed:
                        fail("%s lists %s, which had its report and ended" % (what, faulter), report)
                    if faulter not in reported:
                        # Waiting for its own report, it is shown where it faulted, never inside the reporter; a report
                        # that comes first may find it still on its way to the fault.
                        if len(listed) != 1:
                            fail("%s does not list %s, which waits for its report" % (what, faulter), report)
                        # (The reporter's thread wrapper, where every thread it saw created begins, is not its waiting.)
                        path = [m for m in (TRACE_LINE.match(line) for line in listed[0][1]) if m]
                        if any(m.group(3).startswith("Kro") and m.group(3) != "KroThreadHook" for m in path):
                            fail("%s shows %s inside the reporter" % (what, faulter), report)
                        waiting = first_trace_line(listed[0][1], module)
                        if waiting and waiting.group(3) == "crashtest" and int(waiting.group(4)) == marks["NullWrite"]:
                            shown_where_faulted += 1
                early = [t for t in threads if t[0].startswith("early named ($")]
                unnamed = [t for t in threads if t[0].startswith(module[:15] + " ($")]
                if len(early) != 1 or len(unnamed) != 1:
                    fail("%s does not list the early threads by the names the system keeps: %s" % (what, titles), report)
                for title, lines in early + unnamed:
                    if lines[-1] != CREATOR_UNKNOWN or any(line.startswith(">> created by") for line in lines):
                        fail("%s: the early thread '%s' does not say its creator is unknown" % (what, title), report)
                idle = [t for t in threads if t[0].startswith("idle worker ($")]
                if len(idle) != 1:
                    fail("%s does not list the idle worker" % what, report)
                check_creator(idle[0][0], idle[0][1], main_title, marks["StartIdle"], report)
                creators_are_the_programs(threads, module, report, what)
                deaf = [t for t in threads if t[0].startswith("deaf worker ($")]
                if mode == "deaf-faults" and (len(deaf) != 1 or deaf[0][1] != [UNPAUSABLE]):
                    fail("%s does not name the thread that blocks every signal as not paused" % what, report)
                if mode == "three-faults" and any(UNPAUSABLE in line for _, lines in threads for line in lines):
                    fail("%s names a thread as not paused" % what, report)
            shown_anywhere += shown_where_faulted
        return shown_anywhere


    # A faulter that a loaded machine keeps from reaching its fault before the reports that come first is paused on
    # its way in each: the runs are made again, a few times, before the missing sight counts as a failure.
    shown = check_reports(outputs)
    for _ in range(2):
        if shown:
            break
        shown = check_reports(run_both()[0])
    if shown == 0:
        fail("no report of three-faults or deaf-faults shows a faulter that waits for its own report where it faulted")

    elapsed = stuck_reporter_leg(arguments, marks, environment, module)
    many = many_threads_leg(arguments, marks, environment)
    print("crashtest three-faults (%s): three reports each, a deaf thread costs %d ms a report; a stuck exception "
          "thread was given up after %.1f s; a report of %d threads with the registry and the trace tables held took "
          "%.1f s" % (module, cost, elapsed, many[0], many[1]))


# How many stuck listings run at once; the last is squeezed onto one processor, where the reporter's own thread may
# not have run yet when the fault comes.
STUCK_RUNS = 3


def stuck_reporter_leg(arguments, marks, environment, module):
    """A report whose listing step waits for good on a lock that a paused thread holds, made by several processes at
    once, one of them on a single processor: in each the report still comes, from the failing thread, and the process
    ends as after any fault. Returns the longest run in seconds."""
    def on_one_processor():
        os.sched_setaffinity(0, {min(os.sched_getaffinity(0))})

    command = [arguments.crashtest, "stuck-reporter", "--console"]
    started = time.monotonic()
    runs = [start_crashtest(command, environment) for _ in range(STUCK_RUNS - 1)]
    runs.append(subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, env=environment,
                                 preexec_fn=on_one_processor))
    outputs = []
    try:
        for number, process in enumerate(runs, 1):
            outputs.append(finish_crashtest(process, 60, "crashtest stuck-reporter (run %d)" % number))
    finally:
        kill_left(runs)
    elapsed = time.monotonic() - started
    for number, (code, output) in enumerate(outputs, 1):
        what = "stuck-reporter (run %d)" % number
        if code != FAULT + signal.SIGSEGV:
            fail("%s: exit code %d, expected %d" % (what, code, FAULT + signal.SIGSEGV), output)
        reports = reports_of(output, ERROR_TEXT)
        if len(reports) != 1:
            fail("%s: %d reports, not one" % (what, len(reports)), output)
        report = reports[0]
        threads = sections(report)
        process_id = int(re.search(r"process id        : \$([0-9a-f]+)", report).group(1), 16)
        if threads[0][0] != "main thread ($%x)" % process_id:
            fail("%s: the failing main thread does not come first" % what, report)
        match = first_trace_line(threads[0][1], module)
        if not match or int(match.group(4)) != marks["StuckReporter"]:
            fail("%s: the trace does not start where the main thread faulted" % what, report)
        listing = report.split("\r\n\r\ndisassembling:\r\n")
        if len(listing) != 2 or len([line for line in listing[1].split("\r\n") if "\u00bb" in line]) != 1:
            fail("%s: the report made by the failing thread lacks its listing" % what, report)
    return elapsed


# A report of many threads waits for a lock that stays taken once, not once per thread: a hundred threads' titles
# and creator lines with the registry's lock held (50 ms each), and their traces with the tables held by a paused
# trace (2 s each), would take minutes; the bound leaves the rest of the report ample time on a loaded machine.
MANY_THREADS_BOUND = 30.0


def many_threads_leg(arguments, marks, environment):
    """The main thread faults holding the thread registry's lock while a hundred threads stand by and one traces its
    own stack over and over: the report lists them all, with the failing thread first where it faulted, and comes
    within the bound. Returns the threads listed and the seconds the report took."""
    module = os.path.basename(arguments.crashtest)
    process = start_crashtest([arguments.crashtest, "many-threads", "--console"], environment)
    started = None
    try:
        first = process.stdout.readline().decode("utf-8", "replace")
        if first != "faulting\n":
            fail("many-threads: the program did not reach its fault", first)
        started = time.monotonic()
        code, output = finish_crashtest(process, 240, "crashtest many-threads")
    finally:
        kill_left([process])
    took = time.monotonic() - started
    if code != FAULT + signal.SIGSEGV:
        fail("many-threads: exit code %d, expected %d" % (code, FAULT + signal.SIGSEGV), output)
    reports = reports_of(output, ERROR_TEXT)
    if len(reports) != 1:
        fail("many-threads: %d reports, not one" % len(reports), output)
    report = reports[0]
    threads = sections(report)
    process_id = int(re.search(r"process id        : \$([0-9a-f]+)", report).group(1), 16)
    # The registry's names cannot be read while its lock is held: every title is the thread's id alone.
    if threads[0][0] != "thread $%x" % process_id:
        fail("many-threads: the failing main thread does not come first, titled by its id", report)
    match = first_trace_line(threads[0][1], module)
    if not match or int(match.group(4)) != marks["FaultInRegistry"]:
        fail("many-threads: the trace does not start where the main thread faulted", report)
    if any(not re.match(r"thread \$[0-9a-f]+$", title) or any(line.startswith(">> created by") for line in lines)
           for title, lines in threads):
        fail("many-threads: a thread is named or given a creator without the registry", report)
    # The main thread, the idle worker, the hundred standing by with it and the self tracer, paused in its trace.
    tracer = [title for title, lines in threads
              if any(m and m.group(3) == "crashtest" and int(m.group(4)) == marks["SelfTrace"]
                     for m in (TRACE_LINE.match(line) for line in lines))]
    if len(threads) < 103 or len(tracer) != 1:
        fail("many-threads: %d threads and %d self tracers listed, not 103 and one" % (len(threads), len(tracer)),
             report)
    if took > MANY_THREADS_BOUND:
        fail("many-threads: the report took %.1f s" % took, report)
    return len(threads), took


QT_RUNS = [("xcb", True)] * 10 + [("xcb", False)] * 3 + [("offscreen", True)] * 3 + [("offscreen", False)] * 2


def qt_x11_journey(arguments, marks):
    """An exception leaves a slot, in the main thread and in a worker thread, under a real X server (Qt's xcb
    platform, whose threads start while the report pauses them) and offscreen, many times over and several at once:
    no run may hang (a thread paused inside thread creation held the loader's lock that the reporter needed, one run
    in four), each report is complete and names every thread's creator in the program's own code. (Where the trace
    starts is checked by the qt-slot journeys offscreen.)"""
    sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "box"))
    from exceptbox_journeys import Xvfb
    module = os.path.basename(arguments.crashtest)
    work = tempfile.mkdtemp(prefix="crashtest-qt-")
    x = Xvfb()
    started = []
    try:
        pending = list(enumerate(QT_RUNS))
        while pending:
            batch, pending = pending[:6], pending[6:]
            running = []
            for index, (platform, worker) in batch:
                environment = dict(x.env if platform == "xcb" else os.environ, QT_QPA_PLATFORM=platform, LC_ALL="C")
                if platform != "xcb":
                    environment.pop("DISPLAY", None)
                path = os.path.join(work, "report-%d.txt" % index)
                command = [arguments.crashtest, "qt-slot", "--no-box", "--file", path]
                command += ["--thread"] if worker else []
                running.append((platform, worker, path, start_crashtest(command, environment)))
                started.append(running[-1][3])
            for platform, worker, path, process in running:
                what = "qt-slot %s%s" % (platform, " in a worker" if worker else "")
                code, output = finish_crashtest(process, 60, what)
                if code != 0 or "continued\n" not in output:
                    fail("%s: the program did not go on after the report (exit code %d)" % (what, code), output)
                with open(path, "rb") as stream:
                    report = stream.read().decode("utf-8").rstrip("\r\n")
                threads = sections(report)
                title, trace = threads[0]
                if worker != title.startswith("crash worker ($"):
                    fail("%s: the failing thread is not the one that ran the slot: %s" % (what, title), report)
                if "exception message : The slot failed.\r\n" not in report:
                    fail("%s: the report is not the slot's exception" % what, report)
                if worker:
                    process_id = int(re.search(r"process id        : \$([0-9a-f]+)", report).group(1), 16)
                    check_creator(title, trace, "main thread ($%x)" % process_id, marks["StartQtWorker"], report)
                if platform == "xcb" and not any("(QXcbEventQueue)" in t for t, _ in threads):
                    fail("%s: Qt's X event thread is not listed" % what, report)
                creators_are_the_programs(threads, module, report, what)
                if "\r\n\r\nmodules:\r\n" not in report or "\r\n\r\ndisassembling:\r\n" not in report:
                    fail("%s: the report is not complete" % what, report)
    finally:
        kill_left(started)
        x.process.kill()
        x.process.wait()
    print("crashtest qt-slot: %d runs under X and offscreen, none hung" % len(QT_RUNS))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--crashtest", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("--mode", required=True, choices=sorted(MODES))
    parser.add_argument("--thread", action="store_true")
    parser.add_argument("--file", help="also save the report to this file and compare it with the console's")
    parser.add_argument("--mailpeers", help="mail: the loopback mail peers (tests/crashreport/mailpeers.py)")
    parser.add_argument("--no-watchdog", action="store_true", help="freeze: the program's settings leave it off")
    parser.add_argument("--login", action="store_true", help="mail: through the configured server with AUTH LOGIN")
    parser.add_argument("--gdb", action="store_true",
                        help="compare the failing thread's trace with gdb's backtrace at the crash or the throw")
    arguments = parser.parse_args()
    marks = markers(arguments.source)
    if arguments.gdb:
        return gdb_journey(arguments, arguments.mode)
    if arguments.mode == "two-threads":
        return two_threads_journey(arguments, marks)
    if arguments.mode == "freeze":
        return freeze_journey(arguments, marks)
    if arguments.mode == "mail":
        return mail_journey(arguments, marks)
    if arguments.mode == "three-faults":
        return three_faults_journey(arguments, marks)
    if arguments.mode == "qt-x11":
        return qt_x11_journey(arguments, marks)
    exception_class, message, marker, main_exit, worker_exit = MODES[arguments.mode]

    command = [arguments.crashtest, arguments.mode, "--console"] + (["--thread"] if arguments.thread else [])
    if arguments.file:
        if os.path.exists(arguments.file):
            os.remove(arguments.file)
        command += ["--file", arguments.file]
    environment = dict(os.environ, QT_QPA_PLATFORM="offscreen", LC_ALL="C")
    environment.pop("DISPLAY", None)
    try:
        run = subprocess.run(command, capture_output=True, timeout=60, env=environment)
    except subprocess.TimeoutExpired as timeout:
        fail("crashtest did not finish within 60 s (the report hung)", (timeout.stdout or b"").decode("utf-8", "replace"))
    output = run.stdout.decode("utf-8")
    expected_exit = worker_exit if arguments.thread else main_exit
    if run.returncode != expected_exit:
        fail("exit code %d, expected %d" % (run.returncode, expected_exit),
             output + run.stderr.decode("utf-8", "replace"))

    frozen = arguments.mode == "trace"
    if frozen:
        report = output
    else:
        first, _, report = output.partition("\n\n")
        if first != ERROR_TEXT:
            fail("the box text is missing", output)
    # crashtest's own lines after the report.
    report = re.sub(r"(thread result -?\d+|continued)\n", "", report).rstrip("\n")
    if "\n" in report.replace("\r\n", ""):
        fail("a report line does not end in CR LF", output)
    continued = "continued\n" in output
    if continued != (expected_exit == 0):
        fail("the program %s after the report" % ("went on" if continued else "did not go on"), output)

    # The header: every label in its order, each once.
    lines = report.split("\r\n")
    position = 0
    seen = []
    for line in lines:
        for index, label in enumerate(HEADER_LABELS):
            if line.startswith(label):
                if index < position:
                    fail("label '%s' out of order" % label.strip(), report)
                position = index
                seen.append(label)
        if line == "" and seen:
            break
    missing = REQUIRED_LABELS - set(seen)
    if missing:
        fail("labels missing: %s" % sorted(missing), report)
    if "process id        : $%x" % 0 in report:
        fail("no process id", report)

    if frozen:
        if "exception message : The application seems to be frozen.\r\n" not in report:
            fail("a trace on request is not a frozen report", report)
    else:
        class_line = "exception class   : " + exception_class
        if class_line + "\r\n" not in report:
            fail("exception class is not " + exception_class, report)
        match = re.search(r"exception message : (.*)\r\n", report)
        if not match or not re.fullmatch(message, match.group(1)):
            fail("exception message does not match " + message, report)

    process_id = int(re.search(r"process id        : \$([0-9a-f]+)", report).group(1), 16)
    main_title = "main thread ($%x)" % process_id
    threads = sections(report)
    titles = [title for title, _ in threads]
    if main_title not in titles:
        fail("no section of the main thread", report)

    # The failing thread comes first, the crashing function first in its trace.
    if frozen:
        if titles[0] != main_title:
            fail("a frozen report does not start with the main thread", report)
        if arguments.thread and any(t.startswith("crash worker") for t in titles):
            fail("the thread that asked for the trace is listed", report)
    else:
        failing, trace = threads[0]
        if arguments.mode == "thread-routine":
            # A thread of the system's kind, unnamed, whose routine let an exception out.
            if not re.fullmatch(r"thread \$[0-9a-f]+", failing):
                fail("the failing thread is not the unnamed thread: " + failing, report)
            check_creator(failing, trace, main_title, marks["StartRoutine"], report)
            if "thread result -1\n" not in output:
                fail("the thread's routine did not end with -1", output)
        elif arguments.thread:
            if not failing.startswith("crash worker ($"):
                fail("the failing thread is not the crash worker: " + failing, report)
            start = "StartQtWorker" if arguments.mode == "qt-slot" else "StartWorker"
            check_creator(failing, trace, main_title, marks[start], report)
            if titles[1] != main_title:
                fail("the main thread does not follow the failing thread", report)
        elif failing != main_title:
            fail("the failing thread is not the main thread: " + failing, report)
        ours = [TRACE_LINE.match(line) for line in trace]
        ours = [m for m in ours if m and m.group(2) == "crashtest"]
        # A crash that may strike anywhere in a function (a stack overflow faults at whichever instruction first
        # touches the guard page) marks the function's last line too, as <marker>End. Where the crash lies in code
        # the compiler inlined, the inlined functions come first, at the crash's address too.
        first, last = marks[marker], marks.get(marker + "End", marks[marker])
        crash = [m for m in ours if m.group(1) == ours[0].group(1)] if ours else []
        if not any(m.group(3) == "crashtest" and first <= int(m.group(4)) <= last for m in crash):
            fail("the trace does not start with %s at crashtest lines %d-%d" % (marker, first, last), report)
        # The calls that led there are listed too, up to where the crash was set off: for a slot, the event loop
        # the slot was called from.
        if arguments.mode == "qt-slot":
            origin = marks["QtWorkerExec" if arguments.thread else "QtExec"]
        else:
            origin = marks["StartRoutine" if arguments.mode == "thread-routine" else
                           "CrashWorker" if arguments.thread else "MainCrash"]
        if not any(m.group(3) == "crashtest" and int(m.group(4)) == origin for m in ours):
            fail("the failing thread's trace does not reach crashtest line %d" % origin, report)
        if arguments.mode not in ("thread-routine", "qt-slot"):
            # Every call between the crash and the origin is crashtest's own: a frame of other code there is an old
            # value left on the stack, not a call on the way to the crash. (A thread's routine starts in the
            # reporter's thread wrapper, and Qt's event loop calls a slot: both lie on the way.)
            inlined = inlined_lines(trace)
            path = [m for m in (TRACE_LINE.match(line) for i, line in enumerate(trace) if i not in inlined) if m]
            start = next(i for i, m in enumerate(path) if m.group(1) == ours[0].group(1))
            end = next(i for i, m in enumerate(path) if m.group(3) == "crashtest" and int(m.group(4)) == origin)
            strays = [m.group(0) for m in path[start:end + 1] if m.group(3) != "crashtest"]
            if strays:
                fail("the failing thread's trace runs through frames off the way to the crash: %s" % strays[0],
                     report)

    check_inlined_frames(arguments.crashtest, report)

    if arguments.mode == "qt-slot" and arguments.thread:
        # The main thread, paused in Qt's event loop (inside the C library's poll; or still on its way there, as
        # the worker may run the slot first), down to the program's own calls.
        paused = [TRACE_LINE.match(line) for line in dict(threads)[main_title]]
        if not any(m and m.group(2) == "crashtest" and m.group(5).startswith("CrashTest::RunQtSlot(")
                   for m in paused):
            fail("the main thread's trace does not reach RunQtSlot", report)
    if arguments.mode not in ("qt-slot",):
        # Threads paused inside the C library keep the program's calls below its frames: the idle worker waits in
        # pthread_cond_wait, which the standard library reaches by a jump.
        idle = [t for t in threads if t[0].startswith("idle worker ($")]
        if len(idle) != 1:
            fail("the idle worker is not listed once", report)
        check_creator(idle[0][0], idle[0][1], main_title, marks["StartIdle"], report)
        if not has_line(idle[0][1], marks["IdleWorker"]):
            fail("the idle worker's trace lost its wait at crashtest line %d" % marks["IdleWorker"], report)
    if arguments.mode == "lock":
        holder = [t for t in threads if len(t[1]) >= 2 and TRACE_LINE.match(t[1][-1]) and
                  int(TRACE_LINE.match(t[1][-1]).group(4)) == marks["StartHolder"]]
        if len(holder) != 1:
            fail("the lock holder is not listed once", report)
        if not has_line(holder[0][1], marks["LockHolder"]):
            fail("the lock holder's trace lost its wait at crashtest line %d" % marks["LockHolder"], report)
        heap = [t for t in threads if t[0].startswith("heap worker ($")]
        if len(heap) != 1:
            fail("the heap worker is not listed", report)
        check_creator(heap[0][0], heap[0][1], main_title, marks["StartHeap"], report)
        check_heap_worker(heap[0][1], marks, report)

    # The modules: the program and the C library, each with its folder.
    modules = report.split("\r\n\r\nmodules:")
    if len(modules) != 2:
        fail("no modules section", report)
    module_lines = modules[1].split("\r\n\r\n")[0].split("\r\n")[1:]
    if not any(re.match(r"^[0-9a-f]{16} crashtest\s+.*/$", line) for line in module_lines):
        fail("the program is not among the modules", report)
    if not any(re.match(r"^[0-9a-f]{16} libc\.so\.6\s+.*/$", line) for line in module_lines):
        fail("the C library is not among the modules", report)

    if arguments.mode == "reporter":
        if not re.search(r"\r\n\r\nAn exception occurred during composing the bug report\. \$[0-9a-f]+$", report):
            fail("a fault in the reporter does not end the report with its note", report)
    elif not frozen:
        listing = report.split("\r\n\r\ndisassembling:\r\n")
        if len(listing) != 2:
            fail("no disassembly", report)
        marked = [line for line in listing[1].split("\r\n") if "\u00bb" in line]
        if len(marked) != 1:
            fail("the disassembly marks %d lines, not the faulting one" % len(marked), report)
        # The marked instruction is the one the failing thread's trace starts at (the fault, or the call that threw).
        first = next((line for line in threads[0][1] if re.match(r"^[0-9a-f]+ ", line)), "")
        if not first or int(marked[0].split()[0], 16) != int(first.split()[0], 16):
            fail("the marked instruction is not where the failing thread's trace starts: %s / %s" %
                 (marked[0], first), report)
        address = re.search(r"Access violation at address \$([0-9A-F]+)", report)
        if address and int(address.group(1), 16) != int(first.split()[0], 16):
            fail("the access violation's address is not the marked instruction's", report)
    # The process left no registry block behind, however it ended.
    if os.path.exists("/dev/shm/KroExceptThreadNameBuf$%x" % process_id):
        fail("the thread registry's block outlived the process", report)
    if arguments.file:
        with open(arguments.file, "rb") as stream:
            saved = stream.read().decode("utf-8")
        if saved != report + "\r\n\r\n":
            fail("the saved report differs from the one shown", saved)
    print("crashtest %s%s: report checked" % (arguments.mode, " in a worker thread" if arguments.thread else ""))


if __name__ == "__main__":
    main()
