#!/usr/bin/env python3
"""Runs a command and writes "wall-seconds cpu-seconds peak-KiB" of it to a file.

Usage: timed-run.py OUTPUT COMMAND [ARGUMENT...]
The CPU time is user plus system time, to the microsecond as the kernel accounts it: GNU time
prints hundredths, too coarse for a run of a tenth of a second; GNU time's own start, about two
milliseconds, is counted with it. The peak memory still comes from GNU time, which runs the
command: a child started from this interpreter would count the interpreter's memory as the
command's peak. Exits with the command's status.
"""
import os
import sys
import tempfile
import time

output, command = sys.argv[1], sys.argv[2:]
with tempfile.NamedTemporaryFile("r", suffix=".peak") as peak:
    start = time.monotonic()
    # Spawned, not forked: a forked copy of the interpreter would cost time of its own.
    child = os.posix_spawn(
        "/usr/bin/time", ["time", "-f", "%M", "-o", peak.name] + command, os.environ)
    _, status, usage = os.wait4(child, 0)
    wall = time.monotonic() - start
    kib = peak.read().split()[-1] if os.WIFEXITED(status) else "0"
with open(output, "w") as out:
    out.write(f"{wall:.4f} {usage.ru_utime + usage.ru_stime:.4f} {kib}\n")
sys.exit(os.waitstatus_to_exitcode(status) if os.WIFEXITED(status) else 1)
