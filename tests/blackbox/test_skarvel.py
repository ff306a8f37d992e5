#!/usr/bin/python3
"""Starts the built trainer in a real X server with an empty configuration,
waits for its window, checks its size, saves a screenshot, closes it as a
window manager does and expects a clean exit that wrote no training setting.

usage: test_skarvel.py <skarvel executable> <screenshot.png>"""

import configparser
import os
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
            process, window, output = session.launch(program, TITLE, XDG_CONFIG_HOME=config)
            if window is None:
                print(output)
                print(f"FAIL: no window titled {TITLE!r}")
                return 1
            size = session.geometry(window)
            if size != (800, 530):
                failures.append(f"window size {size}, expected (800, 530)")
            session.screenshot(screenshot, window)
            print(f"screenshot: {screenshot}")

            code, output = session.close_program(process, window)
            if code is None:
                print("FAIL: the program did not end after its window was closed")
                return 1
            if output.strip():
                print(output)
            if code != 0:
                failures.append(f"exit code {code}, expected 0")

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
