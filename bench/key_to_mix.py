#!/usr/bin/env python3
"""Presses End and Home in turn through XTest, PRESSES times at random moments, and measures from
each press to the wave writer having the period with the knob's click (see key_to_mix.sh).

    key_to_mix.py OUT.WAV PRESSES

The file's size is read in a busy loop for 60 ms after each press; the writer writes each period
as soon as it is mixed, so the first size past the click's first sample is the moment that period
was mixed, give or take the time since the poll before it (the error bar of that press). Prints
every press and the median, 90th and 99th percentiles, of the time and of its error bar."""
import ctypes
import os
import random
import struct
import sys
import time

X11 = ctypes.CDLL("libX11.so.6")
XTST = ctypes.CDLL("libXtst.so.6")
X11.XOpenDisplay.restype = ctypes.c_void_p
X11.XOpenDisplay.argtypes = [ctypes.c_char_p]
X11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
X11.XFlush.argtypes = [ctypes.c_void_p]
XTST.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]

XK_HOME, XK_END = 0xFF50, 0xFF57
FRAME_BYTES = 8 * 4  # 7.1, float
WATCH = 0.060


def data_offset(path):
    with open(path, "rb") as f:
        head = f.read(256)
    at = head.find(b"data")
    if at < 0:
        raise SystemExit("no data chunk in " + path)
    return at + 8


def first_sound(path, start_byte, offset):
    """The byte offset of the first frame at or after start_byte with any sample not zero."""
    with open(path, "rb") as f:
        f.seek(start_byte)
        data = f.read()
    usable = len(data) - len(data) % FRAME_BYTES
    values = struct.unpack("<%df" % (usable // 4), data[:usable])
    for i, v in enumerate(values):
        if v != 0.0:
            frame_start = start_byte + (i * 4) // FRAME_BYTES * FRAME_BYTES
            return frame_start
    return None


def main():
    path, presses = sys.argv[1], int(sys.argv[2])
    display = X11.XOpenDisplay(None)
    if not display:
        raise SystemExit("cannot open the display")
    keys = [X11.XKeysymToKeycode(display, XK_END), X11.XKeysymToKeycode(display, XK_HOME)]
    offset = data_offset(path)
    rng = random.Random(14)
    results, errors = [], []
    for n in range(presses):
        time.sleep(rng.uniform(0.15, 0.35))
        size_before = os.stat(path).st_size
        t0 = time.monotonic()
        XTST.XTestFakeKeyEvent(display, keys[n % 2], 1, 0)
        X11.XFlush(display)
        polls = []
        while True:
            t = time.monotonic()
            polls.append((t, os.stat(path).st_size))
            if t - t0 > WATCH:
                break
        XTST.XTestFakeKeyEvent(display, keys[n % 2], 0, 0)
        X11.XFlush(display)
        # Frames written before the press cannot hold its click.
        start = max(offset, size_before - (size_before - offset) % FRAME_BYTES)
        click = first_sound(path, start, offset)
        if click is None:
            print("press %d: no click heard" % n)
            continue
        at = next((i for i, (t, size) in enumerate(polls) if size > click), None)
        if at is None:
            print("press %d: the click came after %.0f ms" % (n, WATCH * 1000))
            continue
        mixed = polls[at][0]
        before = polls[at - 1][0] if at > 0 else t0
        results.append((mixed - t0) * 1000)
        errors.append((mixed - before) * 1000)
        print("press %d: %.2f ms (-%.2f ms)" % (n, results[-1], errors[-1]))
    if not results:
        raise SystemExit("no press was measured")
    results.sort()
    errors.sort()
    pick = lambda v, q: v[min(len(v) - 1, int(q * (len(v) - 1) + 0.5))]
    print("key to period mixed over %d presses: median %.2f ms, p90 %.2f ms, p99 %.2f ms, max %.2f ms"
          % (len(results), pick(results, 0.5), pick(results, 0.9), pick(results, 0.99), results[-1]))
    print("error bar (time since the poll before): median %.3f ms, p99 %.3f ms, max %.3f ms"
          % (pick(errors, 0.5), pick(errors, 0.99), errors[-1]))


main()
