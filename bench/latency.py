#!/usr/bin/env python3
"""The presses of bench/latency.sh and the figures of its runs.

    latency.py press WRITES UNDERFLOWS SERVER_LOG PRESSES
                                                  presses End, X and Home in turn through XTest and
                                                  prints one run's figures from the write log and
                                                  the underflow log (bench/pa_write_log.c) and the
                                                  server's log ("-": a server without one)
    latency.py summary OUTPUT                     the medians over the rounds of latency.sh's
                                                  OUTPUT, as a table

Key to mix: from just before the press is sent to the hand-over of the first block holding the
click. Speech to ear: from the X press to the moment the server plays the readout's first sample,
which is the hand-over of its block plus what the stream reported waiting before it, plus the
sample's place in the block. Underruns: as the server logged them; underflows: as the server told
the stream, which PulseAudio and PipeWire both do."""
import ctypes
import os
import random
import re
import sys
import time

XK_HOME, XK_END, XK_X = 0xFF50, 0xFF57, 0x0078


def pick(values, q):
    values = sorted(values)
    return values[min(len(values) - 1, int(q * (len(values) - 1) + 0.5))]


def lines_from(path, start):
    if path == "-" or not os.path.exists(path):
        return []
    with open(path, errors="replace") as f:
        f.seek(start)
        return f.readlines()


def size_of(path):
    return os.path.getsize(path) if path != "-" and os.path.exists(path) else 0


def press(writes, underflow_log, server_log, presses):
    x11 = ctypes.CDLL("libX11.so.6")
    xtst = ctypes.CDLL("libXtst.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                       ctypes.c_ulong]
    display = x11.XOpenDisplay(None)
    if not display:
        raise SystemExit("cannot open the display")
    # A click, a readout, a click, each after a pause (random, so that it falls anywhere in the
    # mixer's period) long enough for the sound before it to have ended.
    keys = [("click", XK_END, (0.15, 0.35)), ("speech", XK_X, (0.15, 0.35)),
            ("click", XK_HOME, (0.9, 1.2))]
    rng = random.Random(14)
    log_from, underflows_from = size_of(server_log), size_of(underflow_log)
    pressed = []
    for n in range(presses):
        kind, sym, pause = keys[n % len(keys)]
        time.sleep(rng.uniform(*pause))
        code = x11.XKeysymToKeycode(display, sym)
        t0 = time.monotonic()
        xtst.XTestFakeKeyEvent(display, code, 1, 0)
        x11.XFlush(display)
        pressed.append((kind, t0))
        time.sleep(0.06)
        xtst.XTestFakeKeyEvent(display, code, 0, 0)
        x11.XFlush(display)
    time.sleep(1.2)
    logged = lines_from(server_log, log_from)
    underruns = ("%d" % sum("Actual underrun" in l or "Implicit underrun" in l for l in logged)
                 if server_log != "-" else "-")
    underflows = len(lines_from(underflow_log, underflows_from))
    buffer = [l.split("]", 1)[-1].strip() for l in lines_from(server_log, 0)
              if "Final latency" in l or "Requested tlength" in l][-2:]

    blocks = []
    with open(writes) as f:
        for line in f:
            t, size, first, latency, rate, frame = line.split()
            blocks.append((float(t), int(size), int(first), int(latency), int(rate), int(frame)))
    figures = {"click": [], "speech": []}
    skipped = 0
    for kind, t0 in pressed:
        before = [b for b in blocks if b[0] <= t0]
        if before and before[-1][2] >= 0:
            skipped += 1  # the sound before it still playing: its own cannot be told apart
            continue
        block = next((b for b in blocks if b[0] > t0 and b[2] >= 0), None)
        if block is None:
            skipped += 1
            continue
        t, size, first, latency, rate, frame = block
        mixed = (t - t0) * 1000
        if kind == "click":
            figures["click"].append(mixed)
        elif latency >= 0 and rate and frame:
            figures["speech"].append(mixed + latency / 1000 + first // frame * 1000 / rate)
    clicks, speech = figures["click"], figures["speech"]
    if not clicks or not speech:
        raise SystemExit("no press was measured")
    print("result: key to mix n=%d p50 %.2f p99 %.2f max %.2f ms; speech to ear n=%d p50 %.2f "
          "p99 %.2f max %.2f ms; underruns %s; underflows %d; not measured %d; server: %s"
          % (len(clicks), pick(clicks, 0.5), pick(clicks, 0.99), max(clicks), len(speech),
             pick(speech, 0.5), pick(speech, 0.99), max(speech), underruns, underflows, skipped,
             " / ".join(buffer)))


def summary(output):
    runs, current = {}, None
    with open(output) as f:
        for line in f:
            m = re.match(r"run: setting (\S+), load (\S+), round (\d+), (?:server (\S+), )?"
                         r"load average: ([\d.]+)", line)
            if m:
                current = (m.group(4) or "pulseaudio", m.group(1), m.group(2))
                runs.setdefault(current, []).append({"load": float(m.group(5))})
                continue
            m = re.match(r"result: key to mix n=\d+ p50 ([\d.]+) p99 ([\d.]+) max [\d.]+ ms; "
                         r"speech to ear n=\d+ p50 ([\d.]+) p99 ([\d.]+) max [\d.]+ ms; "
                         r"underruns ([\d-]+)(?:; underflows (\d+))?", line)
            if m and current:
                runs[current][-1].update(key50=float(m.group(1)), key99=float(m.group(2)),
                                         ear50=float(m.group(3)), ear99=float(m.group(4)),
                                         underruns=m.group(5), underflows=m.group(6) or "-")
    print("| server | periods | CPU | runs | load (1 min) | key to mix p50 / p99 ms | "
          "speech to ear p50 / p99 ms | underruns logged (each run) | underflows told |")
    print("|---|---|---|---|---|---|---|---|---|")
    for (server, setting, load), rs in runs.items():
        rs = [r for r in rs if "key50" in r]
        if not rs:
            continue
        med = lambda k: pick([r[k] for r in rs], 0.5)
        print("| %s | %s | %s | %d | %.1f-%.1f | %.1f / %.1f | %.1f / %.1f | %s | %s |"
              % (server, setting.replace("x", " × "), "hog on both cores" if load == "hog" else "no hog",
                 len(rs), min(r["load"] for r in rs), max(r["load"] for r in rs), med("key50"),
                 med("key99"), med("ear50"), med("ear99"),
                 ", ".join(r["underruns"] for r in rs), ", ".join(r["underflows"] for r in rs)))


if __name__ == "__main__":
    if sys.argv[1] == "press":
        press(sys.argv[2], sys.argv[3], sys.argv[4], int(sys.argv[5]))
    else:
        summary(sys.argv[2])
