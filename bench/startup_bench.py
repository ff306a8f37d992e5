#!/usr/bin/python3
"""Start-up time and peak memory of skarvel beside an empty main window.

Runs both programs alternately in one Xvfb, each several times with a fresh
configuration, and measures the time from process start until its window is
mapped and the peak resident memory (VmHWM) once the window is up. Prints the
medians and the ratios skarvel / empty window (target: at most 1.2 each).

usage: startup_bench.py <skarvel> <emptywindow> [runs]"""

import os
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "blackbox"))
from xsession import XSession  # noqa: E402

TITLE = "Pondrel - Skarvel"


def peak_rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    raise RuntimeError("no VmHWM")


def measure(session, program):
    with tempfile.TemporaryDirectory() as config:
        start = time.monotonic()
        process = subprocess.Popen([program], env=session.environment(XDG_CONFIG_HOME=config),
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        window = session.find_window(TITLE, timeout=60)
        elapsed = time.monotonic() - start
        if window is None:
            process.kill()
            raise RuntimeError(f"{program}: no window")
        time.sleep(0.3)  # let the first paint settle before reading the peak
        rss = peak_rss_kib(process.pid)
        session.request_close(window)
        process.wait(timeout=30)
        return elapsed, rss


def main():
    skarvel, empty = sys.argv[1], sys.argv[2]
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 15
    session = XSession()
    results = {skarvel: [], empty: []}
    try:
        measure(session, skarvel)  # warm the file cache for both
        measure(session, empty)
        for _ in range(runs):
            for program in (skarvel, empty):
                results[program].append(measure(session, program))
    finally:
        session.close()

    def medians(program):
        times = [t for t, _ in results[program]]
        rss = [r for _, r in results[program]]
        return statistics.median(times), statistics.median(rss)

    t_s, r_s = medians(skarvel)
    t_e, r_e = medians(empty)
    print(f"runs each: {runs}")
    print(f"skarvel:      {t_s * 1000:7.1f} ms to mapped window, peak RSS {r_s / 1024:6.1f} MiB")
    print(f"empty window: {t_e * 1000:7.1f} ms to mapped window, peak RSS {r_e / 1024:6.1f} MiB")
    print(f"ratio time {t_s / t_e:.2f}, ratio memory {r_s / r_e:.2f} (target <= 1.2 each)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
