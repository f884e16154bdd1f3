#!/usr/bin/env python3
"""Measures demostamp 0 as a whole process, side by side with the raw-call floor.

usage: process_bench.py [--build build/bench] [--seconds 5] [--memory-seconds 30]

Reports ticks per second (counted from the write calls the kernel saw, so nothing slows the
program down while it is counted), system calls per tick (strace), peak resident memory and
resident memory after 1 second and after --memory-seconds.
"""
import argparse
import os
import re
import shutil
import subprocess
import tempfile
import time


def proc(pid, name):
    with open(f"/proc/{pid}/{name}") as f:
        return f.read()


def status_kb(pid, field):
    return int(re.search(rf"^{field}:\s+(\d+) kB", proc(pid, "status"), re.M).group(1))


def write_calls(pid):
    return int(re.search(r"^syscw: (\d+)", proc(pid, "io"), re.M).group(1))


def run(command, seconds, memory_seconds=None):
    workdir = tempfile.mkdtemp(prefix="demostamp-bench-")
    process = subprocess.Popen(command, cwd=workdir, stdout=subprocess.DEVNULL)
    try:
        time.sleep(1)
        result = {"rss_1s": status_kb(process.pid, "VmRSS")}
        start = write_calls(process.pid)
        time.sleep(seconds)
        result["ticks_per_second"] = (write_calls(process.pid) - start) / 9 / seconds
        if memory_seconds:
            time.sleep(max(0, memory_seconds - 1 - seconds))
            result["rss_late"] = status_kb(process.pid, "VmRSS")
        result["peak_rss"] = status_kb(process.pid, "VmHWM")
        return result
    finally:
        process.kill()
        process.wait()
        shutil.rmtree(workdir)


def calls_per_tick(command, seconds=2):
    """Every system call of a run, by name, divided by its ticks (one yield each)."""
    workdir = tempfile.mkdtemp(prefix="demostamp-bench-")
    trace = os.path.join(workdir, "trace")
    try:
        subprocess.run(["timeout", "-s", "TERM", str(seconds), "strace", "-c", "-o", trace,
                        *command], cwd=workdir, stdout=subprocess.DEVNULL)
        counts = {}
        with open(trace) as f:
            for line in f:
                fields = line.split()
                if len(fields) >= 5 and fields[-1] not in ("syscall", "total") and fields[3].isdigit():
                    counts[fields[-1]] = int(fields[3])
        ticks = counts.get("sched_yield", 1)
        return {name: count / ticks for name, count in counts.items() if count >= ticks / 2}
    finally:
        shutil.rmtree(workdir)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build/bench")
    parser.add_argument("--seconds", type=float, default=5)
    parser.add_argument("--memory-seconds", type=float, default=30)
    options = parser.parse_args()
    program = [os.path.abspath(os.path.join(options.build, "demostamp")), "0"]
    floor = [os.path.abspath(os.path.join(options.build, "bench", "floor"))]

    mine = run(program, options.seconds, options.memory_seconds)
    base = run(floor, options.seconds)
    print("| measure | demostamp 0 | floor |")
    print("|---|---|---|")
    print(f"| ticks per second | {mine['ticks_per_second']:.0f} | {base['ticks_per_second']:.0f} |")
    print(f"| ratio of ticks per second | {mine['ticks_per_second'] / base['ticks_per_second']:.3f} | 1 |")
    for name, value in [("peak resident memory (KiB)", "peak_rss"),
                        ("resident memory after 1 s (KiB)", "rss_1s")]:
        print(f"| {name} | {mine[value]} | {base[value]} |")
    print(f"| resident memory after {options.memory_seconds:.0f} s (KiB) | {mine['rss_late']} | |")
    print(f"| growth (KiB) | {mine['rss_late'] - mine['rss_1s']} | |")
    for name, command in [("demostamp 0", program), ("floor", floor)]:
        calls = calls_per_tick(command)
        listed = ", ".join(f"{n} {c:.2f}" for n, c in sorted(calls.items()))
        print(f"\nsystem calls per tick, {name}: {sum(calls.values()):.2f} ({listed})")


if __name__ == "__main__":
    main()
