#!/usr/bin/python3
"""The built trainer under xvfb-run with --patient, answering by keyboard: each
answer is in the file as soon as "Weiter" is pressed; killed with SIGKILL right
after the last one, the file keeps every answer but perhaps that one, passes
SQLite's integrity check and opens again as it is, also to a renamed program file.
usage: blackbox_records.py SKARVEL"""
import os
import shutil
import signal
import sqlite3
import subprocess
import sys
import tempfile
import time

from Xlib import X, XK, display, protocol
from Xlib.ext import xtest

ITEMS = 6
started = []
TITLE = "Pondrel - Skarvel – Frau Kill"


def wait(condition, what):
    for _ in range(400):
        if result := condition():
            return result
        time.sleep(0.05)
    for process in started:
        process.kill()
    sys.exit(f"no {what}")


def start(program, top):
    env = dict(os.environ, **{name: os.path.join(top, name) for name in ("XDG_CONFIG_HOME", "XDG_DATA_HOME", "HOME")})
    # On the X server xvfb-run started, whatever platform the caller's environment names.
    process = subprocess.Popen([program, "--patient", "Frau Kill"],
                               env=dict(env, XDG_RUNTIME_DIR=top, QT_QPA_PLATFORM="xcb"))
    started.append(process)
    x = display.Display()
    window = wait(lambda: [w for w in x.screen().root.query_tree().children
                           if w.get_full_property(x.intern_atom("_NET_WM_NAME"), 0)
                           and w.get_full_property(x.intern_atom("_NET_WM_NAME"), 0).value.decode() == TITLE
                           and w.get_attributes().map_state == X.IsViewable], "window titled " + TITLE)[0]
    return process, x, window


def keys(x, window, *names):
    window.set_input_focus(X.RevertToParent, X.CurrentTime)
    for name in names:
        code = x.keysym_to_keycode(XK.string_to_keysym(name))
        for kind in (X.KeyPress, X.KeyRelease):
            xtest.fake_input(x, kind, code)
        x.sync()
        time.sleep(0.05)


def query(path, sql):
    db = sqlite3.connect(path)
    try:
        return db.execute(sql).fetchall()
    finally:
        db.close()


top = tempfile.mkdtemp()
os.chmod(top, 0o700)
path = os.path.join(top, "XDG_DATA_HOME", "skarvel", "skarvel.sqlite")
process, x, window = start(sys.argv[1], top)
# Key 1 answers with the left word, Return moves on once the item has been on
# screen long enough to be seen.
for item in range(1, ITEMS + 1):
    time.sleep(1)
    keys(x, window, "1", "Return")
    if item == ITEMS:
        process.send_signal(signal.SIGKILL)
        break
    wait(lambda: query(path, "SELECT count(*) FROM answers")[0][0] == item, f"answer {item} in the file")
process.wait()

failures = [f"integrity check: {check}" for (check,) in query(path, "PRAGMA integrity_check") if check != "ok"]
kept = query(path, "SELECT count(*) FROM answers a JOIN trainings t ON t.id = a.training_id JOIN patients p"
                   " ON p.id = t.patient_id WHERE p.name = 'Frau Kill' AND t.ended >= t.started"
                   " AND a.first_choice IS NOT NULL")[0][0]
if kept not in (ITEMS - 1, ITEMS):
    failures.append(f"{kept} of {ITEMS} answers kept")
# Again as a versioned program file: the records are where they were.
renamed = os.path.join(top, "skarvel-1.0")
shutil.copy(sys.argv[1], renamed)
process, x, window = start(renamed, top)
window.send_event(protocol.event.ClientMessage(window=window, client_type=x.intern_atom("WM_PROTOCOLS"), data=(
    32, [x.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0])))
x.flush()
if process.wait(timeout=30) != 0 or sorted(os.listdir(os.path.dirname(path))) != ["Sicherungen", "skarvel.sqlite"]:
    failures.append("the killed file did not open again as it was")
# The day's copy, made once, for the user alone.
copies = os.listdir(os.path.join(os.path.dirname(path), "Sicherungen"))
if len(copies) != 1 or os.stat(os.path.join(os.path.dirname(path), "Sicherungen", copies[0])).st_mode & 0o077:
    failures.append(f"not one private daily copy but {copies}")
if os.listdir(os.path.join(top, "XDG_DATA_HOME")) != ["skarvel"]:
    failures.append("the renamed program looked for its records elsewhere")
print("\n".join(failures) or f"killed after {ITEMS} answers, {kept} kept; the file opens again")
sys.exit(1 if failures else 0)
