#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Per-thread CPU and wake-ups of a running process over a while.

Usage: threads.py LABEL PID SECONDS [TOTALS]

CPU is the time on a processor from /proc/PID/task/TID/schedstat (nanoseconds, where
stat's utime and stime count whole clock ticks); wake-ups are the voluntary context
switches from /proc/PID/task/TID/status (each is a sleep the thread woke from). Threads
are grouped by name (the main thread as "user-interface", unnamed others as
"workers"); a thread that started or ended meanwhile counts from zero or is
left out. Prints one row a group and one for the process, and appends the process's
row to TOTALS, if given, as "CPU% WAKEUPS/S LABEL", for a comparison of programs.
"""
import os
import sys
import time

def sample(pid):
    """{tid: (name, cpu nanoseconds, voluntary switches)} for every thread of pid."""
    threads = {}
    with open(f"/proc/{pid}/comm") as comm:
        own_name = comm.read().strip()
    for tid in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{tid}/comm") as comm:
                name = comm.read().strip()
            with open(f"/proc/{pid}/task/{tid}/schedstat") as schedstat:
                cpu = int(schedstat.read().split()[0])
            with open(f"/proc/{pid}/task/{tid}/status") as status:
                switches = next(int(line.split()[1]) for line in status
                                if line.startswith("voluntary_ctxt_switches"))
        except (FileNotFoundError, ProcessLookupError):
            continue
        if name == own_name:  # workers keep the program's name
            name = "user-interface" if int(tid) == pid else "workers"
        threads[tid] = (name, cpu, switches)
    return threads


def main():
    label, pid, seconds = sys.argv[1], int(sys.argv[2]), float(sys.argv[3])
    before = sample(pid)
    time.sleep(seconds)
    after = sample(pid)
    groups = {}
    for tid, (name, cpu, switches) in after.items():
        _, cpu_before, switches_before = before.get(tid, (name, 0, 0))
        total = groups.setdefault(name, [0, 0, 0])
        total[0] += 1
        total[1] += cpu - cpu_before
        total[2] += switches - switches_before
    print(f"{label}: per thread over {seconds:g} s")
    print(f"  {'thread':<18} {'n':>3} {'CPU %':>7} {'wake-ups/s':>11}")
    rows = sorted(groups.items(), key=lambda item: -item[1][2])
    for name, (count, cpu, switches) in rows:
        print(f"  {name:<18} {count:>3} {100 * cpu / 1e9 / seconds:>7.2f} {switches / seconds:>11.1f}")
    cpu = sum(group[1] for group in groups.values())
    switches = sum(group[2] for group in groups.values())
    print(f"  {'the process':<18} {len(after):>3} {100 * cpu / 1e9 / seconds:>7.2f} "
          f"{switches / seconds:>11.1f}")
    if len(sys.argv) > 4:
        with open(sys.argv[4], "a") as totals:
            totals.write(f"{100 * cpu / 1e9 / seconds:.3f} {switches / seconds:.1f} {label}\n")


if __name__ == "__main__":
    main()
