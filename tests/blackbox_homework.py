#!/usr/bin/python3
"""Homework in the built trainer under xvfb-run: --homework-out in one data folder, practised by keys in a second
(killed once, then closed), --import into the first twice, answers counted with sqlite3. usage: blackbox_homework.py SKARVEL"""
import os, shutil, signal, sqlite3, stat, subprocess, sys, tempfile, time
from contextlib import closing

from trainerwindow import close, environment, press, start, wait

TITLE = "Pondrel - Skarvel – Hausaufgabe"
failures = []


def run(top, *arguments):
    return subprocess.run([sys.argv[1], *arguments], env=environment(top), capture_output=True, text=True, timeout=60)


def answers(path, where=""):
    with closing(sqlite3.connect(path)) as db:
        return db.execute("SELECT count(*) FROM answers a JOIN trainings t ON t.id = a.training_id " + where).fetchone()[0]


def practise(process, x, window, path, items, kill):
    """Key 1 answers with the left word, Return moves on; each answer is in the file at once."""
    before = answers(path)
    for item in range(1, items + 1):
        time.sleep(1)
        press(x, window, "1", "Return")
        if item == items and kill:
            break
        wait(lambda: answers(path) == before + item, f"answer {before + item} in the file")
    if kill:
        process.send_signal(signal.SIGKILL)
    else:
        close(x, window)
    process.wait(timeout=30)


practice, home = tempfile.mkdtemp(), tempfile.mkdtemp()
records = os.path.join(practice, "XDG_DATA_HOME", "skarvel", "skarvel.sqlite")
made = os.path.join(practice, "Hausaufgabe.skarvel")
result = run(practice, "--patient", "Frau Haus", "--homework-out", made)
if result.returncode != 0 or stat.S_IMODE(os.stat(made).st_mode) != 0o600:
    sys.exit(f"--homework-out: exit {result.returncode}, {result.stderr}")
with closing(sqlite3.connect(made)) as db:
    if db.execute("SELECT name FROM patients").fetchall() != [("Hausaufgabe",)]:
        failures.append("the file names the patient")
# The home computer has Skarvel's data folder (own lists, say), but no records.
os.makedirs(os.path.join(home, "XDG_DATA_HOME", "skarvel"))
carried = shutil.copy(made, home)

process, x, window = start([sys.argv[1], carried], home, TITLE)
practise(process, x, window, carried, 4, kill=True)
# The file alone, as a stick takes it away after the crash.
kept = answers(shutil.copy(carried, os.path.join(home, "alone.skarvel")))
if kept not in (3, 4) or os.path.exists(carried + "-wal"):
    failures.append(f"killed after 4 answers, {kept} kept in the file alone")
process, x, window = start([sys.argv[1], carried], home, TITLE)
practise(process, x, window, carried, 3, kill=False)
if answers(carried, "WHERE t.at_home = 1") != kept + 3:
    failures.append(f"{answers(carried)} answers at home after {kept} and 3 more")
if os.path.exists(os.path.join(home, "XDG_DATA_HOME", "skarvel", "skarvel.sqlite")) \
        or os.path.exists(os.path.join(home, "XDG_CONFIG_HOME", "Pondrel")):
    failures.append("the home computer's own records or settings were written")

for new in (kept + 3, 0):
    result = run(practice, "--import", carried)
    if result.returncode != 0 or not result.stdout.startswith(f"{new} neue Antwort"):
        failures.append(f"import of {new}: exit {result.returncode}, {result.stdout.strip()} {result.stderr.strip()}")
in_records = answers(records, "JOIN patients p ON p.id = t.patient_id WHERE p.name = 'Frau Haus' AND t.at_home = 1")
if in_records != kept + 3:
    failures.append(f"{in_records} answers in the practice's records, {kept + 3} given at home")
result = run(home, "--import", carried)
if result.returncode != 1 or "anderen Praxis" not in result.stderr:
    failures.append(f"another practice's import: exit {result.returncode}, {result.stderr.strip()}")
print("\n".join(failures) or f"{kept + 3} answers given at home (killed once), merged once")
sys.exit(1 if failures else 0)
