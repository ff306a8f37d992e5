#!/bin/bash
# Builds one libFuzzer target with clang in build-fuzz and runs it for the
# given number of seconds on a copy of its seed corpus (fuzz/corpus/<target>).
# Exits non-zero on any crash, hang, sanitizer report or broken invariant.
#   bash fuzz/run.sh 60              the word store (fuzz_wordgroups)
#   bash fuzz/run.sh 60 window       the training window (fuzz_window)
set -euo pipefail

seconds="${1:-60}"
target="${2:-wordgroups}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${SKARVEL_FUZZ_BUILD_DIR:-$root/build-fuzz}"

case "$target" in
wordgroups|window) ;;
*)
    echo "fuzz: unknown target '$target' (wordgroups or window)" >&2
    exit 2
    ;;
esac

if ! command -v clang++ >/dev/null; then
    echo "fuzz: clang++ is missing (Debian: clang libclang-rt-14-dev)" >&2
    exit 1
fi

cmake -S "$root" -B "$build" \
    -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSKARVEL_BUILD_FUZZ=ON \
    -DSKARVEL_BUILD_TESTS=OFF \
    -DSKARVEL_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target "fuzz_$target" --parallel "$(nproc)"

# The fuzzer adds what it finds to its corpus; the committed seeds stay as
# they are.
corpus="$build/corpus/$target"
artifacts="$build/artifacts/$target"
rm -rf "$corpus" "$artifacts"
mkdir -p "$corpus" "$artifacts"
cp "$root"/fuzz/corpus/"$target"/* "$corpus"/

# Both targets write a file for every input (the window target also saves
# its settings, each save synced to disk): in memory that costs nothing.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi

# The window target runs Qt, whose platform libraries leak a little by
# design; the suppressions name exactly those leaks and nothing of ours.
status=0
LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}" \
"$build/fuzz/fuzz_$target" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 \
    -artifact_prefix="$artifacts/" \
    "$corpus" || status=$?

findings=$(find "$artifacts" -type f | wc -l)
if [ "$status" -ne 0 ] || [ "$findings" -ne 0 ]; then
    echo "fuzz: fuzz_$target failed (exit $status, $findings finding(s) in $artifacts)" >&2
    exit 1
fi
echo "fuzz: fuzz_$target ran ${seconds}s without findings"
