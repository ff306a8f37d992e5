#!/bin/bash
# Checks the spelling of the word material against the German hunspell
# dictionary: every right word must be a known word, every misspelling must
# be unknown. A misspelling that the dictionary accepts (often a compound it
# builds on its own) would make a "Falschwörter" item with two right answers.
#
#   bash wordlist_spelling.sh path/to/wordgroups.dat
#
# Needs the Debian packages hunspell and hunspell-de-de.
set -u

# Genuine, correctly spelled words of the list that the de_DE dictionary
# does not know. Each one was checked by hand; keep the reason with it.
declare -A allowed=(
    [Zeder]="tree (cedar); the dictionary lacks it"
    [Platane]="tree (plane tree); the dictionary lacks it"
    [Krokus]="flower (crocus); the dictionary lacks it"
    [Hyazinthe]="flower (hyacinth); the dictionary lacks it"
    [Mango]="fruit; the dictionary lacks it"
)

if [ $# -ne 1 ]; then
    echo "usage: $0 wordgroups.dat" >&2
    exit 2
fi
file="$1"
if [ ! -r "$file" ]; then
    echo "FAIL: cannot read $file" >&2
    exit 1
fi

# hunspell takes its input encoding from the locale unless told; under a
# plain C locale every umlaut word would fall apart into fragments.
export LC_ALL=C.UTF-8
spell=(hunspell -i UTF-8 -d de_DE -L)

if ! command -v hunspell >/dev/null 2>&1; then
    echo "FAIL: hunspell is not installed (Debian package hunspell)" >&2
    exit 1
fi
# A known and an unknown word: the dictionary must load and tell them apart.
if ! probe="$(printf 'Haus\nHaaus\n' | "${spell[@]}" 2>&1)" || [ "$probe" != Haaus ]; then
    echo "FAIL: hunspell cannot use the de_DE dictionary (Debian package hunspell-de-de)" >&2
    echo "$probe" >&2
    exit 1
fi

# One word per line, with its role: R = right word, M = misspelling.
words=()
roles=()
failures=0
lineno=0
while IFS= read -r line || [ -n "$line" ]; do
    lineno=$((lineno + 1))
    line="${line%$'\r'}"
    [[ "$line" == "#"* ]] && continue
    IFS=';' read -r -a fields <<<"$line"
    # read -a drops a trailing empty field; count the separators instead.
    separators="${line//[^;]/}"
    if [ ${#separators} -ne 2 ] || [ ${#fields[@]} -ne 3 ] \
        || [ -z "${fields[0]}" ] || [ -z "${fields[1]}" ] || [ -z "${fields[2]}" ]; then
        echo "FAIL: line $lineno has not three non-empty fields: '$line'"
        failures=$((failures + 1))
        continue
    fi
    # hunspell skips digits and punctuation, so it would pass "Tanne2"; only
    # words made of letters and hyphens are worth asking it about.
    bad=0
    for word in "${fields[@]}"; do
        if ! [[ "$word" =~ ^[A-Za-zÄÖÜäöüß-]+$ ]]; then
            echo "FAIL: line $lineno: '$word' holds characters other than letters and hyphens"
            bad=1
        fi
    done
    if [ $bad -ne 0 ]; then
        failures=$((failures + 1))
        continue
    fi
    words+=("${fields[0]}" "${fields[1]}" "${fields[2]}")
    roles+=(R M M)
done <"$file"

if [ ${#words[@]} -eq 0 ]; then
    echo "FAIL: $file holds no entry lines"
    exit 1
fi

# With -L hunspell echoes every input line that holds an unknown word, and
# nothing else; one word per line makes that the set of rejected words.
# (Pipe mode, -a, would also say which words it knows, but it computes
# suggestions for every unknown word and takes half a minute over the list.)
set -o pipefail
if ! unknown="$(printf '%s\n' "${words[@]}" | "${spell[@]}")"; then
    echo "FAIL: hunspell failed on the word list"
    exit 1
fi
declare -A rejected=()
while IFS= read -r word; do
    [ -n "$word" ] && rejected[$word]=1
done <<<"$unknown"
verdicts=()
for word in "${words[@]}"; do
    if [ -n "${rejected[$word]+x}" ]; then verdicts+=(rejected); else verdicts+=(accepted); fi
done

for i in "${!words[@]}"; do
    word="${words[$i]}"
    if [ "${roles[$i]}" = R ]; then
        if [ "${verdicts[$i]}" = rejected ] && [ -z "${allowed[$word]+x}" ]; then
            echo "FAIL: right word not in the dictionary: $word"
            failures=$((failures + 1))
        fi
    elif [ "${verdicts[$i]}" = accepted ]; then
        echo "FAIL: misspelling accepted by the dictionary: $word (of ${words[$((i - i % 3))]})"
        failures=$((failures + 1))
    fi
done

# Stale allow-list entries are only reported: a newer dictionary may learn
# a word, and the list should then shrink, but that is no spelling fault.
for word in "${!allowed[@]}"; do
    found=0
    for i in "${!words[@]}"; do
        if [ "${roles[$i]}" = R ] && [ "${words[$i]}" = "$word" ]; then
            found=1
            [ "${verdicts[$i]}" = accepted ] && echo "note: allow-listed word now known to the dictionary: $word"
        fi
    done
    [ $found -eq 0 ] && echo "note: allow-listed word not in the list: $word"
done

if [ $failures -ne 0 ]; then
    echo "$failures spelling fault(s) in $file"
    exit 1
fi
echo "OK: ${#words[@]} words of $file checked"
