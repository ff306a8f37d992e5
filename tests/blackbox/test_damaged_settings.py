#!/usr/bin/python3
"""Starts the built trainer in a real X server once for every kind of damaged
settings the user's config directory can hold, waits for its window, closes
it as a window manager does and expects exit code 0 and the config directory
exactly as it was: starting and closing write nothing, so every key of the
file, damaged or not, must still be there, byte for byte, in the same file.

usage: test_damaged_settings.py <skarvel executable>"""

import os
import random
import shutil
import stat
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xsession import XSession  # noqa: E402

TITLE = "Pondrel - Skarvel"

# Keys the program knows, with sound values, and a section it does not know:
# each damaged file holds them besides its damage, so that a rewrite of the
# file would show as lost or changed keys.
SOUND = {"gameMethod": "1", "gameType": "0", "timeDelay": "2500", "fontSize": "18"}
FOREIGN = "[Notizen]\ntherapeutin=Frau M\xfcller\nstand=2024-05-06\n"


def settings_text(**damage):
    keys = dict(SOUND)
    keys.update(damage)
    lines = "".join(f"{key}={value}\n" for key, value in keys.items())
    return ("[General]\n" + lines + "\n" + FOREIGN).encode("utf-8")


def settings_path(config):
    return os.path.join(config, "Pondrel", "Skarvel.conf")


def write_settings(config, data):
    os.makedirs(os.path.dirname(settings_path(config)), exist_ok=True)
    with open(settings_path(config), "wb") as file:
        file.write(data)


def immutable_supported(directory):
    """Whether this file system lets root set the immutable attribute."""
    if os.geteuid() != 0 or shutil.which("chattr") is None:
        return False
    probe = os.path.join(directory, "probe")
    open(probe, "wb").close()
    ok = subprocess.run(["chattr", "+i", probe], stderr=subprocess.DEVNULL).returncode == 0
    if ok:
        subprocess.run(["chattr", "-i", probe], check=True)
    os.remove(probe)
    return ok


# Each case prepares a fresh config directory and returns a function that
# undoes what would keep the directory from being removed, or None. A case
# that cannot be set up here returns the reason as a string and is skipped.

def no_file(config):
    return None


def empty_file(config):
    write_settings(config, b"")


def random_bytes(config):
    write_settings(config, bytes(random.Random(1802).randrange(256) for _ in range(700)))


def game_type_text(config):
    write_settings(config, settings_text(gameType="Falschw\xf6rter"))


def negative_delay(config):
    write_settings(config, settings_text(gameMethod="2", timeDelay="-5"))


def huge_method(config):
    write_settings(config, settings_text(gameMethod="99999999999"))


def font_size(value):
    def case(config):
        write_settings(config, settings_text(fontSize=value))
    return case


def unreadable_file(config):
    if os.geteuid() == 0:
        # Root reads every file; a directory in the file's place is what
        # root cannot read as a settings file.
        os.makedirs(settings_path(config))
        with open(os.path.join(settings_path(config), "inhalt"), "wb") as file:
            file.write(b"gameType=0\n")
        return None
    write_settings(config, settings_text())
    os.chmod(settings_path(config), 0)
    return lambda: os.chmod(settings_path(config), 0o600)


def read_only_file(config):
    write_settings(config, settings_text(fontSize="22"))
    if os.geteuid() != 0:
        os.chmod(settings_path(config), 0o444)
        return None
    if not immutable_supported(config):
        return "the file system does not support the immutable attribute (chattr +i)"
    subprocess.run(["chattr", "+i", settings_path(config)], check=True)
    return lambda: subprocess.run(["chattr", "-i", settings_path(config)], check=True)


def config_dir_not_creatable(config):
    # A plain file where the organisation's directory would have to be.
    with open(os.path.join(config, "Pondrel"), "wb") as file:
        file.write(b"kein Verzeichnis\n")


CASES = [
    ("no file", no_file),
    ("empty file", empty_file),
    ("random bytes", random_bytes),
    ("gameType=Falschw\xf6rter", game_type_text),
    ("timeDelay=-5", negative_delay),
    ("gameMethod=99999999999", huge_method),
    ("fontSize=0", font_size("0")),
    ("fontSize=-3", font_size("-3")),
    ("fontSize=1000", font_size("1000")),
    ("unreadable file", unreadable_file),
    ("read-only file", read_only_file),
    ("config directory cannot be created", config_dir_not_creatable),
]


def snapshot(root):
    """Every file and directory under root: kind, permissions, inode,
    modification time and, for files, the bytes."""
    state = {}
    for directory, directories, files in os.walk(root):
        for name in directories + files:
            path = os.path.join(directory, name)
            info = os.lstat(path)
            entry = (stat.S_IFMT(info.st_mode), stat.S_IMODE(info.st_mode), info.st_ino,
                     info.st_mtime_ns)
            if stat.S_ISREG(info.st_mode):
                try:
                    with open(path, "rb") as file:
                        entry += (file.read(),)
                except OSError:
                    entry += (None,)
            state[os.path.relpath(path, root)] = entry
    return state


def keys_of(data):
    """The key=value lines of a settings file, for a readable report."""
    if not data:
        return set()
    return {line.strip() for line in data.decode("utf-8", "replace").splitlines() if "=" in line}


def describe_changes(before, after):
    changes = []
    for path in sorted(set(before) | set(after)):
        if path not in after:
            changes.append(f"{path} was removed")
        elif path not in before:
            changes.append(f"{path} was created")
        elif before[path] != after[path]:
            old, new = before[path], after[path]
            what = []
            if old[:2] != new[:2]:
                what.append("kind or permissions")
            if old[2] != new[2]:
                what.append("inode (the file was replaced)")
            if old[3] != new[3]:
                what.append("modification time")
            if len(old) > 4 and len(new) > 4 and old[4] != new[4]:
                lost = keys_of(old[4]) - keys_of(new[4])
                what.append("contents" + (f", lost {sorted(lost)}" if lost else ""))
            changes.append(f"{path} changed: {', '.join(what)}")
    return changes


def run_case(session, program, name, prepare):
    # Qt's runtime directory lies outside the config directory, so that only
    # the program's own traces would show there.
    with tempfile.TemporaryDirectory() as config, tempfile.TemporaryDirectory() as runtime:
        undo = prepare(config)
        if isinstance(undo, str):
            print(f"SKIP {name}: {undo}")
            return []
        try:
            before = snapshot(config)
            process, window, output = session.launch(
                program, TITLE, XDG_CONFIG_HOME=config, XDG_RUNTIME_DIR=runtime)
            if window is None:
                return [f"{name}: no window titled {TITLE!r}\n{output}"]
            code, output = session.close_program(process, window, timeout=60)
            if code is None:
                return [f"{name}: the program did not end after its window was closed"]
            failures = []
            if code != 0:
                failures.append(f"{name}: exit code {code}, expected 0\n{output}")
            failures += [f"{name}: {change}" for change in describe_changes(before, snapshot(config))]
            print(f"{'ok  ' if not failures else 'FAIL'} {name}")
            if output.strip():
                print("     " + output.strip().replace("\n", "\n     "))
            return failures
        finally:
            if callable(undo):
                undo()


def main():
    program = os.path.abspath(sys.argv[1])
    failures = []
    session = XSession()
    try:
        for name, prepare in CASES:
            failures += run_case(session, program, name, prepare)
    finally:
        session.close()
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
