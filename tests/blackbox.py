#!/usr/bin/python3
"""The built trainer under xvfb-run, started on no settings and on damaged ones
and closed as a window manager does: each run shows the window, exits with
code 0 and leaves the settings as they were.  usage: blackbox.py SKARVEL"""
import os
import subprocess
import sys
import tempfile
import time

from Xlib import X, display, protocol

CASES = {"no file": None, "empty": b"", "random bytes": bytes(range(256)) * 3,
         "type as text": "gameType=Falschwörter\n".encode(), "negative delay": b"gameMethod=2\ntimeDelay=-5\n",
         "huge font": b"fontSize=1000\n", "not UTF-8": b"[Notizen]\nname=M\xfcller\n", "directory blocked": b"x"}


def files(top):
    return {os.path.join(path, name): open(os.path.join(path, name), "rb").read()
            for path, _, names in os.walk(top) for name in names}


def run(program, case, contents, config):
    if contents is not None:
        directory = os.path.join(config, "Pondrel")
        os.makedirs(config if case == "directory blocked" else directory, exist_ok=True)
        with open(directory if case == "directory blocked" else os.path.join(directory, "Skarvel.conf"), "wb") as file:
            file.write(contents)
    before, x = files(config), display.Display()
    # On the X server xvfb-run started, whatever platform the caller's environment names.
    process = subprocess.Popen([program], env=dict(os.environ, XDG_CONFIG_HOME=config, QT_QPA_PLATFORM="xcb"))
    for _ in range(600):
        windows = [w for w in x.screen().root.query_tree().children
                   if w.get_wm_name() == "Pondrel - Skarvel" and w.get_attributes().map_state == X.IsViewable]
        if windows or process.poll() is not None:
            break
        time.sleep(0.05)
    if not windows:
        process.kill()
        return f"{case}: no window"
    close = [x.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0]
    windows[0].send_event(protocol.event.ClientMessage(window=windows[0], client_type=x.intern_atom("WM_PROTOCOLS"),
                                                       data=(32, close)))
    x.flush()
    code = process.wait(timeout=30)
    return None if code == 0 and files(config) == before else f"{case}: exit code {code}, settings changed"


failures = [failure for case, contents in CASES.items() if (failure := run(sys.argv[1], case, contents, tempfile.mkdtemp()))]
print("\n".join(failures) or f"{len(CASES)} starts and closes in Xvfb")
sys.exit(1 if failures else 0)
