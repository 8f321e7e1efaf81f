#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Copies a recording from standard input to RECORDING and notes, for every piece
that arrives, the monotonic time of its arrival and the recording's size after it.

Usage: parec ... | stamp_audio.py RECORDING STAMPS
STAMPS gets one line per piece: "<CLOCK_MONOTONIC ns> <bytes so far>".
"""
import os
import sys
import time


def main():
    total = 0
    with open(sys.argv[1], "wb") as recording, open(sys.argv[2], "w") as stamps:
        while True:
            piece = os.read(0, 65536)
            now = time.clock_gettime_ns(time.CLOCK_MONOTONIC)
            if not piece:
                break
            recording.write(piece)
            recording.flush()
            total += len(piece)
            stamps.write(f"{now} {total}\n")
            stamps.flush()


if __name__ == "__main__":
    main()
