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
import sys
import tempfile
import time

from trainerwindow import close, press, start, wait

ITEMS = 6
TITLE = "Pondrel - Skarvel – Frau Kill"


def query(path, sql):
    db = sqlite3.connect(path)
    try:
        return db.execute(sql).fetchall()
    finally:
        db.close()


top = tempfile.mkdtemp()
os.chmod(top, 0o700)
path = os.path.join(top, "XDG_DATA_HOME", "skarvel", "skarvel.sqlite")
process, x, window = start([sys.argv[1], "--patient", "Frau Kill"], top, TITLE)
# Key 1 answers with the left word, Return moves on once the item has been on
# screen long enough to be seen.
for item in range(1, ITEMS + 1):
    time.sleep(1)
    press(x, window, "1", "Return")
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
process, x, window = start([renamed, "--patient", "Frau Kill"], top, TITLE)
close(x, window)
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
