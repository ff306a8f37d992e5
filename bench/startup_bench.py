#!/usr/bin/python3
"""Start-up time and peak memory of skarvel beside an empty main window.

Both programs run alternately in one Xvfb, each several times with a fresh
configuration. The time runs from just before the process starts until the X
server reports its top-level window mapped: the root window's
SubstructureNotify is selected before the start, so the MapNotify event is
seen as it happens rather than found by polling. Prints the medians and the
ratios skarvel / empty window.

usage: startup_bench.py SKARVEL EMPTYWINDOW [RUNS] [-- SKARVEL ARGUMENTS]
A settings file named by SKARVEL_BENCH_SETTINGS is copied into every fresh
configuration of skarvel (to start it with speech on, say). With
SKARVEL_BENCH_PRESENTATION=N the key presentation=N is added to it, and the
first item comes from a group with pictures ("Obst", "Falschwörter"), so that
a picture is drawn before the window maps:
  SKARVEL_BENCH_PRESENTATION=1 bench/startup_bench.py build/app/skarvel build/bench/emptywindow"""

import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

from Xlib import X, display


def start_xvfb():
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
                               "-nolisten", "tcp"], pass_fds=(write_end,),
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        return server, ":" + pipe.readline().strip()


def peak_rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        return next(int(line.split()[1]) for line in status if line.startswith("VmHWM:"))


def measure(x, name, command, settings=None):
    root = x.screen().root
    with tempfile.TemporaryDirectory() as config:
        if settings:
            os.makedirs(os.path.join(config, "Pondrel"))
            shutil.copy(settings, os.path.join(config, "Pondrel", "Skarvel.conf"))
        env = dict(os.environ, DISPLAY=name, XDG_CONFIG_HOME=config, XDG_DATA_HOME=config)
        env.pop("QT_QPA_PLATFORM", None)
        while x.pending_events():
            x.next_event()
        start = time.monotonic()
        process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = start + 60
        window = None
        while window is None and time.monotonic() < deadline:
            event = x.next_event()
            if event.type == X.MapNotify and event.event == root:
                window = event.window
        elapsed = time.monotonic() - start
        if window is None:
            process.kill()
            raise RuntimeError(f"{command[0]}: no window")
        time.sleep(0.3)  # the first paint, before reading the peak
        rss = peak_rss_kib(process.pid)
        process.terminate()
        process.wait(timeout=30)
        return elapsed, rss


def main():
    args = sys.argv[1:]
    extra = args[args.index("--") + 1:] if "--" in args else []
    args = args[:args.index("--")] if "--" in args else args
    skarvel, empty = [args[0]] + extra, [args[1]]
    runs = int(args[2]) if len(args) > 2 else 15
    settings = os.environ.get("SKARVEL_BENCH_SETTINGS")
    presentation = os.environ.get("SKARVEL_BENCH_PRESENTATION")
    if presentation is not None:
        lines = open(settings, encoding="utf-8").read() if settings else "[General]\n"
        lines += f"presentation={int(presentation)}\ngameType=0\nwordGroup=Obst\n"
        merged = tempfile.NamedTemporaryFile("w", suffix=".conf", delete=False, encoding="utf-8")
        merged.write(lines)
        merged.close()
        settings = merged.name
    server, name = start_xvfb()
    results = {"skarvel": [], "empty": []}
    try:
        x = display.Display(name)
        x.screen().root.change_attributes(event_mask=X.SubstructureNotifyMask)
        x.sync()
        measure(x, name, skarvel, settings)  # warms the file cache for both
        measure(x, name, empty)
        for _ in range(runs):
            results["skarvel"].append(measure(x, name, skarvel, settings))
            results["empty"].append(measure(x, name, empty))
    finally:
        server.terminate()
        server.wait(timeout=10)

    t_s, r_s = (statistics.median(v) for v in zip(*results["skarvel"]))
    t_e, r_e = (statistics.median(v) for v in zip(*results["empty"]))
    print(f"runs each: {runs}" + (f", presentation {presentation}" if presentation is not None else ""))
    print(f"skarvel:      {t_s * 1000:7.1f} ms to mapped window, peak RSS {r_s / 1024:6.1f} MiB")
    print(f"empty window: {t_e * 1000:7.1f} ms to mapped window, peak RSS {r_e / 1024:6.1f} MiB")
    print(f"ratio time {t_s / t_e:.2f}, ratio memory {r_s / r_e:.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
