#!/usr/bin/python3
"""Starts the built trainer in a real X server with an empty configuration,
waits for its window, checks its size, saves a screenshot, closes it as a
window manager does and expects a clean exit that wrote no training setting.

usage: test_skarvel.py <skarvel executable> <screenshot.png>"""

import configparser
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xsession import XSession  # noqa: E402

TITLE = "Pondrel - Skarvel"


def main():
    program, screenshot = sys.argv[1], sys.argv[2]
    failures = []
    session = XSession()
    with tempfile.TemporaryDirectory() as config:
        try:
            process = subprocess.Popen(
                [program], env=session.environment(XDG_CONFIG_HOME=config),
                stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
            window = session.find_window(TITLE)
            if window is None:
                process.kill()
                print(process.communicate()[0].decode(errors="replace"))
                print(f"FAIL: no window titled {TITLE!r}")
                return 1
            size = session.geometry(window)
            if size != (800, 530):
                failures.append(f"window size {size}, expected (800, 530)")
            session.screenshot(screenshot, window)
            print(f"screenshot: {screenshot}")

            session.request_close(window)
            try:
                output = process.communicate(timeout=30)[0].decode(errors="replace")
            except subprocess.TimeoutExpired:
                process.kill()
                print("FAIL: the program did not end after its window was closed")
                return 1
            if output.strip():
                print(output)
            if process.returncode != 0:
                failures.append(f"exit code {process.returncode}, expected 0")

            settings = os.path.join(config, "Pondrel", "Skarvel.conf")
            if os.path.exists(settings):
                parser = configparser.ConfigParser()
                parser.optionxform = str
                parser.read(settings, encoding="utf-8")
                written = [key for section in parser.sections() for key in parser[section]]
                for key in ("gameMethod", "gameType", "timeDelay"):
                    if key in written:
                        failures.append(f"start and close wrote {key}")
        finally:
            session.close()

    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
