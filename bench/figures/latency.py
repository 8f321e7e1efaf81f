#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Click-to-sound latencies from one run of the program.

Usage: latency.py SHOTS RECORDING STAMPS
SHOTS is what the end-to-end driver's watch_shots writes, with a line "clicked at T ns"
(CLOCK_MONOTONIC) for every click; RECORDING is the
sound server's output, raw signed 16-bit mono at 44,100 Hz; STAMPS has a line
"T BYTES" for every piece of the recording as it arrived (stamp_audio.py).
"""
import bisect
import struct
import sys

ONSET = 1500  # a sample this far from silence starts a cue


def read_clicks(path):
    return [int(line.split()[2]) for line in open(path) if line.startswith("clicked at ")]


def main():
    presses = read_clicks(sys.argv[1])
    data = open(sys.argv[2], "rb").read()
    samples = struct.unpack(f"<{len(data) // 2}h", data[:len(data) // 2 * 2])
    stamps = [tuple(map(int, line.split())) for line in open(sys.argv[3])]
    arrivals = [t for t, _ in stamps]

    def arrival(index):
        # The server mixes a piece's samples at once, ahead of their time: the arrival
        # of the piece holding a sample is all that bounds when the sample reached it.
        return next(t for t, end in stamps if end > index * 2)

    for number, pressed in enumerate(presses, 1):
        # Everything that had arrived by the press was played before it.
        first = bisect.bisect_right(arrivals, pressed) - 1
        start = stamps[first][1] // 2 if first >= 0 else 0
        onset = next((i for i in range(start, len(samples)) if abs(samples[i]) > ONSET), None)
        sound = "never" if onset is None else f"{(arrival(onset) - pressed) / 1e6:.1f} ms"
        print(f"click {number}: shot cue at the server within {sound}")


if __name__ == "__main__":
    main()
