#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Click-to-screen and click-to-sound latencies from one run of the program.

Usage: latency.py TRACE RECORDING STAMPS
TRACE is the program's standard error with ZARPETA_TRACE set ("zarpeta-trace press T"
and "zarpeta-trace paint T SHOT_PIXELS", CLOCK_MONOTONIC nanoseconds); RECORDING is the
sound server's output, raw signed 16-bit mono at 44,100 Hz; STAMPS has a line
"T BYTES" for every piece of the recording as it arrived (stamp_audio.py).
"""
import bisect
import struct
import sys

ONSET = 1500  # a sample this far from silence starts a cue


def read_trace(path):
    presses, paints = [], []
    for line in open(path, errors="replace"):
        words = line.split()
        if words[:2] == ["zarpeta-trace", "press"]:
            presses.append(int(words[2]))
        elif words[:2] == ["zarpeta-trace", "paint"]:
            paints.append((int(words[2]), int(words[3])))
    return presses, paints


def main():
    presses, paints = read_trace(sys.argv[1])
    data = open(sys.argv[2], "rb").read()
    samples = struct.unpack(f"<{len(data) // 2}h", data[:len(data) // 2 * 2])
    stamps = [tuple(map(int, line.split())) for line in open(sys.argv[3])]
    arrivals = [t for t, _ in stamps]

    def arrival(index):
        # The server mixes a piece's samples at once, ahead of their time: the arrival
        # of the piece holding a sample is all that bounds when the sample reached it.
        return next(t for t, end in stamps if end > index * 2)

    for number, pressed in enumerate(presses, 1):
        shown = next((t for t, lane in paints if t >= pressed and lane > 0), None)
        screen = "never" if shown is None else f"{(shown - pressed) / 1e6:.1f} ms"
        # Everything that had arrived by the press was played before it.
        first = bisect.bisect_right(arrivals, pressed) - 1
        start = stamps[first][1] // 2 if first >= 0 else 0
        onset = next((i for i in range(start, len(samples)) if abs(samples[i]) > ONSET), None)
        sound = "never" if onset is None else f"{(arrival(onset) - pressed) / 1e6:.1f} ms"
        print(f"click {number}: shot on screen after {screen}, shot cue at the server within {sound}")


if __name__ == "__main__":
    main()
