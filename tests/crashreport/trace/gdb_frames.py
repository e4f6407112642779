# Loaded into gdb by the stack tracer's differential tests: "frames" prints the thread that stopped ("GDBSTOP
# thread"), then every frame of every thread of the stopped program, one line each: "GDBFRAME thread index kind pc
# name". Kind is "normal", "inline" (inlined code), "tailcall" (a call gdb reconstructs from debug information, whose
# frame a tail jump replaced), "sigtramp" (the kernel's return from a signal handler) or "other"; pc is the resume
# address (for a caller, its return address).
import gdb

KINDS = {gdb.NORMAL_FRAME: "normal", gdb.INLINE_FRAME: "inline", gdb.TAILCALL_FRAME: "tailcall",
         gdb.SIGTRAMP_FRAME: "sigtramp"}


class Frames(gdb.Command):
    def __init__(self):
        super().__init__("frames", gdb.COMMAND_STACK)

    def invoke(self, argument, from_tty):
        print("GDBSTOP %d" % gdb.selected_thread().num)
        for thread in gdb.selected_inferior().threads():  # the stopped thread is selected again after the last
            thread.switch()
            frame = gdb.newest_frame()
            index = 0
            while frame is not None:
                print("GDBFRAME %d %d %s %x %s" % (thread.num, index, KINDS.get(frame.type(), "other"), frame.pc(),
                                                    frame.name() or "??"))
                index += 1
                try:
                    frame = frame.older()
                except gdb.error:
                    break


Frames()
