#!/usr/bin/env python3
"""Runs demostamp under valgrind's memcheck for a few ticks, then ends it through a failure so
that the run exits normally and the leak check sees the whole program.

usage: memcheck.py --binary PATH
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", required=True)
    binary = os.path.abspath(parser.parse_args().binary)
    workdir = tempfile.mkdtemp(prefix="demostamp-memcheck-")
    log = os.path.join(workdir, "memcheck.log")
    try:
        process = subprocess.Popen(
            ["valgrind", "--tool=memcheck", "--leak-check=full", "--show-leak-kinds=all",
             "--errors-for-leak-kinds=definite,indirect,possible", "--error-exitcode=99",
             f"--log-file={log}", binary, "1"], cwd=workdir, stdout=subprocess.PIPE)
        script = os.path.join(workdir, "demo_spy.cfg")
        ticks = 0
        last = None
        deadline = time.monotonic() + 60
        while ticks < 3 and time.monotonic() < deadline:
            stamp = os.stat(script).st_mtime_ns if os.path.exists(script) else None
            if stamp != last and stamp is not None:
                ticks += 1
                last = stamp
            time.sleep(0.05)
        # A directory in place of the last script ends the next tick with a failure report.
        os.remove(script)
        os.mkdir(script)
        output, _ = process.communicate(timeout=60)
        with open(log) as f:
            report = f.read()
        print(report)
        failures = []
        if ticks < 3:
            failures.append(f"only {ticks} ticks seen")
        if process.returncode != 1:
            failures.append(f"exit status {process.returncode}, expected 1 (99: memcheck errors)")
        if not output.rstrip().endswith(b"File access denied."):
            failures.append(f"no failure report: {output!r}")
        if not re.search(r"ERROR SUMMARY: 0 errors", report):
            failures.append("memcheck found errors")
        if not re.search(r"All heap blocks were freed|definitely lost: 0 bytes", report):
            failures.append("memory leaked")
        for failure in failures:
            print("FAIL:", failure)
        print("memcheck: passed" if not failures else "memcheck: failed")
        return 1 if failures else 0
    finally:
        shutil.rmtree(workdir, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
