#!/usr/bin/python3
"""The built trainer under xvfb-run against a PostgreSQL server of the run's own, set up with --setup-server and
its printed roles: two therapists record at once by keys with --records, then the server is killed with SIGKILL
mid-training and started again; counted with psql, every answer is there once and each role sees its own
patient alone. Exit 77 where PostgreSQL 15 is not installed. usage: blackbox_server.py SKARVEL"""
import glob, os, pwd, shutil, signal, socket, sqlite3, subprocess, sys, tempfile, time
from contextlib import closing

from trainerwindow import close, environment, press, start, started, wait

BIN = "/usr/lib/postgresql/15/bin/"
if not os.path.exists(BIN + "initdb"):
    print("skipped: PostgreSQL 15 is not installed (Debian: postgresql-15)")
    sys.exit(77)
THERAPISTS = {"anna": "Frau Albers", "berta": "Herr Brandt"}
failures, tops, given = [], {}, dict.fromkeys(THERAPISTS, 0)
pg = tempfile.mkdtemp()
data = os.path.join(pg, "data")
with closing(socket.socket()) as probe:
    probe.bind(("127.0.0.1", 0))
    port = probe.getsockname()[1]
url = f"postgresql://{{}}@127.0.0.1:{port}/skarvel"


def fail(message):
    # At once: a wait that fails later ends the run.
    print(message, flush=True)
    failures.append(message)


def server(program, *arguments, check=True):
    # PostgreSQL refuses to run as root: then as nobody, in a folder given to nobody.
    user = ["runuser", "-u", "nobody", "--"] if os.geteuid() == 0 else []
    subprocess.run(user + [BIN + program, *arguments], cwd=pg, check=check, capture_output=True, timeout=120)


def start_server():
    server("pg_ctl", "-D", data, "-l", os.path.join(pg, "log"), "-w", "-t", "60", "start",
           "-o", f"-p {port} -k {pg} -c listen_addresses=127.0.0.1 -c fsync=off")


def kill_server():
    with open(os.path.join(data, "postmaster.pid")) as pid:
        group = int(pid.readline())
    # The postmaster leads the group of every server process.
    os.killpg(group, signal.SIGKILL)

    def gone():
        try:
            os.killpg(group, 0)
        except ProcessLookupError:
            return True
    wait(gone, "end of the killed server", 60)


def psql(role, sql, database="skarvel"):
    """The rows as role (None where the server does not answer); the superuser admin comes in by the socket."""
    host = pg if role == "admin" else "127.0.0.1"
    result = subprocess.run([BIN + "psql", "-X", "-q", "-A", "-t", "-F", "|", "-v", "ON_ERROR_STOP=1", "-h", host,
                             "-p", str(port), "-U", role, "-d", database, "-c", sql],
                            env=dict(os.environ, HOME=pg, PGPASSWORD=role + "-pw"), capture_output=True, text=True,
                            timeout=60)
    return result.stdout.splitlines() if result.returncode == 0 else None


def uids(role):
    """The identities of the answers the role sees."""
    return psql(role, "SELECT uid FROM answers ORDER BY uid") or []


def trainer(role):
    """A program of the role's own on the computer of its own: the same data folder each time."""
    top = tops.setdefault(role, tempfile.mkdtemp())
    return start([sys.argv[1], "--records", url.format(role), "--patient", THERAPISTS[role]], top,
                 "Pondrel - Skarvel – " + THERAPISTS[role], PGPASSWORD=role + "-pw")


def outbox(role):
    """The identities of the answers in the outbox of the role's computer."""
    [path] = glob.glob(os.path.join(tops[role], "XDG_DATA_HOME", "skarvel", "outbox", "*.sqlite"))
    with closing(sqlite3.connect(path)) as db:
        return [uid for (uid,) in db.execute("SELECT uid FROM answers ORDER BY uid")]


def answer(windows, where):
    """Key 1 answers with the left word, Return moves on once the item has been on screen long enough to be
    seen; each answer is waited for where it belongs."""
    time.sleep(1)
    for role, (_, x, window) in windows.items():
        press(x, window, "1", "Return")
        given[role] += 1
    for role in windows:
        wait(lambda: len((outbox if where == "outbox" else uids)(role)) == given[role],
             f"answer {given[role]} of {role} in the {where}")


def finish(windows):
    for process, x, window in windows.values():
        close(x, window)
        if process.wait(timeout=60) != 0:
            fail(f"exit code {process.returncode}")


def check(when):
    rows = [f"{name}|{given[role]}" for role, name in sorted(THERAPISTS.items())]
    counted = psql("admin", "SELECT p.name, count(a.id) FROM patients p LEFT JOIN trainings t ON t.patient_id = p.id"
                            " LEFT JOIN answers a ON a.training_id = t.id GROUP BY p.name ORDER BY p.name")
    if counted != rows:
        fail(f"{when}: {counted} on the server, {rows} given")
    # Each role sees its own patient alone, and the answers the window gave, by their identity.
    for role, name in THERAPISTS.items():
        patients, seen, recorded = psql(role, "SELECT name FROM patients"), uids(role), outbox(role)
        if patients != [name] or seen != recorded:
            fail(f"{when}: {role} sees {patients} and {len(seen)} answers, of them"
                 f" {len(set(seen) & set(recorded))} of the {len(recorded)} recorded for {name}")


try:
    if os.geteuid() == 0:
        os.chown(pg, pwd.getpwnam("nobody").pw_uid, -1)
    server("initdb", "-D", data, "-U", "admin", "-E", "UTF8", "--locale=C", "--no-sync", "--auth=trust")
    with open(os.path.join(data, "pg_hba.conf"), "w") as hba:
        hba.write("local all admin trust\nlocal all all scram-sha-256\nhost all all 127.0.0.1/32 scram-sha-256\n")
    start_server()
    for sql in ("CREATE ROLE praxisadmin LOGIN CREATEROLE PASSWORD 'praxisadmin-pw'",
                "CREATE DATABASE skarvel OWNER praxisadmin"):
        psql("admin", sql, "postgres")
    owner = tops.setdefault("praxisadmin", tempfile.mkdtemp())
    setup = subprocess.run([sys.argv[1], "--setup-server", url.format("praxisadmin")], capture_output=True, text=True,
                           env=environment(owner, PGPASSWORD="praxisadmin-pw"), timeout=120)
    printed = [line.strip() for line in setup.stdout.splitlines() if line.strip().startswith(("CREATE ROLE", "GRANT"))]
    if setup.returncode != 0 or len(printed) != 2:
        sys.exit(f"--setup-server: exit {setup.returncode}, {setup.stdout} {setup.stderr}")
    # Each therapist's role as the printed lines make it.
    for role in THERAPISTS:
        sql = " ".join(printed).replace("therapeutin", role).replace("'geheim'", f"'{role}-pw'")
        if psql("praxisadmin", sql) is None:
            sys.exit(f"the printed roles fail in psql: {sql}")

    windows = {role: trainer(role) for role in THERAPISTS}
    for item in range(3):
        answer(windows, "server")
    answer({"anna": windows["anna"]}, "server")
    finish(windows)
    check("two at once")

    windows = {"anna": trainer("anna")}
    answer(windows, "server")
    kill_server()
    # The window goes on recording into its outbox.
    for item in range(3):
        answer(windows, "outbox")
    start_server()
    answer(windows, "outbox")
    wait(lambda: len(uids("anna")) == given["anna"], "answers sent again", 120)
    finish(windows)
    check("server killed")
finally:
    for process in started:
        process.kill()
    server("pg_ctl", "-D", data, "-m", "immediate", "-w", "stop", check=False)
    for top in [*tops.values(), pg]:
        shutil.rmtree(top, ignore_errors=True)
if failures:
    sys.exit(f"{len(failures)} failures")
print(f"{sum(given.values())} answers of two therapists, once each, through a killed server")
