#!/usr/bin/env python3
"""Journeys through the crash reporter's exception box under a real X server.

Each journey starts its own Xvfb (on a display number the server picks), runs
exceptbox_demo, finds the box and its buttons with xdotool, presses them with the mouse and the keyboard, reads the
clipboard with xclip and the screen with ImageMagick, and checks what the program reports ("action N", "result N").
"""
import argparse
import os
import signal
import socket
import subprocess
import sys
import tempfile
import time

JOURNEYS = ("mouse", "keyboard", "clipboard", "console")
ERROR_TEXT = "An error occurred in the application. Please mail the bug report."
FROZEN_TEXT = "The application seems to be frozen."
FAILURES = []
PASSES = []


def check(condition, what):
    if condition:
        print("ok:", what)
        PASSES.append(what)
    else:
        print("FAILED:", what)
        FAILURES.append(what)
    return condition


class Xvfb:
    def __init__(self):
        # The server picks a free display number itself: other build trees may run these journeys at the same time.
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, pass_fds=(write_end,))
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            while not number.endswith(b"\n"):
                byte = pipe.read(1)
                if not byte:
                    raise RuntimeError("Xvfb did not start")
                number += byte
        self.display = ":%d" % int(number)
        self.env = dict(os.environ, DISPLAY=self.display)
        for _ in range(100):
            if subprocess.run(["xdpyinfo"], env=self.env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL).returncode == 0:
                return
            time.sleep(0.1)
        raise RuntimeError("Xvfb %s did not answer" % self.display)

    def run(self, *args, timeout=10):
        return subprocess.run(list(args), env=self.env, capture_output=True, timeout=timeout)

    def search(self, *args):
        result = self.run("xdotool", "search", *args)
        return [int(w) for w in result.stdout.split()] if result.returncode == 0 else []

    def wait_window(self, *args, present=True, timeout=15.0):
        deadline = time.time() + timeout
        while time.time() < deadline:
            found = self.search(*args)
            if bool(found) == present:
                return found[0] if present else -1
            time.sleep(0.1)
        return None if present else -1

    def button(self, caption):
        found = self.search("--name", "^%s$" % caption)
        return found[0] if found else None

    def click(self, window):
        self.run("xdotool", "mousemove", "--window", str(window), "12", "10", "click", "1")

    def key(self, *keys):
        self.run("xdotool", "key", "--delay", "120", *keys)
        time.sleep(0.3)

    def geometry(self, window):
        result = self.run("xwininfo", "-id", str(window)).stdout.decode()
        values = {}
        for line in result.splitlines():
            line = line.strip()
            for name in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"):
                if line.startswith(name + ":"):
                    values[name] = int(line.split(":")[1])
        return values

    def clipboard(self, target=None):
        args = ["xclip", "-o", "-selection", "clipboard"] + (["-t", target] if target else [])
        result = self.run(*args, timeout=20)
        return result.stdout if result.returncode == 0 else None

    def screenshot(self, path, window=None):
        full = path + ".root.png"
        self.run("import", "-window", "root", full, timeout=30)
        if window is None:
            os.replace(full, path)
            return
        g = self.geometry(window)
        self.run("convert", full, "-crop", "%dx%d+%d+%d" % (g["Width"], g["Height"], g["Absolute upper-left X"],
                                                            g["Absolute upper-left Y"]), "+repage", path, timeout=30)
        os.remove(full)

    def pixel(self, path, x, y):
        out = self.run("convert", path, "-crop", "1x1+%d+%d" % (x, y), "-depth", "8", "txt:-").stdout.decode()
        hex_part = out.splitlines()[1].split("#")[1][:6]
        return int(hex_part, 16)

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=10)


class Demo:
    def __init__(self, demo, env, *args):
        self.process = subprocess.Popen([demo] + list(args), env=env, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE)
        self.output = None

    def finish(self, timeout=15):
        try:
            out, err = self.process.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            out, err = self.process.communicate()
            self.output = out.decode(errors="replace")
            return None
        self.output = out.decode(errors="replace")
        if err:
            sys.stdout.write(err.decode(errors="replace"))
        return self.process.returncode

    def running(self):
        return self.process.poll() is None

    def lines(self):
        return self.output.splitlines() if self.output else []


def generated_report(demo, env, *args):
    """The report the demo shows, read back through its console output (no display)."""
    console = dict(env)
    console.pop("DISPLAY", None)
    out = subprocess.run([demo] + list(args), env=console, capture_output=True, timeout=30).stdout.decode()
    rest = out.split("\n", 2)[2]
    return rest[:rest.rindex("result -1")][:-1]


def mouse_journey(a, x):
    demo = Demo(a.demo, x.env)
    box = x.wait_window("--class", "KroExceptWndClass")
    if not check(box is not None, "the box appears"):
        demo.finish(1)
        return
    time.sleep(0.5)
    report = generated_report(a.demo, x.env)
    check(x.clipboard() == report.encode(), "the report is on the clipboard as soon as the box shows")
    small = x.geometry(box)
    x.screenshot(os.path.join(a.shots, "exceptbox-small.png"), box)
    names = [n for n in ("mail bug report", "show bug report", "continue application", "restart application",
                         "close application", "save bug report", "print bug report") if x.button(n)]
    check(names == ["mail bug report", "show bug report", "continue application", "restart application",
                    "close application"], "this program's box has mail, show, continue, restart and close: %s" % names)
    mail, show, cont = x.button("mail bug report"), x.button("show bug report"), x.button("continue application")
    restart, close = x.button("restart application"), x.button("close application")
    gm, gs, gc, gr, gx = (x.geometry(w) for w in (mail, show, cont, restart, close))
    check(gm["Absolute upper-left Y"] == gs["Absolute upper-left Y"] == gx["Absolute upper-left Y"],
          "mail and show lie on the bottom row with close")
    check(gc["Absolute upper-left X"] == gr["Absolute upper-left X"] == gx["Absolute upper-left X"] and
          gc["Absolute upper-left Y"] < gr["Absolute upper-left Y"] < gx["Absolute upper-left Y"],
          "continue, restart and close are stacked on the right")

    x.click(show)
    time.sleep(0.8)
    large = x.geometry(box)
    check(large["Height"] >= small["Height"] + 380 and large["Width"] >= 538,
          "show enlarges the box to the report (%dx%d to %dx%d)" % (small["Width"], small["Height"], large["Width"],
                                                                    large["Height"]))
    check(x.button("show bug report") is None, "the show button is gone once the report shows")
    check(x.geometry(cont)["Absolute upper-left X"] - gc["Absolute upper-left X"] ==
          large["Width"] - small["Width"], "the right-hand buttons move with the box's right edge")
    x.key("Page_Down", "Page_Down")
    x.screenshot(os.path.join(a.shots, "exceptbox-report.png"), box)
    check(x.clipboard() == report.encode(), "the report is still on the clipboard after show")

    x.click(mail)
    message = x.wait_window("--class", "KroExceptMessageBox")
    check(message is not None, "mail shows the report action's message box")
    x.screenshot(os.path.join(a.shots, "exceptbox-message.png"))
    x.click(cont)  # the box takes no input while the message shows
    time.sleep(0.5)
    check(demo.running(), "the box ignores its buttons while a message box is over it")
    x.key("Return")
    check(x.wait_window("--class", "KroExceptMessageBox", present=False) == -1, "Return dismisses the message box")
    x.click(cont)
    check(demo.finish() == 0, "the demo ends")
    check(demo.lines() == ["action 3", "action 0", "send", "send done", "action 4", "result 4"],
          "show, mail and continue fire their actions in order and continue ends the box: %s" % demo.lines())

    for caption, code in (("restart application", 5), ("close application", 6)):
        demo = Demo(a.demo, x.env, "--lines", "20")
        x.wait_window("--class", "KroExceptWndClass")
        time.sleep(0.3)
        x.click(x.button(caption))
        demo.finish()
        check(demo.lines() == ["action %d" % code, "result %d" % code], "%s returns %d: %s" % (caption, code,
                                                                                             demo.lines()))

    # An exception that cannot continue: "continue" is disabled (with its own glyph) and pressing it does nothing.
    demo = Demo(a.demo, x.env, "--cant-continue", "--lines", "20")
    box = x.wait_window("--class", "KroExceptWndClass")
    time.sleep(0.5)
    x.screenshot(os.path.join(a.shots, "exceptbox-cant-continue.png"), box)
    x.click(x.button("continue application"))
    time.sleep(0.6)
    check(demo.running(), "a disabled continue button does nothing")
    x.click(x.button("close application"))
    demo.finish()
    check(demo.lines() == ["action 6", "result 6"], "then close ends it: %s" % demo.lines())

    # The program's own threads hold the standard output's lock and their display's lock; the box runs on its own
    # connection and loads no library while it shows.
    demo = Demo(a.demo, x.env, "--hostile", "--count-dlopen", "--lines", "20")
    box = x.wait_window("--class", "KroExceptWndClass")
    check(box is not None, "the box shows while another thread holds the output's and its display's locks")
    time.sleep(0.3)
    x.click(x.button("show bug report"))
    time.sleep(0.3)
    x.click(x.button("continue application"))
    demo.finish()
    check(demo.lines() == ["action 3", "action 4", "dlopen 0", "result 4"],
          "no library is loaded while the box shows: %s" % demo.lines())

    # A message too long for the screen: the box stays on it.
    demo = Demo(a.demo, x.env, "--error-text", "Failure: %exceptMsg%", "--message",
                ("averyveryverylongwordwithoutanyblank" * 40 + " ") * 30)
    box = x.wait_window("--class", "KroExceptWndClass")
    time.sleep(0.5)
    g = x.geometry(box)
    check(g["Width"] <= 1280 and g["Height"] <= 1024 - 400 and g["Height"] > 300,
          "a huge message keeps the box on the screen with room for the report (%dx%d)" % (g["Width"], g["Height"]))
    x.click(x.button("show bug report"))
    time.sleep(0.5)
    g = x.geometry(box)
    check(g["Absolute upper-left Y"] + g["Height"] <= 1024, "with the report shown it still fits (%d + %d)" %
          (g["Absolute upper-left Y"], g["Height"]))
    x.screenshot(os.path.join(a.shots, "exceptbox-long-message.png"), box)
    x.click(x.button("close application"))
    demo.finish()


def keyboard_journey(a, x):
    demo = Demo(a.demo, x.env, "--lines", "300")
    box = x.wait_window("--class", "KroExceptWndClass")
    time.sleep(0.5)
    small = x.geometry(box)
    # The focus starts on mail (this program's default button); Tab moves it to show, Return presses it.
    x.key("Escape")
    check(demo.running(), "Escape does nothing: this program's box has no system menu")
    x.key("Tab", "Return")
    check(x.geometry(box)["Height"] > small["Height"] + 380, "Tab and Return press show")
    # The focus went to the report; Tab goes round: mail, continue, restart.
    x.key("Tab", "Tab", "Tab", "Return")
    demo.finish()
    check(demo.lines() == ["action 3", "action 5", "result 5"], "Tab reaches restart, Return presses it: %s" %
          demo.lines())

    demo = Demo(a.demo, x.env, "--lines", "20")
    x.wait_window("--class", "KroExceptWndClass")
    time.sleep(0.5)
    x.key("Right", "Right", "Down", "space")  # mail -> show -> continue -> restart
    demo.finish()
    check(demo.lines() == ["action 5", "result 5"], "arrow keys move between buttons, Space presses: %s" %
          demo.lines())

    demo = Demo(a.demo, x.env, "--lines", "20")
    x.wait_window("--class", "KroExceptWndClass")
    time.sleep(0.5)
    x.key("shift+Tab", "Return")  # mail -> back round to close
    demo.finish()
    check(demo.lines() == ["action 6", "result 6"], "Shift+Tab goes backwards: %s" % demo.lines())

    # A default button the box does not have (print, absent here) leaves the focus on the first button, not nowhere.
    demo = Demo(a.demo, x.env, "--focused-button", "2", "--lines", "20")
    x.wait_window("--class", "KroExceptWndClass")
    time.sleep(0.5)
    x.key("Tab", "Return")  # mail -> show
    time.sleep(0.3)
    x.key("shift+Tab", "shift+Tab", "Return")  # report -> close -> restart
    demo.finish()
    check(demo.lines() == ["action 3", "action 5", "result 5"],
          "a missing default button leaves the keys working: %s" % demo.lines())

    # Save and print, when the settings caption them: seven buttons, and pressing them keeps the box.
    demo = Demo(a.demo, x.env, "--all-buttons", "--lines", "20")
    box = x.wait_window("--class", "KroExceptWndClass")
    time.sleep(0.5)
    x.screenshot(os.path.join(a.shots, "exceptbox-all-buttons.png"), box)
    x.click(x.button("save bug report"))
    x.click(x.button("print bug report"))
    time.sleep(1.5)
    check(demo.running(), "save and print keep the box")
    x.click(x.button("continue application"))
    demo.finish()
    check(demo.lines() == ["action 1", "action 2", "action 4", "result 4"], "save and print fire their actions: %s" %
          demo.lines())

    # With a system menu (no close button, an exception that cannot continue) Escape is the window's close: restart.
    demo = Demo(a.demo, x.env, "--no-close", "--cant-continue", "--lines", "20")
    x.wait_window("--class", "KroExceptWndClass")
    time.sleep(0.5)
    x.key("Escape")
    demo.finish()
    check(demo.lines() == ["action 5", "result 5"], "with a system menu Escape restarts: %s" % demo.lines())

    # The countdown presses its button by itself...
    start = time.time()
    demo = Demo(a.demo, x.env, "--auto-continue", "2", "--lines", "20")
    box = x.wait_window("--class", "KroExceptWndClass")
    time.sleep(1.0)
    x.screenshot(os.path.join(a.shots, "exceptbox-countdown.png"), box)
    demo.finish(timeout=15)
    took = time.time() - start
    check(demo.lines() == ["action 4", "result 4"] and 1.8 <= took <= 10,
          "the countdown presses continue by itself after its delay (%.1f s): %s" % (took, demo.lines()))
    # ...unless the user moves the focus first.
    demo = Demo(a.demo, x.env, "--auto-continue", "1", "--lines", "20")
    x.wait_window("--class", "KroExceptWndClass")
    x.key("Tab")
    time.sleep(2.5)
    check(demo.running(), "moving the focus stops the countdown")
    x.click(x.button("close application"))
    demo.finish()
    check(demo.lines() == ["action 6", "result 6"], "the stopped box still takes its buttons: %s" % demo.lines())

    # The stack tracer's progress popup: half the screen wide, centred, the bar at 50 %.
    demo = Demo(a.demo, x.env, "--progress", "--hold-ms", "3000")
    bar = x.wait_window("--class", "KroProgressBar")
    time.sleep(0.5)
    if check(bar is not None, "the progress popup appears"):
        g = x.geometry(bar)
        check(g["Width"] == 640 and g["Height"] == 23 and g["Absolute upper-left X"] == 320,
              "it is half the screen wide and centred: %s" % g)
        shot = os.path.join(a.shots, "progress.png")
        x.screenshot(shot, bar)
        check(x.pixel(shot, 100, 11) == 0x000000 and x.pixel(shot, 400, 11) == 0xd4d0c8,
              "its bar fills the first half")
    demo.finish()


def clipboard_journey(a, x):
    # A report far larger than one X request, with characters beyond ASCII, comes through whole.
    args = ["--bytes", "700000"]
    report = generated_report(a.demo, x.env, *args)
    demo = Demo(a.demo, x.env, *args)
    x.wait_window("--class", "KroExceptWndClass")
    time.sleep(0.5)
    got = x.clipboard()
    check(got == report.encode(), "a 700 KB report reads back whole (%s bytes)" % (len(got) if got else None))
    targets = (x.clipboard("TARGETS") or b"").decode().split()
    check("UTF8_STRING" in targets and "STRING" in targets, "the clipboard offers UTF-8 and Latin-1: %s" % targets)
    latin1 = x.clipboard("STRING")
    check(latin1 == report.encode("latin-1", errors="replace"), "STRING gives the Latin-1 text, ? for the rest")
    x.click(x.button("continue application"))
    demo.finish()
    check(x.clipboard() in (None, b""), "without a clipboard manager the text goes with the box")

    # With a clipboard manager the report outlives the box and the process.
    manager = subprocess.Popen([a.manager], env=x.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    check(manager.stdout.readline().strip() == b"ready", "the clipboard manager runs")
    for args in (["--lines", "50"], ["--bytes", "400000"]):
        report = generated_report(a.demo, x.env, *args)
        demo = Demo(a.demo, x.env, *args)
        x.wait_window("--class", "KroExceptWndClass")
        time.sleep(0.5)
        x.click(x.button("close application"))
        demo.finish()
        saved = manager.stdout.readline().strip()
        check(saved == b"saved %d" % len(report.encode()), "the box hands its report to the manager: %s" % saved)
        check(x.clipboard() == report.encode(), "the report is on the clipboard after the process ended (%s)" %
              args)
    manager.terminate()
    manager.wait(timeout=10)

    # The clipboard writer alone (a trace of the process made on request): served while the program runs.
    demo = Demo(a.demo, x.env, "--copy", "kopiert: Grüße", "--hold-ms", "3000")
    time.sleep(1.0)
    check(x.clipboard() == "kopiert: Grüße".encode(), "CopyToClipboard outside a box serves its text")
    demo.finish()

    # A frozen report's box closes itself when the main thread answers again.
    demo = Demo(a.demo, x.env, "--frozen", "--frozen-answer-ms", "1500", "--lines", "20")
    box = x.wait_window("--class", "KroExceptWndClass")
    time.sleep(0.3)
    shot = os.path.join(a.shots, "exceptbox-frozen.png")
    x.screenshot(shot, box)
    demo.finish()
    check(demo.lines() == ["result 4"], "the answer closes the frozen box: %s" % demo.lines())


def console_journey(a, _):
    report = None
    env = dict(os.environ)
    env.pop("DISPLAY", None)
    start = time.time()
    demo = Demo(a.demo, env, "--lines", "5", "--message", "Division by zero")
    demo.finish()
    out = demo.output
    lines = out.split("\n")
    check(lines[0] == ERROR_TEXT.replace("%exceptMsg%", "Division by zero") and lines[1] == "" and
          lines[2].startswith("date/time") and "end of report" in out and lines[-2] == "result -1",
          "without DISPLAY the texts go to standard output: %r" % out[:200])
    report = out

    # A display number nobody serves: we hold its abstract socket name ourselves, first closed, then listening.
    server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    for number in range(700 + os.getpid() % 200, 1000):
        if os.path.exists("/tmp/.X11-unix/X%d" % number):
            continue
        try:
            server.bind("\0/tmp/.X11-unix/X%d" % number)
            break
        except OSError:
            continue
    env["DISPLAY"] = ":%d" % number
    demo = Demo(a.demo, env, "--lines", "5", "--message", "Division by zero")
    demo.finish()
    check(demo.output == report, "an unreachable display does the same")

    # A display that takes the connection and never answers: standard output within seconds, no hang.
    server.listen(8)
    start = time.time()
    demo = Demo(a.demo, env, "--lines", "5", "--message", "Division by zero")
    code = demo.finish(timeout=30)
    took = time.time() - start
    server.close()
    check(code == 0 and demo.output == report and took < 15,
          "a display that never answers falls back to standard output (%.1f s)" % took)

    env.pop("DISPLAY")
    demo = Demo(a.demo, env, "--hostile", "--lines", "5", "--message", "Division by zero")
    demo.finish(timeout=20)
    check(demo.output == report, "console output does not wait for the standard output lock a thread holds")

    demo = Demo(a.demo, env, "--lines", "5", "--report-at-once", "--frozen")
    demo.finish()
    check(demo.lines()[0] == FROZEN_TEXT and demo.lines()[1] == "", "a frozen report writes the frozen text")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("journey", choices=JOURNEYS)
    parser.add_argument("--demo", required=True)
    parser.add_argument("--manager", required=True)
    parser.add_argument("--shots", default=tempfile.gettempdir())
    a = parser.parse_args()
    os.makedirs(a.shots, exist_ok=True)
    if a.journey == "console":
        console_journey(a, None)
    else:
        x = Xvfb()
        try:
            {"mouse": mouse_journey, "keyboard": keyboard_journey, "clipboard": clipboard_journey}[a.journey](a, x)
        finally:
            x.stop()
    print("%d passed, %d failed" % (len(PASSES), len(FAILURES)))
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
