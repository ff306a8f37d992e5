#!/bin/bash
# The Windows build tried under Wine, in a prefix of its own (tests/windows/
# wineenv.sh): the installer, the program, its records, its word-list check,
# its settings in the registry and the uninstaller. One line per check says
# what held; the first that does not stops the run, naming the log.
#   bash tests/windows/wine-checks.sh build-windows/Skarvel-<version>-Setup.exe
set -euo pipefail

setup="$(realpath "$1")"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/wineenv.sh"
keep_log="$(dirname "$setup")/wine-checks.log"

fail() {
    cp "$wine_log" "$keep_log" 2>/dev/null || true
    echo "windows: FAILED: $1 (Wine's output: $keep_log)" >&2
    exit 1
}
held() { echo "windows: $1"; }

program=()
start() { # starts the installed program with these arguments
    wine "$wine_installed_win\\skarvel.exe" "$@" >>"$wine_log" 2>&1 &
    program=($!)
}
stop() { # ends it as a crash would, so that nothing is saved on the way out
    kill -KILL "${program[0]}" 2>/dev/null || true
    wait "${program[0]}" 2>/dev/null || true
}
settings_key='HKCU\Software\Pondrel\Skarvel'
# reg says 1 for a key that is not there; a hang or any other error is no answer.
key_absent() {
    local rc=0
    timeout 60 wine reg query "$1" >>"$wine_log" 2>&1 || rc=$?
    [ "$rc" -eq 1 ]
}
no_settings() { key_absent 'HKCU\Software\Pondrel'; }
no_program() { ! pgrep -f 'skarvel\.exe' >/dev/null; }
records="" # set once installed
answers() { sqlite3 "$records" "SELECT count(*) FROM answers a JOIN trainings t ON t.id = a.training_id
    JOIN patients p ON p.id = t.patient_id WHERE p.name = 'Frau Test' AND a.first_choice IS NOT NULL"; }
answers_are() { [ "$(answers 2>/dev/null)" = "$1" ]; }
press() { # keys to the window, as a user types them
    timeout 20 xdotool windowactivate --sync "$1" >/dev/null 2>&1 || true
    xdotool key --clearmodifiers "${@:2}"
}

wine_up || fail "Wine did not start"
records="$wine_data/skarvel.sqlite"

timeout 300 wine "$setup" /S >>"$wine_log" 2>&1 || fail "the installer ended with an error"
[ -f "$wine_installed/skarvel.exe" ] && [ -f "$wine_installed/hunspell/de_DE.dic" ] \
    && [ -f "$wine_installed/translations/qtbase_de.qm" ] || fail "the silent installer left no program"
wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Skarvel' >>"$wine_log" 2>&1 \
    || fail "the installer registered no uninstaller"
shortcut="$wine_profile/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Skarvel.lnk"
[ -f "$shortcut" ] || fail "the installer made no Start-menu entry"
held "the installer installed silently (/S) into AppData\\Local\\Programs\\Skarvel, with its Start-menu entry and uninstaller"

start
window="$(wait_for 120 visible_window '^Pondrel - Skarvel$' && visible_window '^Pondrel - Skarvel$')" \
    || fail "no window titled \"Pondrel - Skarvel\""
stop
no_settings || fail "the first start wrote settings"
[ ! -e "$wine_data" ] || fail "the first start made the data folder"
held "the installed program showed its window \"Pondrel - Skarvel\"; the first start wrote nothing"

start --patient "Frau Test"
window="$(wait_for 120 visible_window 'Pondrel - Skarvel.*Frau Test$' \
    && visible_window 'Pondrel - Skarvel.*Frau Test$')" || fail "no window for Frau Test"
items=3
for ((item = 1; item <= items; item++)); do
    # "Weiter" waits until an item has been on screen for 700 ms: a patient's
    # slow double press must not skip the next one unseen.
    sleep 1
    press "$window" 1 Return
    wait_for 60 answers_are "$item" || fail "answer $item of Frau Test did not reach the records"
done
stop
[ "$(answers)" = "$items" ] || fail "the records lost answers when the program was killed"
[ "$(sqlite3 "$records" 'PRAGMA integrity_check')" = ok ] || fail "the records failed SQLite's integrity check"
held "keys 1 and Return trained $items items; --patient \"Frau Test\" recorded them in AppData\\Roaming\\skarvel\\skarvel.sqlite, all kept after the program was killed"

wine reg query "$settings_key" /v patient 2>>"$wine_log" | grep -q 'Frau Test' \
    || fail "the chosen patient is not in $settings_key"
held "choosing the patient wrote the setting \"patient\" under HKEY_CURRENT_USER\\Software\\Pondrel\\Skarvel"

mkdir -p "$wine_data/Wortlisten"
printf '#Familie\r\nOma;Omma;Ohma\r\nOpa;Oppa;Ohpa\r\n' >"$wine_data/Wortlisten/Familie.txt"
damaged="$wine_profile/kaputt.txt"
printf '#Familie\r\nOma;Omma;Ohma\r\nTulpe;Tulbe\r\n' >"$damaged"
before="$(sha256sum <"$damaged")"
start --words "C:\\users\\$wine_user\\kaputt.txt"
wait_for 120 visible_window '^Fehler in der Wortliste$' || fail "the damaged list showed no \"Fehler in der Wortliste\""
stop
[ "$(sha256sum <"$damaged")" = "$before" ] || fail "the damaged list was changed"
held "a damaged list given with --words showed \"Fehler in der Wortliste\" and stayed unchanged"

homework="$wine_profile/Hausaufgabe.skarvel"
timeout 120 wine "$wine_installed_win\\skarvel.exe" --patient "Frau Test" \
    --homework-out "C:\\users\\$wine_user\\Hausaufgabe.skarvel" >>"$wine_log" 2>&1 && [ -f "$homework" ] \
    || fail "--homework-out made no homework"
wine reg query 'HKCU\Software\Classes\Pondrel.Skarvel.Hausaufgabe\shell\open\command' 2>>"$wine_log" \
    | grep -qi 'skarvel.exe' || fail "the installer registered no file type for homework"
held "--homework-out made a homework without a word or a box to click; *.skarvel opens with skarvel.exe"

# Opened by its file type's command, as a double-click in the Explorer runs
# it (Wine's own "start" does not read the classes of HKEY_CURRENT_USER that
# a per-user installer writes). Made from these records, it asks first;
# Escape is "Hier üben".
open_command="$(wine reg query 'HKCU\Software\Classes\Pondrel.Skarvel.Hausaufgabe\shell\open\command' /ve 2>>"$wine_log" \
    | tr -d '\r' | sed -n 's/^ *(Default) *REG_SZ *//p')"
[[ "$open_command" =~ ^\"([^\"]+)\"\ \"%1\"$ ]] || fail "the homework's open command is not \"PROGRAM\" \"%1\": $open_command"
wine "${BASH_REMATCH[1]}" "C:\\users\\$wine_user\\Hausaufgabe.skarvel" >>"$wine_log" 2>&1 &
program=($!)
asked="$(wait_for 120 visible_window '^Skarvel$' && visible_window '^Skarvel$')" \
    || fail "the opened homework did not ask \"Ergebnisse übernehmen oder hier üben?\""
press "$asked" Escape
window="$(wait_for 120 visible_window 'Pondrel - Skarvel.*Hausaufgabe$' \
    && visible_window 'Pondrel - Skarvel.*Hausaufgabe$')" || fail "\"Hier üben\" showed no window for the homework"
home_answers() { [ "$(sqlite3 "$homework" 'SELECT count(*) FROM answers a JOIN trainings t
    ON t.id = a.training_id WHERE t.at_home = 1 AND a.first_choice IS NOT NULL' 2>/dev/null)" = 1 ]; }
sleep 1
press "$window" 1 Return
wait_for 60 home_answers || fail "the answer at home did not reach the homework file"
pkill -KILL -f 'skarvel\.exe' 2>/dev/null || true
wait_for 60 no_program || fail "the homework's program did not end"
stop
held "opened by its file type's command, the homework asked, trained \"Hier üben\" in a window of its own and kept its answer in the file"

# The practice server: a PostgreSQL 15 of its own on the loopback, started as
# the C++ tests start theirs (tests/privatepostgres.h), reached through the
# package's libpq and Qt's driver. Passwords come from PGPASSWORD, which libpq
# reads from Wine's environment as from any other.
pg_bin=/usr/lib/postgresql/15/bin
if [ ! -x "$pg_bin/initdb" ]; then
    held "practice server: not checked, PostgreSQL 15 is not installed (Debian: postgresql-15)"
else
    pg_top="$(mktemp -d /tmp/skarvel-pg.XXXXXX)"
    pg_as=()
    if [ "$(id -u)" -eq 0 ]; then # PostgreSQL does not run as root
        chown nobody: "$pg_top"
        pg_as=(runuser -u nobody --)
    fi
    pg_down() { "${pg_as[@]}" "$pg_bin/pg_ctl" -D "$pg_top/data" -m immediate -w stop >/dev/null 2>&1 || true; rm -rf "$pg_top"; }
    trap 'pg_down; wine_down' EXIT
    pg_port="$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
    "${pg_as[@]}" "$pg_bin/initdb" -D "$pg_top/data" -U admin -E UTF8 --locale=C --no-sync --auth=trust \
        >>"$wine_log" 2>&1 || fail "initdb made no PostgreSQL server"
    printf 'local all admin trust\nhost all all 127.0.0.1/32 scram-sha-256\n' >"$pg_top/data/pg_hba.conf"
    "${pg_as[@]}" "$pg_bin/pg_ctl" -D "$pg_top/data" -l "$pg_top/log" -w -t 60 \
        -o "-p $pg_port -k $pg_top -c listen_addresses=127.0.0.1 -c fsync=off" start \
        >>"$wine_log" 2>&1 || fail "the PostgreSQL server did not start"
    pg() { "$pg_bin/psql" -X -q -A -t -v ON_ERROR_STOP=1 -h "$pg_top" -p "$pg_port" -U admin -d "${2:-postgres}" -c "$1"; }
    pg "CREATE ROLE it LOGIN CREATEROLE PASSWORD 'i'" && pg "CREATE DATABASE praxis OWNER it" || fail "no role for it"
    # It answers in a box (no console on Windows); Return closes it.
    PGPASSWORD=i start --setup-server "postgresql://it@127.0.0.1:$pg_port/praxis"
    box="$(wait_for 120 visible_window '^Skarvel$' && visible_window '^Skarvel$')" || fail "--setup-server said nothing"
    press "$box" Return
    wait "${program[0]}" || fail "--setup-server failed"
    [ "$(pg "SELECT to_regclass('public.answers') IS NOT NULL" praxis)" = t ] || fail "--setup-server made no tables"
    pg "CREATE ROLE anna LOGIN PASSWORD 'a'; GRANT skarvel_praxis TO anna" || fail "no role for anna"
    on_server() { [ "$(pg "SELECT count(*) FROM answers a JOIN trainings t ON t.id = a.training_id JOIN patients p
        ON p.id = t.patient_id WHERE p.name = 'Frau Server'" praxis)" = "$1" ]; }
    PGPASSWORD=a start --records "postgresql://anna@127.0.0.1:$pg_port/praxis" --patient "Frau Server"
    window="$(wait_for 120 visible_window 'Pondrel - Skarvel.*Frau Server$' \
        && visible_window 'Pondrel - Skarvel.*Frau Server$')" || fail "no window for Frau Server on the server"
    for ((item = 1; item <= items; item++)); do
        sleep 1
        press "$window" 1 Return
        wait_for 60 on_server "$item" || fail "answer $item of Frau Server did not reach the practice server"
    done
    stop
    on_server "$items" || fail "the practice server has other than $items answers of Frau Server after the end"
    held "practice server: --setup-server made the tables in a PostgreSQL 15; --records as anna (PGPASSWORD) trained $items items, each on the server once"

    # The password kept: typed once on the "Datenablage" page, it goes through
    # QtKeychain into Wine's credential store, and a start with the stored
    # server, without PGPASSWORD, reaches the server with it.
    pg "ALTER ROLE anna PASSWORD 'Tresor-7'" || fail "no new password for anna"
    unset PGPASSWORD
    start
    window="$(wait_for 120 visible_window '^Pondrel - Skarvel' && visible_window '^Pondrel - Skarvel')" \
        || fail "no window for the password on the \"Datenablage\" page"
    # Keys do not reach Qt's menu bar under this Wine (Alt does not select
    # it), so the mouse opens "Einstellungen": the bar runs right to left,
    # and its leftmost word, found in the window's picture, is that menu.
    timeout 20 xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
    bar="$(import -window "$window" png:- | convert - -crop 10000x20+0+4 +repage -colorspace gray \
        -threshold 50% -negate -trim -format '%X' info: | tr -d +)"
    [[ "$bar" =~ ^[0-9]+$ ]] || fail "no menu bar in the window's picture"
    xdotool mousemove --window "$window" $((bar + 10)) 14 click 1
    wait_for 60 visible_window '^Einstellungen$' || fail "the menu bar's \"Einstellungen\" opened no dialog"
    # Its second page; then from the choice of the place on, as a user goes
    # through the form.
    press "$(visible_window '^Einstellungen$')" ctrl+Tab Tab Tab Tab Down Tab
    for field in 127.0.0.1 "$pg_port" praxis anna Tresor-7; do
        xdotool type --delay 30 "$field"
        xdotool key Tab
    done
    xdotool key Return # in "CA-Datei", left empty: takes the fields over
    # The file's patients may come along to the server: not now.
    asked="$(wait_for 60 visible_window '^Datenablage$' && visible_window '^Datenablage$')" \
        || fail "switching to the server did not offer to move this computer's patients"
    press "$asked" Escape
    kept() { timeout 60 wine reg query "HKCU\\Software\\Wine\\Credential Manager\\Generic: anna@127.0.0.1:$pg_port/praxis" \
        /v Comment 2>>"$wine_log" | grep -q QtKeychain; }
    wait_for 60 kept || fail "the password did not reach Wine's credential store through QtKeychain"
    stop
    wine reg query "$settings_key\\records" /v store 2>>"$wine_log" | grep -q server \
        || fail "the \"Datenablage\" page stored no practice server"
    ! wine reg query "$settings_key" /s 2>>"$wine_log" | grep -q Tresor-7 || fail "the password is in the settings"
    start --patient "Frau Tresor"
    window="$(wait_for 120 visible_window 'Pondrel - Skarvel.*Frau Tresor$' \
        && visible_window 'Pondrel - Skarvel.*Frau Tresor$')" || fail "no window for Frau Tresor on the stored server"
    sleep 1
    press "$window" 1 Return
    tresor() { [ "$(pg "SELECT count(*) FROM answers a JOIN trainings t ON t.id = a.training_id JOIN patients p
        ON p.id = t.patient_id WHERE p.name = 'Frau Tresor'" praxis)" = 1 ]; }
    wait_for 60 tresor || fail "the start with the stored server did not reach it with the kept password"
    stop
    held "practice server: the password typed on the \"Datenablage\" page went through QtKeychain into Wine's credential store, not into the settings; the next start, without PGPASSWORD, recorded Frau Tresor's answer on the server with it"
fi

lists_before="$(sha256sum <"$wine_data/Wortlisten/Familie.txt")"
timeout 300 wine "$wine_installed_win\\Deinstallieren.exe" /S >>"$wine_log" 2>&1 || fail "the uninstaller ended with an error"
# It runs on from a copy of itself, so the end shows as the folder going.
uninstalled() { [ ! -e "$wine_installed" ]; }
wait_for 120 uninstalled || fail "the uninstaller left $wine_installed"
[ ! -e "$shortcut" ] || fail "the uninstaller left the Start-menu entry"
key_absent 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Skarvel' \
    || fail "the uninstaller stayed listed under Apps"
[ "$(answers)" = "$items" ] || fail "the uninstaller touched the records"
[ "$(sha256sum <"$wine_data/Wortlisten/Familie.txt")" = "$lists_before" ] || fail "the uninstaller touched the word lists"
key_absent 'HKCU\Software\Classes\.skarvel' || fail "the uninstaller left the homework file type"
held "the uninstaller removed the program, its entry, its listing and the homework file type, and left the records and word lists"
