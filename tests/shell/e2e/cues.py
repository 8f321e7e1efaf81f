#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Finds the cues in a recording of the sound server's output.
#
# Usage: cues.py RECORDING START_BYTE
# RECORDING is raw signed 16-bit little-endian mono at 44,100 Hz; START_BYTE is where the
# recording stood when the mouse was pressed. Prints, in milliseconds after that point,
# the start of the first loud sound and of the first loud low sound after it that fills
# most of 120 ms (a block hit: the bar's knock and the falling end of the shot's own
# sweep are far shorter), or "none". Exits 1 when nothing loud follows the press.
import struct
import sys

RATE = 44100
WINDOW = RATE // 100  # 10 ms
LOUD = 3000  # RMS of a window, out of 32767
ONSET = 1500  # the first sample this far from silence starts a cue
LOW_HZ = 300  # a low cue's windows cross zero at most this often, per second
LOW_SPAN = 12  # windows looked at from a low cue's start: 120 ms
LOW_NEEDED = 8  # of which at least this many are loud and low


def windows(samples):
    for start in range(0, len(samples) - WINDOW + 1, WINDOW):
        part = samples[start:start + WINDOW]
        rms = (sum(s * s for s in part) / WINDOW) ** 0.5
        crossings = sum(1 for a, b in zip(part, part[1:]) if (a < 0) != (b < 0))
        yield rms, crossings * 100 / 2  # crossings per 10 ms -> Hz


with open(sys.argv[1], "rb") as recording:
    recording.seek(int(sys.argv[2]) // 2 * 2)
    data = recording.read()
samples = struct.unpack(f"<{len(data) // 2}h", data[:len(data) // 2 * 2])
measured = list(windows(samples))
loud = next((i for i, (rms, _) in enumerate(measured) if rms > LOUD), None)
if loud is None:
    sys.exit("none none")
onset = next(i for i, s in enumerate(samples) if abs(s) > ONSET)
low_and_loud = [rms > LOUD and hertz <= LOW_HZ for rms, hertz in measured]
low = next((i for i in range(loud + 1, len(measured))
            if low_and_loud[i] and sum(low_and_loud[i:i + LOW_SPAN]) >= LOW_NEEDED), None)
print(onset * 1000 // RATE, "none" if low is None else low * 10)

